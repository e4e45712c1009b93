// Opening a cup file: the checks before anything is read, and a new cup's file created.

#include "CupStore.h"

#include "CupStorePrivate.h"

#include "CupRecordRows.h"
#include "CupSchema.h"
#include "Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
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

std::string notACup(const QString &path)
{
    return "Le fichier " + nameOf(path) + " n'est pas une coupe Velmorin.";
}

std::string damaged(const QString &path)
{
    return "La coupe " + nameOf(path) +
           " est abîmée : elle n'est pas ouverte, pour ne rien écrire dedans.";
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

} // namespace

// --- Opening ---

CupStore::CupStore(QString path, Mode mode)
    : m_path(std::move(path)), m_mode(mode), m_connection(nextConnectionName())
{}

CupStore::~CupStore()
{
    if (m_opened && m_db.isOpen() && !readOnly()) {
        // Back into the one file: nothing left in -wal, and the rollback journal mode removes
        // -wal and -shm, so the closed cup can be copied or mailed as it is.
        QSqlQuery query(m_db);
        query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        query.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    }
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
    const Header header = readHeader(path);
    if (!header.sqlite || header.applicationId != kCupApplicationId)
        return refused(notACup(path));
    if (header.version > static_cast<std::uint32_t>(cupSchemaVersion()))
        return refused("La coupe " + nameOf(path) + " est de la version " +
                       std::to_string(header.version) + " du format, plus récente que la version " +
                       std::to_string(cupSchemaVersion()) +
                       " que lit ce programme : mettez Velmorin à jour pour l'ouvrir.");
    if (mode == Mode::ReadWrite && !info.isWritable())
        return refused("Le fichier de la coupe " + nameOf(path) +
                       " est en lecture seule : elle ne peut être ouverte qu'en lecture seule.");

    std::unique_ptr<CupStore> store(new CupStore(path, mode));
    if (mode == Mode::ReadWrite) {
        switch (store->m_lock.acquire(path)) {
        case CupLock::Outcome::Taken:
            break;
        case CupLock::Outcome::Held: {
            const CupHolder holder = store->m_lock.holder();
            CupOpening opening =
                failed(CupOpening::Failure::Held,
                       "La coupe " + nameOf(path) + " est déjà ouverte par le programme n° " +
                           std::to_string(holder.pid) + " sur l'ordinateur " + quoted(holder.host) +
                           " : elle ne peut être ouverte qu'en lecture seule.");
            opening.holder = holder;
            return opening;
        }
        case CupLock::Outcome::Failed:
            return failed(CupOpening::Failure::WriteFailed,
                          "La coupe " + nameOf(path) + " ne peut pas être ouverte pour écrire : " +
                              std::strerror(errno) + ".");
        }
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), store->m_connection);
    store->m_db = db;
    // A URI so that a missing file is not created (mode=rw) and a read-only one not written.
    const QString uri =
        QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) +
        (mode == Mode::ReadOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
    db.setDatabaseName(uri);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open() || !guard(db))
        return refused(notACup(path));

    // Identity and version again, as SQLite reads them, before any table is.
    const auto applicationId = pragmaNumber(db, "application_id");
    const auto version = pragmaNumber(db, "user_version");
    if (!applicationId || !version)
        return refused(damaged(path));
    if (static_cast<std::uint32_t>(*applicationId) != kCupApplicationId)
        return refused(notACup(path));
    if (*version < 1 || *version > cupSchemaVersion())
        return refused(damaged(path));

    {
        QSqlQuery check(db);
        if (!check.exec(QStringLiteral("PRAGMA integrity_check(1)")) || !check.next() ||
            check.value(0).toString() != QLatin1String("ok"))
            return refused(damaged(path));
    }
    QString error;
    const QStringList objects = schemaObjectsOf(db, error);
    if (!error.isEmpty())
        return refused(damaged(path));
    if (objects != cupSchemaObjects(static_cast<int>(*version)))
        return refused("La coupe " + nameOf(path) +
                       " contient des déclencheurs, des vues ou des tables qui ne sont pas de "
                       "Velmorin : elle est refusée par prudence.");

    if (*version < cupSchemaVersion()) {
        if (mode == Mode::ReadOnly)
            return refused("La coupe " + nameOf(path) + " est de la version " +
                           std::to_string(*version) +
                           " du format : ouvrez-la une fois pour écrire, pour la mettre à jour.");
        QString migrationError;
        if (!db.transaction() || !migrateCup(db, static_cast<int>(*version), migrationError) ||
            !writeJournal(db, "Coupe mise au format " + std::to_string(cupSchemaVersion())) ||
            !db.commit()) {
            db.rollback();
            return failed(CupOpening::Failure::WriteFailed, store->failureMessage());
        }
    }
    // Read whole before anything is written: a file refused here is left as it was.
    std::optional<CupSetup> setup = readSetup(db);
    if (!setup)
        return refused(damaged(path));
    std::optional<CupRecords> records = readCupRecords(db);
    if (!records)
        return refused(damaged(path));
    store->m_setup = std::move(*setup);
    store->m_records = std::move(*records);
    if (!store->m_records.draws.empty() || !store->m_records.results.empty() ||
        !store->m_records.chosenExempted.empty()) {
        if (!store->cup().ok())
            return refused(damaged(path));
    }
    if (mode == Mode::ReadWrite) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
            !query.exec(QStringLiteral("PRAGMA synchronous = FULL")) ||
            !query.exec(QStringLiteral("PRAGMA foreign_keys = ON")))
            return failed(CupOpening::Failure::WriteFailed, store->failureMessage());
    }
    store->m_opened = true;

    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        store->m_device = status.st_dev;
        store->m_inode = status.st_ino;
    }
    CupOpening opening;
    opening.store = std::move(store);
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
    const QString temporary = info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                              QStringLiteral(".creation-%1").arg(::getpid());
    QFile::remove(temporary);
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
    if (!failure.empty())
        return failed(failure == exists ? CupOpening::Failure::Refused
                                        : CupOpening::Failure::WriteFailed,
                      failure);
    return open(path, Mode::ReadWrite);
}

} // namespace velmorin
