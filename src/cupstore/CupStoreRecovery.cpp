// A cup left by a program killed while writing. Its journal beside it (-journal, or -wal from
// older versions that wrote ahead) is what SQLite would apply on the next opening; but SQLite
// applies any journal of the same page size, even one from another database, copied or left
// there by mistake. So the journal is first tried on private copies: it is the cup's own when
// the cup it makes passes every check and its journal of changes follows the cup's (a log
// written ahead only adds entries; a rollback journal only takes back the interrupted one).

#include "CupOpeningChecks.h"

#include "CupMessages.h"
#include "CupSql.h"
#include "CupTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <atomic>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace velmorin::cupstoreprivate {

namespace {

using JournalLine = std::tuple<qint64, QString, QString>;

// Some other process holds one of SQLite's locks on the file: a journal beside it is that
// process's work in progress, not something left by a crash, and SQLite knows what to do.
bool lockedByAnother(const QString &file)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe
    {
    };
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0x40000000; // SQLite's lock bytes
    probe.l_len = 512 + 2;
    const bool locked = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

QString connectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("velmorin-cup-trial-%1").arg(++counter);
}

// The journal of changes of the cup at `file` (a private copy), when it passes every check.
std::optional<std::vector<JournalLine>> journalIfCup(const QString &file)
{
    const QString name = connectionName();
    std::optional<std::vector<JournalLine>> lines;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(uriOf(file, false));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        std::int64_t version = 0;
        if (db.open() && guard(db) && checkCup(db, file, version).empty()) {
            QSqlQuery query(db);
            if (select(query, QStringLiteral("SELECT entry, at, what FROM journal ORDER BY entry"))) {
                lines.emplace();
                while (query.next())
                    lines->emplace_back(query.value(0).toLongLong(), query.value(1).toString(),
                                        query.value(2).toString());
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return lines;
}

bool startsWith(const std::vector<JournalLine> &lines, const std::vector<JournalLine> &prefix)
{
    return prefix.size() <= lines.size() && std::equal(prefix.begin(), prefix.end(), lines.begin());
}

bool nonEmptyFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

std::uint32_t bigEndian(const QByteArray &bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (qsizetype k = 0; k < 4; ++k)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + k]);
    return value;
}

// A rollback journal keeps the pages as they were before the interrupted write, page 1 among
// them when the write got that far: its change counter is the file's, or one less when the
// file's page 1 was already written. Another database's journal carries another count.
bool counterMatches(const QString &file, const QString &journal)
{
    QFile cup(file);
    QFile kept(journal);
    if (!cup.open(QIODevice::ReadOnly) || !kept.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = cup.read(100);
    const QByteArray journalHeader = kept.read(28);
    if (header.size() < 100 || journalHeader.size() < 28)
        return false;
    const std::uint32_t counter = bigEndian(header, 24);
    const std::uint32_t sector = bigEndian(journalHeader, 20);
    const std::uint32_t pageSize = bigEndian(journalHeader, 24);
    if (sector < 28 || sector > 65536 || pageSize < 512 || pageSize > 65536)
        return false;
    for (qint64 at = sector; at + 4 + pageSize + 4 <= kept.size(); at += 4 + pageSize + 4) {
        kept.seek(at);
        const QByteArray record = kept.read(4 + 100);
        if (record.size() < 104)
            return false;
        if (bigEndian(record, 0) == 1) {
            const std::uint32_t before = bigEndian(record, 4 + 24);
            return before == counter || before + 1 == counter;
        }
    }
    return true; // page 1 not reached: the trial below decides alone
}

std::string foreignJournal(const QString &path, const QString &journal)
{
    return "La coupe " + nameOf(path) + " a à côté d'elle un journal d'écriture " +
           quoted(QFileInfo(journal).fileName().toStdString()) +
           " qui n'est pas le sien : elle n'est pas ouverte, pour ne rien écrire dedans ; "
           "déplacez ce fichier ailleurs pour l'ouvrir.";
}

// Applies the journal to the file itself: SQLite rolls back or writes in what it holds, and
// the file goes back to one piece with a rollback journal.
bool applyJournal(const QString &file)
{
    const QString name = connectionName();
    bool applied = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(uriOf(file, false));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open() && guard(db)) {
            QSqlQuery query(db);
            applied = query.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) &&
                      query.next() && query.value(0).toString() == QLatin1String("delete");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return applied;
}

} // namespace

std::optional<std::string> recoverIfInterrupted(const QString &path, const QString &file,
                                                bool walMode)
{
    const QString wal = file + QStringLiteral("-wal");
    const QString rollback = file + QStringLiteral("-journal");
    const QString journal = nonEmptyFile(wal)        ? wal
                            : nonEmptyFile(rollback) ? rollback
                                                     : QString();
    if ((journal.isEmpty() && !walMode) || lockedByAnother(file))
        return std::nullopt;
    const bool mayWrite = QFileInfo(file).isWritable() &&
                          ::access(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                                   W_OK) == 0;
    if (journal.isEmpty())
        return mayWrite && !applyJournal(file) ? std::optional(damaged(path)) : std::nullopt;

    {
        QTemporaryDir trial;
        const QString bare = trial.filePath(QStringLiteral("bare.velmorin"));
        const QString joined = trial.filePath(QStringLiteral("joined.velmorin"));
        const QString joinedJournal = joined + journal.mid(file.size());
        if (!trial.isValid() || !QFile::copy(file, bare) || !QFile::copy(file, joined) ||
            !QFile::copy(journal, joinedJournal))
            return damaged(path);
        if (journal == rollback && !counterMatches(file, journal))
            return foreignJournal(path, journal);
        const auto before = journalIfCup(bare);
        const auto after = journalIfCup(joined);
        if (!after)
            return before ? foreignJournal(path, journal) : damaged(path);
        // A file torn by the interrupted write cannot be read alone: the journal repairs it.
        if (before && !(journal == wal ? startsWith(*after, *before) : startsWith(*before, *after)))
            return foreignJournal(path, journal);
    }
    if (!mayWrite)
        return "La coupe " + nameOf(path) +
               " a été interrompue pendant une écriture et doit être réparée avant d'être lue : "
               "ouvrez-la une fois depuis une session qui peut écrire dans son dossier, rien ne "
               "sera perdu.";
    if (!applyJournal(file))
        return damaged(path);
    return std::nullopt;
}

} // namespace velmorin::cupstoreprivate
