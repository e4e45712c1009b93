#include "CupStore.h"

#include "TeamCsv.h"

#include "CupRecordRows.h"
#include "CupSchema.h"
#include "Plan.h"
#include "TeamAssignment.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace velmorin {

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("velmorin-cup-%1").arg(++counter);
}

std::string nameOf(const QString &path)
{
    return "« " + displayName(path.toStdString()) + " »";
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

sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isValid() || db.driver() == nullptr)
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// Untrusted files: no schema may run anything (trusted_schema), and the defensive mode
// forbids what could corrupt the file on purpose (writable_schema and the like).
bool guard(QSqlDatabase &db)
{
    sqlite3 *handle = handleOf(db);
    if (handle == nullptr)
        return false;
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    QSqlQuery query(db);
    return query.exec(QStringLiteral("PRAGMA trusted_schema = OFF")) &&
           query.exec(QStringLiteral("PRAGMA cell_size_check = ON"));
}

std::optional<qint64> pragmaNumber(QSqlDatabase &db, const char *pragma)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA ") + QLatin1String(pragma)) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

std::string quoted(const std::string &text)
{
    return "« " + text + " »";
}

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

QVariant optionalValue(const std::optional<std::int32_t> &value)
{
    return value ? QVariant(static_cast<qint64>(*value)) : QVariant();
}

// A forward-only reading: rows are read once, in order, without being kept.
bool select(QSqlQuery &query, const QString &sql)
{
    query.setForwardOnly(true);
    return query.exec(sql);
}

bool exec(QSqlQuery &query)
{
    return query.exec();
}

bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

// --- Writing the tables ---

bool writeCupRow(QSqlDatabase &db, const CupSetup &setup)
{
    QVariantList values{qs(setup.name), qs(setup.date), setup.registered, setup.finale,
                        setup.entrants1};
    for (int choice : setup.ratioChoices)
        values << choice;
    values << optionalValue(setup.classNumber) << optionalValue(setup.position)
           << (setup.seed ? QVariant(QString::number(*setup.seed)) : QVariant())
           << (setup.list ? QVariant(qs(setup.list->fileName)) : QVariant());
    return exec(db,
                QStringLiteral("INSERT INTO cup VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                               "?, ?, ?)"),
                values);
}

bool writeWish(QSqlDatabase &db, Quantity quantity, const Interval &interval)
{
    const auto index = static_cast<int>(quantityIndex(quantity));
    if (!exec(db, QStringLiteral("DELETE FROM wish WHERE quantity = ?"), {index}))
        return false;
    if (!interval.bounded())
        return true;
    return exec(db, QStringLiteral("INSERT INTO wish VALUES (?, ?, ?)"),
                {index, optionalValue(interval.lo), optionalValue(interval.hi)});
}

bool writeList(QSqlDatabase &db, const std::optional<ImportedList> &list)
{
    if (!exec(db, QStringLiteral("DELETE FROM list_cell")) ||
        !exec(db, QStringLiteral("DELETE FROM list_row")) ||
        !exec(db, QStringLiteral("UPDATE cup SET list_file = ?"),
              {list ? QVariant(qs(list->fileName)) : QVariant()}))
        return false;
    if (!list)
        return true;
    QSqlQuery row(db);
    QSqlQuery cell(db);
    if (!row.prepare(QStringLiteral("INSERT INTO list_row VALUES (?, ?)")) ||
        !cell.prepare(QStringLiteral("INSERT INTO list_cell VALUES (?, ?, ?)")))
        return false;
    for (std::size_t r = 0; r < list->rows.size(); ++r) {
        const SourceRow &source = list->rows[r];
        row.bindValue(0, static_cast<qint64>(r));
        row.bindValue(1, static_cast<qint64>(source.line));
        if (!exec(row))
            return false;
        for (std::size_t c = 0; c < source.cells.size(); ++c) {
            cell.bindValue(0, static_cast<qint64>(r));
            cell.bindValue(1, static_cast<qint64>(c));
            cell.bindValue(2, qs(source.cells[c]));
            if (!exec(cell))
                return false;
        }
    }
    return true;
}

bool writeLevelRounds(QSqlDatabase &db, const std::vector<LevelRoundChoice> &rounds)
{
    if (!exec(db, QStringLiteral("DELETE FROM level_round")))
        return false;
    for (const LevelRoundChoice &choice : rounds) {
        if (!exec(db, QStringLiteral("INSERT INTO level_round VALUES (?, ?)"),
                  {qs(choice.level), choice.round}))
            return false;
    }
    return true;
}

bool writeLevelOrder(QSqlDatabase &db, const std::vector<std::string> &levels)
{
    if (!exec(db, QStringLiteral("DELETE FROM level_order")))
        return false;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        if (!exec(db, QStringLiteral("INSERT INTO level_order VALUES (?, ?)"),
                  {static_cast<qint64>(k), qs(levels[k])}))
            return false;
    }
    return true;
}

bool writeAll(QSqlDatabase &db, const CupSetup &setup)
{
    if (!writeCupRow(db, setup) || !writeList(db, setup.list) ||
        !writeLevelRounds(db, setup.levelRounds) || !writeLevelOrder(db, setup.levelOrder))
        return false;
    for (Quantity quantity : kQuantities) {
        if (!writeWish(db, quantity, setup.wishes[quantityIndex(quantity)]))
            return false;
    }
    return true;
}

bool writeJournal(QSqlDatabase &db, const std::string &what)
{
    const QString at = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    return exec(db, QStringLiteral("INSERT INTO journal (at, what) VALUES (?, ?)"), {at, qs(what)});
}

// --- Reading them back; anything out of place means a damaged file ---

std::optional<std::int32_t> int32Of(const QVariant &value)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

// A nullable column: none for NULL, nothing at all for a value out of range.
std::optional<std::optional<std::int32_t>> nullableInt32(const QVariant &value)
{
    if (value.isNull())
        return std::optional<std::int32_t>();
    const std::optional<std::int32_t> number = int32Of(value);
    if (!number)
        return std::nullopt;
    return number;
}

std::optional<std::uint64_t> parseSeed(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    std::uint64_t seed = 0;
    const auto [end, error] =
        std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), seed);
    if (bytes.isEmpty() || error != std::errc() || end != bytes.constData() + bytes.size())
        return std::nullopt;
    return seed;
}

bool readCupRow(QSqlDatabase &db, CupSetup &setup)
{
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT name, held_on, registered, finale, entrants1, rg1, "
                                      "rg2, rg3, rg4, rg5, rg6, "
                                      "class_number, position, seed, list_file FROM cup")) ||
        !query.next())
        return false;
    setup.name = query.value(0).toString().toStdString();
    setup.date = query.value(1).toString().toStdString();
    std::array<std::int32_t *, 3> counts{&setup.registered, &setup.finale, &setup.entrants1};
    for (int k = 0; k < 3; ++k) {
        const auto value = int32Of(query.value(2 + k));
        if (!value)
            return false;
        *counts[static_cast<std::size_t>(k)] = *value;
    }
    for (std::size_t k = 0; k < kRatioGroups; ++k) {
        const auto value = int32Of(query.value(5 + static_cast<int>(k)));
        if (!value)
            return false;
        setup.ratioChoices[k] = *value;
    }
    const auto classNumber = nullableInt32(query.value(11));
    const auto position = nullableInt32(query.value(12));
    if (!classNumber || !position || (*classNumber && (**classNumber < 1 || **classNumber > 3)) ||
        (*position && **position < 1))
        return false;
    setup.classNumber = *classNumber;
    setup.position = *position;
    if (!query.value(13).isNull()) {
        setup.seed = parseSeed(query.value(13).toString());
        if (!setup.seed)
            return false;
    }
    if (!query.value(14).isNull())
        setup.list = ImportedList{query.value(14).toString().toStdString(), {}};
    return !query.next(); // one row, never two
}

bool readWishes(QSqlDatabase &db, CupSetup &setup)
{
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT quantity, lo, hi FROM wish")))
        return false;
    while (query.next()) {
        const auto index = int32Of(query.value(0));
        const auto lo = nullableInt32(query.value(1));
        const auto hi = nullableInt32(query.value(2));
        if (!index || *index < 0 || *index >= static_cast<int>(kQuantityCount) || !lo || !hi)
            return false;
        const Interval interval{*lo, *hi};
        if (interval.empty())
            return false;
        setup.wishes[static_cast<std::size_t>(*index)] = interval;
    }
    return true;
}

bool readList(QSqlDatabase &db, CupSetup &setup)
{
    QSqlQuery rows(db);
    if (!select(rows, QStringLiteral("SELECT row_no, line FROM list_row ORDER BY row_no")))
        return false;
    std::vector<SourceRow> read;
    while (rows.next()) {
        if (rows.value(0).toLongLong() != static_cast<qint64>(read.size()))
            return false;
        const qint64 line = rows.value(1).toLongLong();
        if (line < 0)
            return false;
        read.push_back(SourceRow{static_cast<std::size_t>(line), {}, {}});
    }
    QSqlQuery cells(db);
    if (!select(cells, QStringLiteral(
                           "SELECT row_no, col_no, value FROM list_cell ORDER BY row_no, col_no")))
        return false;
    while (cells.next()) {
        const qint64 row = cells.value(0).toLongLong();
        if (row < 0 || row >= static_cast<qint64>(read.size()))
            return false;
        std::vector<std::string> &line = read[static_cast<std::size_t>(row)].cells;
        if (cells.value(1).toLongLong() != static_cast<qint64>(line.size()))
            return false;
        line.push_back(cells.value(2).toString().toStdString());
    }
    if (!setup.list)
        return read.empty();
    setup.list->rows = std::move(read);
    return true;
}

bool readLevels(QSqlDatabase &db, CupSetup &setup)
{
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT level, round FROM level_round ORDER BY level")))
        return false;
    while (query.next()) {
        const auto round = int32Of(query.value(1));
        if (!round || *round < 1 || *round > kEntryRounds)
            return false;
        setup.levelRounds.push_back({query.value(0).toString().toStdString(), *round});
    }
    if (!query.exec(QStringLiteral("SELECT rank, level FROM level_order ORDER BY rank")))
        return false;
    while (query.next()) {
        if (query.value(0).toLongLong() != static_cast<qint64>(setup.levelOrder.size()))
            return false;
        setup.levelOrder.push_back(query.value(1).toString().toStdString());
    }
    return true;
}

std::optional<CupSetup> readSetup(QSqlDatabase &db)
{
    CupSetup setup;
    if (!readCupRow(db, setup) || !readWishes(db, setup) || !readList(db, setup) ||
        !readLevels(db, setup))
        return std::nullopt;
    return setup;
}

// Level rounds kept in the key order the table reads them back in.
std::vector<LevelRoundChoice> sortedRounds(std::vector<LevelRoundChoice> rounds)
{
    std::sort(
        rounds.begin(), rounds.end(),
        [](const LevelRoundChoice &a, const LevelRoundChoice &b) { return a.level < b.level; });
    return rounds;
}

std::string intervalText(const Interval &interval)
{
    if (!interval.bounded())
        return "aucun";
    return (interval.lo ? std::to_string(*interval.lo) : "") + ".." +
           (interval.hi ? std::to_string(*interval.hi) : "");
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
    if (failure.empty() && ::link(QFile::encodeName(temporary).constData(),
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

// --- Changes ---

std::string CupStore::failureMessage() const
{
    sqlite3 *handle = handleOf(m_db);
    const int code = handle ? sqlite3_extended_errcode(handle) & 0xff : SQLITE_ERROR;
    const int system = handle ? sqlite3_system_errno(handle) : 0;
    std::string reason;
    if (code == SQLITE_FULL || system == ENOSPC || system == EFBIG || system == EDQUOT)
        reason = "le disque est plein";
    else if (code == SQLITE_READONLY || system == EROFS || system == EACCES)
        reason = "le fichier ne peut plus être modifié";
    else if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        reason = "un autre programme écrit dans la coupe";
    else if (system != 0)
        reason = std::strerror(system);
    else
        reason = "l'écriture a échoué (code " + std::to_string(code) + ")";
    return "La modification n'est pas enregistrée dans la coupe " + nameOf(m_path) + " : " +
           reason + " ; tout ce qui a été enregistré avant est conservé.";
}

// A cup whose file was removed while open lives on only in this process: it is written
// again at its place, so that nothing is lost when it is closed.
std::optional<std::string> CupStore::restoreIfRemoved()
{
    const QByteArray native = QFile::encodeName(m_path);
    struct stat status
    {
    };
    if (::stat(native.constData(), &status) == 0) {
        if (status.st_dev == m_device && status.st_ino == m_inode)
            return std::nullopt;
        return "Le fichier de la coupe " + nameOf(m_path) +
               " a été remplacé par un autre pendant qu'elle était ouverte : la modification "
               "n'est pas enregistrée.";
    }
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("VACUUM INTO ?"));
    query.addBindValue(QFileInfo(m_path).absoluteFilePath());
    if (!query.exec())
        return "Le fichier de la coupe " + nameOf(m_path) +
               " a été supprimé pendant qu'elle était ouverte et n'a pas pu être réécrit : " +
               "la modification n'est pas enregistrée.";
    query.finish();
    // The connection now moves to the new file, which needs the same care as any opening.
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(m_path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?mode=rw");
    m_db.close();
    m_db.setDatabaseName(uri);
    if (!m_db.open() || !guard(m_db) ||
        !QSqlQuery(m_db).exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !QSqlQuery(m_db).exec(QStringLiteral("PRAGMA synchronous = FULL")) ||
        !QSqlQuery(m_db).exec(QStringLiteral("PRAGMA foreign_keys = ON")))
        return failureMessage();
    if (::stat(native.constData(), &status) == 0) {
        m_device = status.st_dev;
        m_inode = status.st_ino;
    }
    return std::string();
}

CupWrite CupStore::change(const std::string &what, const std::function<bool()> &apply,
                          const std::function<void()> &commitToSetup, bool inputsChange)
{
    if (readOnly())
        return {false, "La coupe " + nameOf(m_path) +
                           " est ouverte en lecture seule : la modification n'est pas "
                           "enregistrée."};
    std::string notice;
    if (std::optional<std::string> restored = restoreIfRemoved()) {
        if (!restored->empty())
            return {false, *restored};
        notice = "Le fichier de la coupe " + nameOf(m_path) +
                 " avait été supprimé pendant qu'elle était ouverte : elle a été réenregistrée "
                 "à sa place, rien n'est perdu.";
    }
    if (!m_db.transaction())
        return {false, failureMessage()};
    if (!apply() || !writeJournal(m_db, what) || !m_db.commit()) {
        const std::string message = failureMessage();
        m_db.rollback();
        return {false, message};
    }
    commitToSetup();
    if (inputsChange)
        m_inputs.reset();
    return {true, notice};
}

CupWrite CupStore::inputChange(const std::string &what, const std::function<bool()> &apply,
                               const std::function<void()> &commitToSetup)
{
    if (isFrozen())
        return {false, std::string(Cup::frozenSentence())};
    return change(what, apply, commitToSetup);
}

const CupInputsResult &CupStore::inputs() const
{
    if (!m_inputs)
        m_inputs = cupInputsOf(m_setup, rebuildCup(m_setup));
    return *m_inputs;
}

CupCreation CupStore::cup() const
{
    return restoreCup(inputs(), m_records);
}

CupWrite CupStore::saveRecords(const CupRecords &records, const std::string &what)
{
    if (records == m_records)
        return {true, {}};
    // Never a file that would not open again: the records must make this cup.
    const CupCreation checked = restoreCup(inputs(), records);
    if (!checked.ok())
        return {false, checked.error};
    return change(
        what, [&] { return writeCupRecords(m_db, m_records, records); },
        [&] { m_records = records; }, false);
}

CupWrite CupStore::setName(const std::string &name)
{
    return change(
        "Nom de la coupe : " + name,
        [&] { return exec(m_db, QStringLiteral("UPDATE cup SET name = ?"), {qs(name)}); },
        [&] { m_setup.name = name; });
}

CupWrite CupStore::setDate(const std::string &date)
{
    return change(
        "Date : " + date,
        [&] { return exec(m_db, QStringLiteral("UPDATE cup SET held_on = ?"), {qs(date)}); },
        [&] { m_setup.date = date; });
}

CupWrite CupStore::setCount(CupCount which, std::int32_t value)
{
    const char *column = which == CupCount::Registered ? "registered"
                         : which == CupCount::Finale   ? "finale"
                                                       : "entrants1";
    const char *label = which == CupCount::Registered ? "Équipes inscrites"
                        : which == CupCount::Finale   ? "Équipes en finale"
                                                      : "Entrantes au tour 1";
    std::int32_t &field = which == CupCount::Registered ? m_setup.registered
                          : which == CupCount::Finale   ? m_setup.finale
                                                        : m_setup.entrants1;
    return inputChange(
        std::string(label) + " : " + std::to_string(value),
        [&] {
            return exec(m_db, QStringLiteral("UPDATE cup SET %1 = ?").arg(QLatin1String(column)),
                        {value});
        },
        [&] { field = value; });
}

CupWrite CupStore::setRatioChoice(int group, int itemIndex)
{
    if (group < 1 || group > static_cast<int>(kRatioGroups))
        return {false, "Groupe de rapports inconnu."};
    return inputChange(
        "Rapport RG" + std::to_string(group) + " : " +
            std::string(ratioText(ratioFromIndex(itemIndex))),
        [&] {
            return exec(m_db, QStringLiteral("UPDATE cup SET rg%1 = ?").arg(group), {itemIndex});
        },
        [&] { m_setup.ratioChoices[static_cast<std::size_t>(group - 1)] = itemIndex; });
}

CupWrite CupStore::setShownPlan(std::optional<int> classNumber,
                                std::optional<std::int32_t> position)
{
    if ((classNumber && (*classNumber < 1 || *classNumber > 3)) || (position && *position < 1))
        return {false, "Plan inconnu : la classe va de 1 à 3 et la solution commence à 1."};
    const std::string what = classNumber && position
                                 ? "Plan montré : classe " + std::to_string(*classNumber) +
                                       ", solution " + std::to_string(*position)
                                 : std::string("Plus de plan montré");
    return inputChange(
        what,
        [&] {
            return exec(m_db, QStringLiteral("UPDATE cup SET class_number = ?, position = ?"),
                        {optionalValue(classNumber), optionalValue(position)});
        },
        [&] {
            m_setup.classNumber = classNumber;
            m_setup.position = position;
        });
}

CupWrite CupStore::setWish(Quantity quantity, const Interval &interval)
{
    if (interval.empty())
        return {false, "Souhait impossible : le minimum dépasse le maximum."};
    return change(
        "Souhait n° " + std::to_string(quantityIndex(quantity) + 1) + " : " +
            intervalText(interval),
        [&] { return writeWish(m_db, quantity, interval); },
        [&] { m_setup.wishes[quantityIndex(quantity)] = interval; });
}

CupWrite CupStore::setList(const ImportedList &list,
                           const std::vector<LevelRoundChoice> &levelRounds)
{
    return inputChange(
        "Liste ouverte : " + list.fileName,
        [&] { return writeList(m_db, list) && writeLevelRounds(m_db, levelRounds); },
        [&] {
            m_setup.list = list;
            m_setup.levelRounds = sortedRounds(levelRounds);
        });
}

CupWrite CupStore::setLevelRound(const std::string &level, int round)
{
    if (round < 1 || round > kEntryRounds)
        return {false, "Tour incorrect : un niveau entre au tour 1, 2, 3 ou 4."};
    return inputChange(
        "Niveau " + quoted(level) + " au tour " + std::to_string(round),
        [&] {
            return exec(m_db, QStringLiteral("DELETE FROM level_round WHERE level = ?"),
                        {qs(level)}) &&
                   exec(m_db, QStringLiteral("INSERT INTO level_round VALUES (?, ?)"),
                        {qs(level), round});
        },
        [&] {
            std::vector<LevelRoundChoice> rounds = m_setup.levelRounds;
            auto found = std::find_if(rounds.begin(), rounds.end(),
                                      [&](const LevelRoundChoice &c) { return c.level == level; });
            if (found != rounds.end())
                found->round = round;
            else
                rounds.push_back({level, round});
            m_setup.levelRounds = sortedRounds(std::move(rounds));
        });
}

CupWrite CupStore::setSeed(std::uint64_t seed)
{
    return inputChange(
        "Graine du tirage : " + std::to_string(seed),
        [&] {
            return exec(m_db, QStringLiteral("UPDATE cup SET seed = ?"), {QString::number(seed)});
        },
        [&] { m_setup.seed = seed; });
}

CupWrite CupStore::setLevelOrder(const std::vector<std::string> &levels)
{
    std::string what = "Ordre des niveaux :";
    for (const std::string &level : levels)
        what += ' ' + quoted(level);
    return inputChange(
        what, [&] { return writeLevelOrder(m_db, levels); }, [&] { m_setup.levelOrder = levels; });
}

std::vector<CupJournalEntry> CupStore::journal() const
{
    std::vector<CupJournalEntry> entries;
    QSqlQuery query(m_db);
    if (!select(query, QStringLiteral("SELECT at, what FROM journal ORDER BY entry")))
        return entries;
    while (query.next())
        entries.push_back(
            {query.value(0).toString().toStdString(), query.value(1).toString().toStdString()});
    return entries;
}

} // namespace velmorin
