// Two programs naming opposite winners of one game at the same moment, over and over: two
// calculators (plain, beside a lock file left by another computer or under a process number
// given again, one of them through a symbolic link, or each removing the other's lock file as
// an organiser taking over would), and the window's way of writing against a calculator.
// Exactly one is confirmed, the other refused, and the file holds the confirmed winner once.

#include "CupCalcRun.h"
#include "CupCommand.h"
#include "CupLock.h"
#include "CupSetups.h"
#include "CupSimulation.h"
#include "CupStore.h"

#include <QtTest>

#include <algorithm>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using velmorin::CupStore;

enum class Writer { Calculator, Window };

constexpr int kRefused = 2;
constexpr int kBroken = 9; // the child could not even start its write

// The window's way: the cup opened for writing (read-only when another program holds it, as
// the organiser answering the question gets it), shown, then one command applied to what is
// shown and handed to the store, decided on the version shown.
int windowWrites(const QString &path, const velmorin::GameRef &game, int winner, int gate,
                 bool opensFirst, unsigned delayMicros, bool takesOver)
{
    const auto wait = [&] {
        char go = 0;
        return ::read(gate, &go, 1) == 1;
    };
    if (!opensFirst && (!wait() || ::usleep(delayMicros) != 0))
        return kBroken;
    if (takesOver)
        QFile::remove(velmorin::CupLock::lockPathOf(path));
    velmorin::CupOpening opening = CupStore::open(path, CupStore::Mode::ReadWrite);
    if (opening.failure == velmorin::CupOpening::Failure::Held)
        opening = CupStore::open(path, CupStore::Mode::ReadOnly);
    if (!opening.ok())
        return kBroken;
    velmorin::CupCreation shown = opening.store->cup();
    if (!shown.ok() || (opensFirst && !wait()))
        return kBroken;
    if (opening.store->readOnly())
        return kRefused;
    const velmorin::CupAnswer answer = shown.cup->apply(velmorin::CupCommand(
        velmorin::ResultCommand{game, winner, std::nullopt, false}, shown.cup->version()));
    if (!answer.done)
        return kRefused;
    const velmorin::CupWrite written = opening.store->saveCup(*shown.cup, answer.text, opening.store->version());
    return written.saved ? 0 : written.changedMeanwhile ? kRefused : 1;
}

int calculatorWrites(const QString &path, int winner, int gate, unsigned delayMicros,
                     bool takesOver)
{
    char go = 0;
    if (::read(gate, &go, 1) != 1 || ::usleep(delayMicros) != 0)
        return kBroken;
    // The other program's lock file removed at the last moment: both programs hold the cup.
    if (takesOver)
        QFile::remove(velmorin::CupLock::lockPathOf(path));
    return velmorin::testing::runCup({QStringLiteral("--coupe"), path, QStringLiteral("--gagnant"),
                                      QStringLiteral("1"), QStringLiteral("#%1").arg(winner + 1)})
        .status;
}

} // namespace

class TestCupRaces : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneWinnerConfirmed_data();
    void oneWinnerConfirmed();

private:
    QTemporaryDir m_dir;
    QString m_model; // a cup of 40 teams with its round 1 drawn
    velmorin::PendingGame m_game;
};

void TestCupRaces::initTestCase()
{
    m_model = m_dir.filePath(QStringLiteral("modele.velmorin"));
    velmorin::CupOpening made = CupStore::create(m_model, velmorin::testing::playableCup(3, 40));
    QVERIFY2(made.ok(), made.message.c_str());
    velmorin::CupCreation cup = made.store->cup();
    QVERIFY2(cup.ok(), cup.error.c_str());
    QVERIFY(velmorin::testing::drawRound(*cup.cup, 1).done);
    QVERIFY(made.store->saveCup(*cup.cup, "Tour 1", made.store->version()).saved);
    m_game = cup.cup->pendingGames(1).front();
}

void TestCupRaces::oneWinnerConfirmed_data()
{
    QTest::addColumn<QByteArray>("lockLeft"); // the lock file's content before the race
    QTest::addColumn<int>("firstWriter");     // Writer
    QTest::addColumn<bool>("secondThroughLink");
    QTest::addColumn<bool>("removeLocks");
    const QByteArray here = QByteArray::fromStdString(velmorin::CupLock::thisHost());
    const int calculator = static_cast<int>(Writer::Calculator);
    const int window = static_cast<int>(Writer::Window);
    QTest::newRow("two calculators") << QByteArray() << calculator << false << false;
    QTest::newRow("lock of another computer")
        << QByteArray("portable-de-jean\n4242\n") << calculator << false << false;
    QTest::newRow("lock of a process number given again") << here + "\n1\n"
                                                          << calculator << false << false;
    QTest::newRow("one through a symbolic link") << QByteArray() << calculator << true << false;
    QTest::newRow("each taking the lock over") << QByteArray() << calculator << false << true;
    QTest::newRow("window and calculator") << QByteArray() << window << false << false;
    QTest::newRow("window and calculator, lock taken over")
        << QByteArray() << window << true << true;
}

// 60 races a row, 420 in all: each with its own timing, so that every order of the two
// programs' opening, checking and committing is met.
void TestCupRaces::oneWinnerConfirmed()
{
    QFETCH(QByteArray, lockLeft);
    QFETCH(int, firstWriter);
    QFETCH(bool, secondThroughLink);
    QFETCH(bool, removeLocks);
    const QString path = m_dir.filePath(QStringLiteral("coupe.velmorin"));
    const QString link = m_dir.filePath(QStringLiteral("lien.velmorin"));
    const QString lock = velmorin::CupLock::lockPathOf(path);
    std::mt19937 random(static_cast<unsigned>(qHash(QTest::currentDataTag())));
    const std::array<int, 2> winners{m_game.teamA, m_game.teamB};
    std::array<int, 2> outcomes{}; // races the first, the second confirmed
    for (int race = 0; race < 60; ++race) {
        for (const QString &left : {path, link, lock, path + "-journal"})
            QFile::remove(left);
        QVERIFY(QFile::copy(m_model, path));
        QVERIFY(QFile::link(path, link));
        if (!lockLeft.isEmpty()) {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(lockLeft);
        }
        int gate[2];
        QVERIFY(::pipe(gate) == 0);
        std::array<pid_t, 2> children{};
        for (int k = 0; k < 2; ++k) {
            const unsigned delay = random() % 3000;
            const bool opensFirst = random() % 2 == 0;
            children[static_cast<std::size_t>(k)] = ::fork();
            if (children[static_cast<std::size_t>(k)] != 0)
                continue;
            ::close(gate[1]);
            const QString name = k == 1 && secondThroughLink ? link : path;
            const int winner = winners[static_cast<std::size_t>(k)];
            ::_exit(k == 0 && firstWriter == static_cast<int>(Writer::Window)
                        ? windowWrites(name, m_game.game, winner, gate[0], opensFirst, delay,
                                       removeLocks)
                        : calculatorWrites(name, winner, gate[0], delay, removeLocks));
        }
        ::close(gate[0]);
        QVERIFY(::write(gate[1], "gg", 2) == 2);
        ::close(gate[1]);
        std::array<int, 2> statuses{};
        for (int k = 0; k < 2; ++k) {
            int status = 0;
            ::waitpid(children[static_cast<std::size_t>(k)], &status, 0);
            statuses[static_cast<std::size_t>(k)] = WIFEXITED(status) ? WEXITSTATUS(status) : 100;
        }
        const auto sorted = [](std::array<int, 2> s) {
            std::sort(s.begin(), s.end());
            return s;
        }(statuses);
        QVERIFY2(sorted == (std::array<int, 2>{0, kRefused}),
                 qPrintable(QStringLiteral("race %1: statuses %2 and %3")
                                .arg(race)
                                .arg(statuses[0])
                                .arg(statuses[1])));
        const int confirmed = statuses[0] == 0 ? 0 : 1;
        ++outcomes[static_cast<std::size_t>(confirmed)];

        const velmorin::CupOpening read = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(read.ok(), read.message.c_str());
        const auto &results = read.store->records().results;
        QCOMPARE(results.size(), std::size_t{1});
        QCOMPARE(results.front().winner, winners[static_cast<std::size_t>(confirmed)]);
        QCOMPARE(read.store->journal().size(), std::size_t{3}); // made, drawn, the result
        QVERIFY(!QFile::exists(path + "-journal"));
    }
    // Both orders were met: the test did not merely watch one program always win.
    QVERIFY2(outcomes[0] > 0 && outcomes[1] > 0,
             qPrintable(QStringLiteral("%1 and %2").arg(outcomes[0]).arg(outcomes[1])));
}

QTEST_GUILESS_MAIN(TestCupRaces)
#include "tst_cupraces.moc"
