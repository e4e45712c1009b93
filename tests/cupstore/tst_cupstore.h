// The cup file: what is written reads back, what is refused changes nothing, and the file
// survives whatever happens to the program writing it.

#pragma once

#include "CupSchema.h"
#include "CupSetups.h"
#include "CupSimulation.h"
#include "CupStore.h"
#include "Plan.h"

#include <QCryptographicHash>
#include <QtTest>

#include <sqlite3.h>

#include <csignal>
#include <pwd.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using velmorin::CupOpening;
using velmorin::CupSetup;
using velmorin::CupStore;
using velmorin::testing::cancelRound;
using velmorin::testing::declareForfeit;
using velmorin::testing::drawRound;
using velmorin::testing::inventedCup;
using velmorin::testing::playableCup;
using velmorin::testing::recordWinner;

namespace {

inline QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The file's modification time, to the nanosecond; -1 when there is no file.
inline qint64 modifiedAt(const QString &path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

// What one step costs: its time, and how far it raised the process's memory.
class Bounds
{
public:
    Bounds()
    {
        QFile clear(QStringLiteral("/proc/self/clear_refs")); // resets the peak below
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        m_startKb = statusKb("VmRSS:");
        m_timer.start();
    }
    qint64 millis() const { return m_timer.elapsed(); }
    qint64 megabytes() const { return (statusKb("VmHWM:") - m_startKb) / 1024; }

private:
    static qint64 statusKb(const char *field)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith(field))
                return line.mid(static_cast<int>(qstrlen(field)))
                    .trimmed()
                    .split(' ')[0]
                    .toLongLong();
        }
        return 0;
    }
    qint64 m_startKb = 0;
    QElapsedTimer m_timer;
};

// The tables the versions after the third added: dropped, with the version set back, to make
// a file of an older version.
inline std::string droppedDayTables(const char *more)
{
    return std::string("DROP TABLE roll_call; DROP TABLE hall_lanes; DROP TABLE round_start; "
                       "DROP TABLE game_length; DROP TABLE game_move; ") +
           more;
}

inline std::string migratedJournalLine()
{
    return "Coupe mise au format " + std::to_string(velmorin::cupSchemaVersion());
}

// SQL run on a cup behind the store's back, as someone tampering with it would.
inline void tamper(const QString &path, const char *sql)
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
inline std::string playStep(velmorin::Cup &cup)
{
    const int last = cup.drawnRounds();
    if (last > 0) {
        const auto pending = cup.pendingGames(last);
        if (!pending.empty()) {
            const auto &game = pending.front();
            const int winner = (game.teamA + game.teamB) % 2 ? game.teamA : game.teamB;
            if (game.teamA % 5 == 0)
                return declareForfeit(cup, last, game.teamA == winner ? game.teamB : game.teamA)
                    .text;
            return recordWinner(cup, last, winner, velmorin::Score{13, game.teamB % 13}).text;
        }
    }
    if (last < velmorin::kCupRounds) {
        const velmorin::CupAnswer drawn = drawRound(cup, last + 1);
        if (drawn.done)
            return drawn.text;
    }
    return cancelRound(cup, last).text;
}

// Runs `writer` in a child process killed after a random moment, and gives the last number it
// reported through `report`; none when it stopped on its own. `writer(report)` never returns
// while all goes well.
template <typename Writer>
inline std::optional<std::uint64_t> killedWriterRun(std::mt19937 &random, unsigned maxMicros,
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
    void version2Migrates();
    void dayRoundTrip();
    void damagedRecords_data();
    void damagedRecords();
    void killedWhilePlaying();
    void killedCreation();
    void locks_data();
    void locks();
    void changedMeanwhile_data();
    void changedMeanwhile();
    void readsAnotherProgramsChange_data();
    void readsAnotherProgramsChange();
    void staleCommandNamesTheChanges_data();
    void staleCommandNamesTheChanges();
    void oneVersionForSettingsAndPlay_data();
    void oneVersionForSettingsAndPlay();
    void journals_data();
    void journals();
    void damagedTableWritten_data();
    void damagedTableWritten();

private:
    QString cupPath(const QString &name = QStringLiteral("coupe.velmorin"))
    {
        return m_dir.filePath(name);
    }
    QString newCup(const CupSetup &setup, const QString &name = QStringLiteral("coupe.velmorin"))
    {
        for (const char *left : {"", "-wal", "-journal", ".verrou"})
            QFile::remove(cupPath(name) + left);
        const CupOpening made = CupStore::create(cupPath(name), setup);
        if (!made.ok())
            qWarning("%s", made.message.c_str());
        return made.ok() ? cupPath(name) : QString();
    }

    QTemporaryDir m_dir;
};
