// Opening a cup file: the checks before anything is read, and a new cup's file created.

#include "CupStore.h"

#include "CupMessages.h"
#include "CupOpeningChecks.h"
#include "CupSql.h"
#include "CupTables.h"

#include "CupRecordRows.h"
#include "CupSchema.h"
#include "Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace velmorin {

using namespace cupstoreprivate;

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("velmorin-cup-%1").arg(++counter);
}

CupOpening failed(CupOpening::Failure failure, std::string message)
{
    CupOpening opening;
    opening.failure = failure;
    opening.message = std::move(message);
    return opening;
}

CupOpening refused(std::string message)
{
    return failed(CupOpening::Failure::Refused, std::move(message));
}

std::uint32_t bigEndian(const QByteArray &bytes, int at)
{
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + k]);
    return value;
}

// The file's own header, read before SQLite sees the file: a file that is not ours is
// refused without its schema ever being parsed.
struct Header
{
    bool sqlite = false;
    std::uint32_t applicationId = 0;
    std::uint32_t version = 0;
    bool wal = false; // the file is in SQLite's write-ahead log mode (older Velmorin)
};

Header readHeader(const QString &path)
{
    QFile file(path);
    Header header;
    if (!file.open(QIODevice::ReadOnly))
        return header;
    const QByteArray bytes = file.read(100);
    if (bytes.size() < 100 || !bytes.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return header;
    header.sqlite = true;
    header.wal = bytes[18] == 2 || bytes[19] == 2;
    header.version = bigEndian(bytes, 60);
    header.applicationId = bigEndian(bytes, 68);
    return header;
}

std::optional<qint64> pragmaNumber(QSqlDatabase &db, const char *pragma)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA ") + QLatin1String(pragma)) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

// The integrity check's work, bounded by the file's size: a hostile file that would make it
// run for long is refused as damaged. A healthy cup needs a small part of this.
struct WorkBudget
{
    qint64 left = 0;
};

int spendWork(void *budget)
{
    return --static_cast<WorkBudget *>(budget)->left < 0 ? 1 : 0;
}

// A file system where SQLite's locks cannot be trusted (NFS, SMB, FUSE): two programs could
// both write at once, so a cup there is only read.
bool onNetworkFileSystem(const QString &file)
{
    struct statfs status
    {
    };
    if (::statfs(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), &status) != 0)
        return false;
    switch (static_cast<unsigned long>(status.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE (sshfs and the like)
    case 0x01021997UL: // 9P
    case 0x5346414FUL: // AFS
    case 0x00C36400UL: // Ceph
        return true;
    default:
        return false;
    }
}

QString creationPrefix(const QFileInfo &cup)
{
    return QStringLiteral(".") + cup.fileName() + QStringLiteral(".creation-");
}

// What a creation killed before its end left (its temporary file and journal): no process
// holds it any more.
void removeAbandonedCreations(const QString &folder, const QString &prefix)
{
    const QStringList left =
        QDir(folder).entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString &name : left) {
        if (name.endsWith(QLatin1String("-journal")))
            continue;
        const QString file = folder + QLatin1Char('/') + name;
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            QFile::remove(file + QStringLiteral("-journal"));
            QFile::remove(file);
        }
        ::close(fd);
    }
}

} // namespace

namespace cupstoreprivate {

// --- Checks shared by the file and its trial copies ---

// SQLite's own check of the file's structure (or of one table and its indexes), its work
// bounded by the file's size: a hostile file that would make it run for long fails it.
bool integrityHolds(QSqlDatabase &db, const std::string &table)
{
    sqlite3 *handle = handleOf(db);
    const std::optional<qint64> pages = pragmaNumber(db, "page_count");
    if (handle == nullptr || !pages)
        return false;
    WorkBudget budget{1000 + *pages * 20};
    sqlite3_progress_handler(handle, 1000, spendWork, &budget);
    QSqlQuery check(db);
    const QString argument =
        table.empty() ? QStringLiteral("1") : QLatin1Char('"') + qs(table) + QLatin1Char('"');
    const bool ok = check.exec(QStringLiteral("PRAGMA integrity_check(%1)").arg(argument)) &&
                    check.next() && check.value(0).toString() == QLatin1String("ok");
    check.finish();
    sqlite3_progress_handler(handle, 0, nullptr, nullptr);
    return ok;
}

// What a cup must pass before it is read, in the order that keeps a hostile file cheap to
// refuse: identity, version, then our schema. Empty when it passed; `version` is the format
// it is at.
std::string checkIdentity(QSqlDatabase &db, const QString &path, std::int64_t &version)
{
    const auto applicationId = pragmaNumber(db, "application_id");
    const auto userVersion = pragmaNumber(db, "user_version");
    if (!applicationId || !userVersion)
        return damaged(path);
    if (static_cast<std::uint32_t>(*applicationId) != kCupApplicationId)
        return notACup(path);
    if (*userVersion < 1 || *userVersion > cupSchemaVersion())
        return damaged(path);
    version = *userVersion;
    QString error;
    const QStringList objects = schemaObjectsOf(db, error);
    if (!error.isEmpty())
        return damaged(path);
    if (objects != cupSchemaObjects(static_cast<int>(*userVersion)))
        return "La coupe " + nameOf(path) +
               " contient des déclencheurs, des vues ou des tables qui ne sont pas de "
               "Velmorin : elle est refusée par prudence.";
    return {};
}

std::string checkCup(QSqlDatabase &db, const QString &path, std::int64_t &version)
{
    if (std::string refusal = checkIdentity(db, path, version); !refusal.empty())
        return refusal;
    return integrityHolds(db) ? std::string() : damaged(path);
}

} // namespace cupstoreprivate

// --- Opening ---

CupStore::CupStore(QString path, QString file, Mode mode)
    : m_path(std::move(path)), m_file(std::move(file)), m_mode(mode),
      m_connection(nextConnectionName())
{}

// Nothing written at closing: the file is whole after every commit (rollback journal), so a
// closed cup is one file that can be copied or mailed as it is.
CupStore::~CupStore()
{
    closeConnection();
}

void CupStore::closeConnection()
{
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

CupOpening CupStore::open(const QString &path, Mode mode)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refused("La coupe " + nameOf(path) + " n'existe pas.");
    if (!info.isFile())
        return refused(notACup(path));
    // One file, one lock, whatever name it is opened under (a link, a relative path).
    const QString file = info.canonicalFilePath();
    const Header header = readHeader(file);
    if (!header.sqlite || header.applicationId != kCupApplicationId)
        return refused(notACup(path));
    if (header.version > static_cast<std::uint32_t>(cupSchemaVersion()))
        return refused("La coupe " + nameOf(path) + " est de la version " +
                       std::to_string(header.version) + " du format, plus récente que la version " +
                       std::to_string(cupSchemaVersion()) +
                       " que lit ce programme : mettez Velmorin à jour pour l'ouvrir.");
    if (mode != Mode::ReadOnly && !info.isWritable())
        return refused("Le fichier de la coupe " + nameOf(path) +
                       " est en lecture seule : elle ne peut être ouverte qu'en lecture seule.");
    std::string notice;
    if (mode != Mode::ReadOnly && onNetworkFileSystem(file)) {
        mode = Mode::ReadOnly;
        notice = "La coupe " + nameOf(path) +
                 " est sur un disque partagé par le réseau, où deux programmes pourraient "
                 "l'écrire en même temps sans se voir : elle est ouverte en lecture seule ; "
                 "copiez-la sur cet ordinateur pour la modifier.";
    }

    std::unique_ptr<CupStore> store(new CupStore(path, file, mode));
    if (mode == Mode::ReadWrite) {
        switch (store->m_lock.acquire(file)) {
        case CupLock::Outcome::Taken:
            break;
        case CupLock::Outcome::Held: {
            CupHolder holder = store->m_lock.holder();
            const std::string who =
                holder.pid > 0 ? "le programme n° " + std::to_string(holder.pid) +
                                     " sur l'ordinateur " + cupstoreprivate::quoted(holder.host)
                               : std::string("un autre programme");
            CupOpening opening = failed(
                CupOpening::Failure::Held,
                "La coupe " + nameOf(path) + " est déjà ouverte pour être modifiée par " + who +
                    " : elle ne peut être ouverte qu'en lecture seule ; fermez-la dans ce "
                    "programme pour la modifier ici.");
            if (holder.host.empty())
                holder.host = CupLock::thisHost();
            opening.holder = holder;
            return opening;
        }
        case CupLock::Outcome::Failed:
            return failed(CupOpening::Failure::WriteFailed,
                          "La coupe " + nameOf(path) + " ne peut pas être ouverte pour écrire : " +
                              std::strerror(errno) + ".");
        }
    }

    if (mode == Mode::ReadWrite)
        removeAbandonedCreations(info.absolutePath(), creationPrefix(info));

    // A journal left beside the cup by a program killed while writing: applied only when it
    // is the cup's own, and only by a program that may write the folder.
    if (const std::optional<std::string> refusal = recoverIfInterrupted(path, file, header.wal))
        return refused(*refusal);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), store->m_connection);
    store->m_db = db;
    db.setDatabaseName(uriOf(file, mode == Mode::ReadOnly));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open() || !guard(db))
        return refused(notACup(path));

    std::int64_t version = 0;
    // No whole-file integrity check here: the reading below checks every row and SQLite every
    // page it reads, and each write checks the tables it changes before it commits.
    if (std::string refusal = checkIdentity(db, path, version); !refusal.empty())
        return refused(refusal);
    if (mode != Mode::ReadOnly && !prepareWriting(db))
        return failed(CupOpening::Failure::WriteFailed, store->failureMessage());

    if (version < cupSchemaVersion()) {
        if (mode == Mode::ReadOnly)
            return refused("La coupe " + nameOf(path) + " est de la version " +
                           std::to_string(version) +
                           " du format : ouvrez-la une fois pour écrire, pour la mettre à jour.");
        QString migrationError;
        if (!exec(db, QStringLiteral("BEGIN IMMEDIATE")) ||
            !migrateCup(db, static_cast<int>(version), migrationError) ||
            !writeJournal(db, "Coupe mise au format " + std::to_string(cupSchemaVersion())) ||
            !exec(db, QStringLiteral("COMMIT"))) {
            const std::string message = store->failureMessage();
            exec(db, QStringLiteral("ROLLBACK"));
            return failed(CupOpening::Failure::WriteFailed, message);
        }
    }
    // Read whole, in one reading transaction, so that the records and the version match.
    if (!exec(db, QStringLiteral("BEGIN")))
        return refused(damaged(path));
    std::optional<std::uint64_t> fileVersion = readVersion(db);
    std::optional<CupSetup> setup = readSetup(db);
    std::optional<CupRecords> records = readCupRecords(db);
    exec(db, QStringLiteral("COMMIT"));
    if (!fileVersion || !setup || !records)
        return refused(damaged(path));
    store->m_version = *fileVersion;
    store->m_setup = std::move(*setup);
    store->m_records = std::move(*records);
    store->m_records.version = store->m_version;
    if (!store->m_records.draws.empty() || !store->m_records.results.empty() ||
        !store->m_records.chosenExempted.empty()) {
        if (!store->cupRefusal().empty())
            return refused(damaged(path));
    }

    struct stat status
    {
    };
    if (::stat(QFile::encodeName(file).constData(), &status) == 0) {
        store->m_device = status.st_dev;
        store->m_inode = status.st_ino;
    }
    CupOpening opening;
    opening.store = std::move(store);
    opening.notice = std::move(notice);
    return opening;
}

CupOpening CupStore::create(const QString &path, const CupSetup &setup)
{
    const QFileInfo info(path);
    const std::string exists =
        "Le fichier " + nameOf(path) + " existe déjà : la coupe n'est pas créée.";
    if (info.exists() || info.isSymLink())
        return refused(exists);

    // Made whole under a temporary name, then linked in place: link() never replaces a file,
    // so a cup that appeared meanwhile is not overwritten, and no half-made cup is ever seen.
    const QString prefix = creationPrefix(info);
    const QString temporary =
        info.absolutePath() + QLatin1Char('/') + prefix + QString::number(::getpid());
    removeAbandonedCreations(info.absolutePath(), prefix);
    QFile::remove(temporary);
    // Held while it is made, so that another creation knows it is not abandoned; closed only
    // after SQLite's connection, whose locks closing it would drop.
    const int held = ::open(QFile::encodeName(temporary).constData(),
                            O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (held >= 0)
        ::flock(held, LOCK_EX);
    const QString connection = nextConnectionName();
    std::string failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(temporary);
        QString error;
        const bool made = db.open() && guard(db) && db.transaction() && migrateCup(db, 0, error) &&
                          writeAll(db, setup) && writeJournal(db, "Coupe créée") && db.commit();
        if (!made) {
            const int system = handleOf(db) ? sqlite3_system_errno(handleOf(db)) : 0;
            failure = "La coupe " + nameOf(path) + " n'a pas pu être créée : " +
                      (system != 0 ? std::strerror(system) : "écriture impossible") + ".";
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (failure.empty() && platform::linkFile(QFile::encodeName(temporary).constData(),
                                              QFile::encodeName(path).constData()) != 0) {
        failure = errno == EEXIST ? exists
                                  : "La coupe " + nameOf(path) +
                                        " n'a pas pu être créée : " + std::strerror(errno) + ".";
    }
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-journal"));
    if (held >= 0)
        ::close(held);
    if (!failure.empty())
        return failed(failure == exists ? CupOpening::Failure::Refused
                                        : CupOpening::Failure::WriteFailed,
                      failure);
    return open(path, Mode::ReadWrite);
}

} // namespace velmorin
