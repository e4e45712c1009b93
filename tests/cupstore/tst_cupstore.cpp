#include "CupSchema.h"
#include "CupSetups.h"
#include "CupStore.h"
#include "Plan.h"

#include <QCryptographicHash>
#include <QtTest>

#include <sqlite3.h>

#include <csignal>
#include <pwd.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using velmorin::CupOpening;
using velmorin::CupSetup;
using velmorin::CupStore;
using velmorin::testing::inventedCup;
using velmorin::testing::playableCup;

namespace {

QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// SQL run on a cup behind the store's back, as someone tampering with it would.
void tamper(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char *error = nullptr;
    const int status = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = error ? QString::fromUtf8(error) : QString();
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(status == SQLITE_OK, qPrintable(message));
}

// Runs `body` in a child process and gives its exit status: for what must happen to a
// process of its own (a size limit, another user, a kill).
template <typename Body> int inChild(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// One step of a cup played on and on: the last round's next game, else the next draw, else
// back one draw. Deterministic, so that a test can replay what a killed writer did.
std::string playStep(velmorin::Cup &cup)
{
    const int last = cup.drawnRounds();
    if (last > 0) {
        const auto pending = cup.pendingGames(last);
        if (!pending.empty()) {
            const auto &game = pending.front();
            const int winner = (game.teamA + game.teamB) % 2 ? game.teamA : game.teamB;
            if (game.teamA % 5 == 0)
                return cup.forfeit(last, game.teamA == winner ? game.teamB : game.teamA).text;
            return cup.recordWinner(last, winner, velmorin::Score{13, game.teamB % 13}).text;
        }
    }
    if (last < velmorin::kCupRounds) {
        const velmorin::CupAnswer drawn = cup.draw(last + 1);
        if (drawn.done)
            return drawn.text;
    }
    return cup.cancelDraw(last).text;
}

// Runs `writer` in a child process killed after a random moment, and gives the last number it
// reported through `report`; none when it stopped on its own. `writer(report)` never returns
// while all goes well.
template <typename Writer>
std::optional<std::uint64_t> killedWriterRun(std::mt19937 &random, unsigned maxMicros,
                                             Writer writer)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const auto report = [&](std::uint64_t value) {
            if (::write(pipeEnds[1], &value, sizeof value) != sizeof value)
                ::_exit(5);
        };
        ::_exit(writer(report));
    }
    ::close(pipeEnds[1]);
    ::usleep(static_cast<useconds_t>(random() % maxMicros));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::uint64_t reported = 0;
    std::uint64_t last = 0;
    while (::read(pipeEnds[0], &reported, sizeof reported) == sizeof reported)
        last = std::max(last, reported);
    ::close(pipeEnds[0]);
    if (!WIFSIGNALED(status))
        return std::nullopt;
    return last;
}

} // namespace

class TestCupStore : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void refusals_data();
    void refusals();
    void createNeverReplaces();
    void heldByAnother();
    void cleanCloseLeavesOneFile();
    void killedWriter();
    void readOnlyFile();
    void fullDisk();
    void removedWhileOpen();
    void played_data();
    void played();
    void version1Migrates();
    void damagedRecords_data();
    void damagedRecords();
    void killedWhilePlaying();

private:
    QString cupPath(const QString &name = QStringLiteral("coupe.velmorin"))
    {
        return m_dir.filePath(name);
    }
    QString newCup(const CupSetup &setup, const QString &name = QStringLiteral("coupe.velmorin"))
    {
        QFile::remove(cupPath(name));
        const CupOpening made = CupStore::create(cupPath(name), setup);
        if (!made.ok())
            qWarning("%s", made.message.c_str());
        return made.ok() ? cupPath(name) : QString();
    }

    QTemporaryDir m_dir;
};

void TestCupStore::roundTrip_data()
{
    QTest::addColumn<quint64>("seed");
    for (quint64 seed = 1; seed <= 16; ++seed)
        QTest::addRow("seed %llu", seed) << seed;
}

// Everything written reads back equal, after creation and after each kind of change.
void TestCupStore::roundTrip()
{
    QFETCH(quint64, seed);
    CupSetup expected = inventedCup(seed, 20 + seed * 7);
    const QString path = newCup(expected);
    QVERIFY(!path.isEmpty());
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(opened.ok(), opened.message.c_str());
        QVERIFY(opened.store->setup() == expected);
    }
    const CupSetup other = inventedCup(seed + 1000, 30);
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        CupStore &store = *opened.store;
        QVERIFY(store.setName(other.name).saved);
        QVERIFY(store.setDate(other.date).saved);
        QVERIFY(store.setCount(velmorin::CupCount::Finale, -7).saved);
        QVERIFY(store.setRatioChoice(4, 5).saved);
        QVERIFY(store.setShownPlan(other.classNumber, other.position).saved);
        QVERIFY(store.setWish(velmorin::Quantity::Tour3, other.wishes[2]).saved);
        QVERIFY(store.setList(*other.list, other.levelRounds).saved);
        QVERIFY(store.setLevelRound("4", 2).saved);
        QVERIFY(store.setSeed(~seed).saved);
        QVERIFY(store.setLevelOrder({"Régionale 2", "1"}).saved);
        QVERIFY(!store.setWish(velmorin::Quantity::Tour2, {5, 4}).saved);
        expected = store.setup();
        QCOMPARE(store.journal().size(), std::size_t{11}); // the creation and ten changes
    }
    QCOMPARE(expected.name, other.name);
    QCOMPARE(expected.finale, -7);
    QCOMPARE(expected.ratioChoices[3], 5);
    QCOMPARE(*expected.seed, ~seed);
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QVERIFY(reopened.store->setup() == expected);
    const velmorin::CupContents contents = rebuildCup(expected);
    QVERIFY(contents.list);
    QCOMPARE(contents.list->teams.size(), std::size_t{30});
}

void TestCupStore::refusals_data()
{
    QTest::addColumn<QByteArray>("sql"); // run on a good cup; empty: `bytes` is the file
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("missing") << QByteArray() << QByteArray("-") << "n'existe pas";
    QTest::newRow("text") << QByteArray() << QByteArray("Équipe;Club\nA;B\n") << "pas une coupe";
    QTest::newRow("empty") << QByteArray() << QByteArray("") << "pas une coupe";
    QTest::newRow("other database")
        << QByteArray("PRAGMA application_id = 7") << QByteArray() << "pas une coupe";
    QTest::newRow("newer") << QByteArray("PRAGMA user_version = 9") << QByteArray()
                           << "version 9 du format, plus récente que la version 2";
    QTest::newRow("version 0") << QByteArray("PRAGMA user_version = 0") << QByteArray() << "abîmée";
    QTest::newRow("trigger")
        << QByteArray("CREATE TRIGGER t AFTER UPDATE ON cup BEGIN DELETE FROM journal; END")
        << QByteArray() << "déclencheurs";
    QTest::newRow("view") << QByteArray("CREATE VIEW v AS SELECT * FROM cup") << QByteArray()
                          << "déclencheurs";
    QTest::newRow("table") << QByteArray("CREATE TABLE extra (x)") << QByteArray()
                           << "déclencheurs";
    QTest::newRow("index") << QByteArray("CREATE INDEX i ON journal (what)") << QByteArray()
                           << "déclencheurs";
    QTest::newRow("changed table")
        << QByteArray("ALTER TABLE journal ADD COLUMN x") << QByteArray() << "déclencheurs";
    QTest::newRow("two cup rows")
        << QByteArray("PRAGMA ignore_check_constraints = ON; INSERT INTO cup SELECT 2, name, "
                      "held_on, registered, finale, entrants1, "
                      "rg1, rg2, rg3, rg4, rg5, rg6, class_number, position, seed, list_file "
                      "FROM cup")
        << QByteArray() << "abîmée";
    QTest::newRow("bad seed") << QByteArray("UPDATE cup SET seed = '18446744073709551616'")
                              << QByteArray() << "abîmée";
    QTest::newRow("cells out of order") << QByteArray("UPDATE list_cell SET col_no = col_no + 9 "
                                                      "WHERE row_no = 3 AND col_no = 1")
                                        << QByteArray() << "abîmée";
    QTest::newRow("damaged page") << QByteArray() << QByteArray("damage") << "abîmée";
    QTest::newRow("truncated") << QByteArray() << QByteArray("truncate") << "abîmée";
}

// Refused with its reason, and the file left exactly as it was.
void TestCupStore::refusals()
{
    QFETCH(QByteArray, sql);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = cupPath(QStringLiteral("refusee.velmorin"));
    QFile::remove(path);
    if (!sql.isEmpty() || bytes == "damage" || bytes == "truncate") {
        QVERIFY(!newCup(inventedCup(5, 200), QStringLiteral("refusee.velmorin")).isEmpty());
        if (!sql.isEmpty())
            tamper(path, sql.constData());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (bytes == "truncate")
            file.resize(file.size() / 2);
        if (bytes == "damage") {
            file.seek(file.size() - 3000);
            file.write(QByteArray(1500, '\x5a'));
        }
    } else if (bytes != "-") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QByteArray before = digest(path);
    for (CupStore::Mode mode : {CupStore::Mode::ReadWrite, CupStore::Mode::ReadOnly}) {
        const CupOpening opened = CupStore::open(path, mode);
        QVERIFY(!opened.ok());
        QCOMPARE(opened.failure, CupOpening::Failure::Refused);
        QVERIFY2(QString::fromStdString(opened.message).contains(expected), opened.message.c_str());
    }
    QCOMPARE(digest(path), before);
    QVERIFY(!QFile::exists(path + ".verrou"));
    QCOMPARE(QFile::exists(path), bytes != "-");
}

void TestCupStore::createNeverReplaces()
{
    const QString path = newCup(inventedCup(1));
    const QByteArray before = digest(path);
    const CupOpening again = CupStore::create(path, inventedCup(2));
    QCOMPARE(again.failure, CupOpening::Failure::Refused);
    QVERIFY(QString::fromStdString(again.message).contains("existe déjà"));
    QCOMPARE(digest(path), before);
    const CupOpening nowhere = CupStore::create(cupPath("absent/coupe.velmorin"), inventedCup(2));
    QCOMPARE(nowhere.failure, CupOpening::Failure::WriteFailed);
}

void TestCupStore::heldByAnother()
{
    const QString path = newCup(inventedCup(3));
    {
        CupOpening first = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(first.ok());
        const CupOpening second = CupStore::open(path, CupStore::Mode::ReadWrite);
        QCOMPARE(second.failure, CupOpening::Failure::Held);
        QVERIFY(second.holder);
        QCOMPARE(second.holder->pid, static_cast<long long>(::getpid()));
        QVERIFY(QString::fromStdString(second.message).contains(QString::number(::getpid())));
        CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY(reader.ok());
        QVERIFY(first.store->setSeed(77).saved);
        QVERIFY(!reader.store->setSeed(78).saved);
    }
    // A holder that no longer runs does not count.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    QFile lock(path + ".verrou");
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::fromStdString(velmorin::CupLock::thisHost()) + '\n' +
               QByteArray::number(gone) + '\n');
    lock.close();
    CupOpening after = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY2(after.ok(), after.message.c_str());
    QCOMPARE(*after.store->setup().seed, std::uint64_t{77});
}

void TestCupStore::cleanCloseLeavesOneFile()
{
    const QString path = newCup(inventedCup(4));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.store->setSeed(5).saved);
        QVERIFY(QFile::exists(path + "-wal"));
    }
    const QStringList left =
        QDir(m_dir.path()).entryList({"coupe.velmorin*"}, QDir::Files | QDir::Hidden);
    QCOMPARE(left, QStringList{"coupe.velmorin"});
}

// A writer killed at random moments: the file always opens, and holds every change it had
// reported committed.
void TestCupStore::killedWriter()
{
    const QString path = newCup(inventedCup(6, 300));
    std::mt19937 random(20261207);
    std::uint64_t committed = 0;
    for (int round = 0; round < 200; ++round) {
        const auto reported = killedWriterRun(random, 100000, [&](const auto &report) {
            CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
            if (!opened.ok())
                return 3;
            std::uint64_t next = opened.store->setup().seed.value_or(0);
            for (;;) {
                ++next;
                const bool saved = next % 3 == 0
                                       ? opened.store->setName("n" + std::to_string(next)).saved &&
                                             opened.store->setSeed(next).saved
                                       : opened.store->setSeed(next).saved;
                if (!saved)
                    return 4;
                report(next);
            }
        });
        QVERIFY2(reported, "the writer stopped on its own");
        committed = std::max(committed, *reported);

        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        const std::uint64_t seed = opened.store->setup().seed.value_or(0);
        // The change in flight may have committed before its report.
        QVERIFY2(seed == committed || seed == committed + 1,
                 qPrintable(QStringLiteral("seed %1, committed %2").arg(seed).arg(committed)));
        committed = seed;
    }
    // Most kills must land among the writes, not all before the first one.
    QVERIFY2(committed > 100, qPrintable(QString::number(committed)));
}

void TestCupStore::readOnlyFile()
{
    const QString path = newCup(inventedCup(7));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.store->setSeed(99).saved);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther |
                                            QFile::ReadOther | QFile::ExeGroup);
    const QByteArray before = digest(path);
    // As an ordinary user: the superuser would write through the permissions.
    const int status = inChild([&] {
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                return 10;
        }
        const CupOpening writing = CupStore::open(path, CupStore::Mode::ReadWrite);
        if (writing.ok() || writing.failure != CupOpening::Failure::Refused ||
            writing.message.find("lecture seule") == std::string::npos)
            return 11;
        const CupOpening reading = CupStore::open(path, CupStore::Mode::ReadOnly);
        if (!reading.ok() || reading.store->setup().seed != std::uint64_t{99})
            return 12;
        return 0;
    });
    QCOMPARE(status, 0);
    QCOMPARE(digest(path), before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

// Past a file-size limit a change fails with its reason, and nothing written before is lost.
void TestCupStore::fullDisk()
{
    const CupSetup small = inventedCup(8, 10);
    const QString path = newCup(small);
    const CupSetup large = inventedCup(9, 5000);
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        if (!opened.ok() || !opened.store->setSeed(123).saved)
            return 10;
        const rlimit limit{static_cast<rlim_t>(QFileInfo(path).size() + 64 * 1024), RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const velmorin::CupWrite write = opened.store->setList(*large.list, large.levelRounds);
        if (write.saved || write.message.find("disque est plein") == std::string::npos)
            return 11;
        return opened.store->setName("après").saved ? 0 : 12;
    });
    QCOMPARE(status, 0);
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QCOMPARE(*reopened.store->setup().seed, std::uint64_t{123});
    QCOMPARE(reopened.store->setup().name, std::string("après"));
    QVERIFY(reopened.store->setup().list == small.list);
}

void TestCupStore::removedWhileOpen()
{
    const QString path = newCup(inventedCup(10));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.store->setSeed(1).saved);
        QVERIFY(QFile::remove(path));
        const velmorin::CupWrite write = opened.store->setSeed(2);
        QVERIFY(write.saved);
        QVERIFY2(QString::fromStdString(write.message).contains("réenregistrée"),
                 write.message.c_str());
        QVERIFY(opened.store->setName("encore").saved);
    }
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QCOMPARE(*reopened.store->setup().seed, std::uint64_t{2});
    QCOMPARE(reopened.store->setup().name, std::string("encore"));
}

void TestCupStore::played_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("teams");
    for (quint64 seed = 1; seed <= 4; ++seed)
        QTest::addRow("seed %llu", seed) << seed << 77;
}

// A cup played to its final one step at a time: every step is in the file at once, the
// settings are refused while round 1 is drawn, and everything reads back equal.
void TestCupStore::played()
{
    QFETCH(quint64, seed);
    QFETCH(int, teams);
    const QString path = newCup(playableCup(seed, static_cast<std::size_t>(teams)));
    QVERIFY(!path.isEmpty());
    velmorin::CupRecords expected;
    std::size_t steps = 0;
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        CupStore &store = *opened.store;
        QVERIFY(!store.isFrozen());
        velmorin::CupCreation made = store.cup();
        QVERIFY2(made.ok(), made.error.c_str());
        velmorin::Cup &cup = *made.cup;
        while (cup.finalTeams().empty() && steps < 5000) {
            const std::string what = playStep(cup);
            QVERIFY(store.saveRecords(cup.records(), what).saved);
            ++steps;
            QVERIFY(store.records() == cup.records());
        }
        QVERIFY(!cup.finalTeams().empty());
        QVERIFY(store.isFrozen());
        const QByteArray before = digest(path);
        for (const velmorin::CupWrite &write :
             {store.setSeed(1), store.setCount(velmorin::CupCount::Finale, 2),
              store.setRatioChoice(5, 1), store.setShownPlan(2, 1), store.setLevelRound("1", 2),
              store.setLevelOrder({"2"}), store.setList(*store.setup().list, {})}) {
            QVERIFY(!write.saved);
            QCOMPARE(write.message, std::string(velmorin::Cup::frozenSentence()));
        }
        QCOMPARE(digest(path), before);
        // Records that do not make this cup are refused, never written.
        velmorin::CupRecords forged = cup.records();
        std::swap(forged.draws.front().groups.front().front(),
                  forged.draws.back().exempted.empty() ? forged.results.back().winner
                                                       : forged.draws.back().exempted.front());
        QVERIFY(!store.saveRecords(forged, "faux").saved);
        QVERIFY(store.records() == cup.records());
        QVERIFY(store.setName("Finale connue").saved);
        expected = cup.records();
    }
    {
        CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(reopened.ok(), reopened.message.c_str());
        QVERIFY(reopened.store->records() == expected);
        QCOMPARE(reopened.store->journal().size(), steps + 2); // creation, steps, name
        QVERIFY(reopened.store->cup().ok());
    }
    // Every draw cancelled, last first: the settings change again.
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    velmorin::Cup cup = *opened.store->cup().cup;
    for (int round = cup.drawnRounds(); round >= 1; --round) {
        QVERIFY(!opened.store->setSeed(5).saved);
        const velmorin::CupAnswer cancelled = cup.cancelDraw(round);
        QVERIFY(cancelled.done);
        QVERIFY(opened.store->saveRecords(cup.records(), cancelled.text).saved);
    }
    QVERIFY(opened.store->records() == velmorin::CupRecords{});
    QVERIFY(opened.store->setSeed(5).saved);
}

// A file of the first version opens for writing, is brought to this version, and is then
// read by any opening.
void TestCupStore::version1Migrates()
{
    const CupSetup setup = playableCup(3, 77);
    const QString path = newCup(setup);
    tamper(path, "DROP TABLE result; DROP TABLE draw_place; DROP TABLE draw_exempted; "
                 "DROP TABLE draw_meeting; DROP TABLE draw; DROP TABLE chosen_exempted; "
                 "PRAGMA user_version = 1;");
    QVERIFY(!CupStore::open(path, CupStore::Mode::ReadOnly).ok());
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        QVERIFY(opened.store->setup() == setup);
        QCOMPARE(opened.store->journal().back().what, std::string("Coupe mise au format 2"));
        velmorin::Cup cup = *opened.store->cup().cup;
        QVERIFY(cup.draw(1).done);
        QVERIFY(opened.store->saveRecords(cup.records(), "Tour 1").saved);
    }
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QCOMPARE(reopened.store->records().draws.size(), std::size_t{1});
}

void TestCupStore::damagedRecords_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::newRow("winner not in the game")
        << QByteArray("UPDATE result SET winner = winner + 1 WHERE rowid = "
                      "(SELECT min(rowid) FROM result)");
    QTest::newRow("score the wrong way")
        << QByteArray("UPDATE result SET winner_score = 2, loser_score = 9");
    QTest::newRow("place missing")
        << QByteArray("DELETE FROM draw_place WHERE round = 1 AND pool = 1 AND place = 0");
    QTest::newRow("team twice") << QByteArray(
        "UPDATE draw_place SET team = (SELECT team FROM draw_place WHERE round = 1 "
        "AND pool = 1 AND place = 1) WHERE round = 1 AND pool = 1 AND place = 0");
    QTest::newRow("round 1 gone") << QByteArray("DELETE FROM draw_place WHERE round = 1; "
                                                "DELETE FROM draw_meeting WHERE round = 1; "
                                                "DELETE FROM result WHERE round = 1; "
                                                "DELETE FROM draw WHERE round = 1");
    QTest::newRow("meeting forged")
        << QByteArray("INSERT INTO draw_meeting VALUES (1, 999, 1, 0, 1)");
    QTest::newRow("result of an undrawn round")
        << QByteArray("INSERT INTO draw VALUES (6, 1); INSERT INTO result VALUES "
                      "(6, 1, 1, 0, NULL, NULL, NULL)");
    QTest::newRow("chosen unknown team")
        << QByteArray("INSERT INTO chosen_exempted VALUES (0, 99999)");
    QTest::newRow("plan changed under the draws")
        << QByteArray("UPDATE cup SET entrants1 = entrants1 + 4");
}

// Records changed behind the store's back, or settings that no longer make the drawn cup:
// refused as damaged, and the file left as it was.
void TestCupStore::damagedRecords()
{
    QFETCH(QByteArray, sql);
    const QString path = newCup(playableCup(4, 77), QStringLiteral("jouee.velmorin"));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        velmorin::Cup cup = *opened.store->cup().cup;
        for (int step = 0; step < 40; ++step)
            playStep(cup);
        QVERIFY(cup.drawnRounds() >= 2);
        QVERIFY(opened.store->saveRecords(cup.records(), "joué").saved);
    }
    tamper(path, sql.constData());
    const QByteArray before = digest(path);
    for (CupStore::Mode mode : {CupStore::Mode::ReadWrite, CupStore::Mode::ReadOnly}) {
        const CupOpening opened = CupStore::open(path, mode);
        QVERIFY(!opened.ok());
        QVERIFY2(QString::fromStdString(opened.message).contains("abîmée"), opened.message.c_str());
    }
    QCOMPARE(digest(path), before);
}

// A process drawing and recording results, killed at random moments: the file always opens,
// restores, and holds every step it had reported committed (and at most the one in flight).
void TestCupStore::killedWhilePlaying()
{
    const QString path = newCup(playableCup(2, 77));
    std::mt19937 random(20261208);
    velmorin::CupRecords known;
    std::uint64_t totalSteps = 0;
    for (int kill = 0; kill < 40; ++kill) {
        const auto reported = killedWriterRun(random, 60000, [&](const auto &report) {
            CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
            if (!opened.ok())
                return 3;
            velmorin::Cup cup = *opened.store->cup().cup;
            for (std::uint64_t steps = 1;; ++steps) {
                const std::string what = playStep(cup);
                if (!opened.store->saveRecords(cup.records(), what).saved)
                    return 4;
                report(steps);
            }
        });
        QVERIFY2(reported, "the writer stopped on its own");
        const std::uint64_t steps = *reported;

        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(opened.ok(), opened.message.c_str());
        QVERIFY(opened.store->cup().ok());
        // The same steps replayed from what the file held before this writer.
        velmorin::Cup replay =
            *velmorin::restoreCup(
                 velmorin::cupInputsOf(opened.store->setup(),
                                       velmorin::rebuildCup(opened.store->setup())),
                 known)
                 .cup;
        for (std::uint64_t k = 0; k < steps; ++k)
            playStep(replay);
        const velmorin::CupRecords committed = replay.records();
        playStep(replay);
        QVERIFY(opened.store->records() == committed ||
                opened.store->records() == replay.records());
        known = opened.store->records();
        totalSteps += steps;
    }
    // Most kills must land among the writes, not all before the first one.
    QVERIFY2(totalSteps > 40, qPrintable(QString::number(totalSteps)));
}

QTEST_GUILESS_MAIN(TestCupStore)
#include "tst_cupstore.moc"
