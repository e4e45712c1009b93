#include "CupStore.h"

#include "CupMessages.h"
#include "CupOpeningChecks.h"
#include "CupSql.h"
#include "CupTables.h"

#include "CupRecordRows.h"
#include "Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velmorin {

using namespace cupstoreprivate;

namespace {

// The tables a change writes, as SQLite names them when it prepares each statement (a
// table emptied at once included, which no row-by-row hook would report).
class TablesWritten
{
public:
    TablesWritten(const QSqlDatabase &db, std::set<std::string> &tables)
        : m_handle(handleOf(db)), m_tables(tables)
    {
        if (m_handle != nullptr)
            sqlite3_set_authorizer(m_handle, &TablesWritten::note, this);
    }
    ~TablesWritten()
    {
        if (m_handle != nullptr)
            sqlite3_set_authorizer(m_handle, nullptr, nullptr);
    }
    TablesWritten(const TablesWritten &) = delete;
    TablesWritten &operator=(const TablesWritten &) = delete;

private:
    static int note(void *self, int action, const char *table, const char *, const char *,
                    const char *)
    {
        if ((action == SQLITE_INSERT || action == SQLITE_UPDATE || action == SQLITE_DELETE) &&
            table != nullptr)
            static_cast<TablesWritten *>(self)->m_tables.insert(table);
        return SQLITE_OK;
    }

    sqlite3 *m_handle;
    std::set<std::string> &m_tables;
};

} // namespace

// --- Changes ---

std::string CupStore::failureMessage() const
{
    sqlite3 *handle = handleOf(m_db);
    const int code = handle ? sqlite3_extended_errcode(handle) & 0xff : SQLITE_ERROR;
    const int system = handle ? sqlite3_system_errno(handle) : 0;
    // SQLite met a damaged page on the write's way: the cup is damaged, not the disk.
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
        return damaged(m_path);
    std::string reason;
    if (code == SQLITE_FULL || platform::diskFull(system))
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
    const QByteArray native = QFile::encodeName(m_file);
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
    query.addBindValue(m_file);
    if (!query.exec())
        return "Le fichier de la coupe " + nameOf(m_path) +
               " a été supprimé pendant qu'elle était ouverte et n'a pas pu être réécrit : " +
               "la modification n'est pas enregistrée.";
    query.finish();
    // The connection now moves to the new file, which needs the same care as any opening.
    m_db.close();
    m_db.setDatabaseName(uriOf(m_file, false));
    if (!m_db.open() || !guard(m_db) || !prepareWriting(m_db))
        return failureMessage();
    if (::stat(native.constData(), &status) == 0) {
        m_device = status.st_dev;
        m_inode = status.st_ino;
    }
    return std::string();
}

CupWrite CupStore::change(const std::string &what, const std::function<bool()> &apply,
                          const std::function<void()> &commitToSetup, bool inputsChange,
                          std::optional<std::uint64_t> basedOn)
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
    // SQLite's own lock, taken before anything is read: between the check of the version and
    // the commit, no other program writes.
    if (!exec(m_db, QStringLiteral("BEGIN IMMEDIATE")))
        return {false, failureMessage()};
    const std::optional<std::uint64_t> current = readVersion(m_db);
    const std::uint64_t decidedOn = basedOn.value_or(m_version);
    if (!current || *current != decidedOn) {
        const std::string failure = current ? std::string() : failureMessage();
        exec(m_db, QStringLiteral("ROLLBACK"));
        if (!current)
            return {false, failure};
        return {false, refusalSince(decidedOn), true};
    }
    std::optional<std::uint64_t> written;
    std::set<std::string> tables;
    bool applied = false;
    {
        const TablesWritten watch(m_db, tables);
        applied = apply() && writeJournal(m_db, what);
    }
    // A damaged table is never written over: each table this store writes is checked once,
    // before its first change is committed (the reading checked the rest).
    for (const std::string &table : tables) {
        if (!applied || m_checkedTables.count(table) != 0)
            continue;
        if (!integrityHolds(m_db, table)) {
            exec(m_db, QStringLiteral("ROLLBACK"));
            return {false, damaged(m_path)};
        }
        m_checkedTables.insert(table);
    }
    if (!applied || !(written = readVersion(m_db)) || !exec(m_db, QStringLiteral("COMMIT"))) {
        const std::string message = failureMessage();
        exec(m_db, QStringLiteral("ROLLBACK"));
        return {false, message};
    }
    m_version = *written;
    commitToSetup();
    m_records.version = m_version; // one count for the settings and the play
    if (inputsChange)
        m_inputs.reset();
    // The cup held counts as the store does: a change of a setting moves the version too.
    if (inputsChange || (m_cup && m_cup->version() != m_version))
        m_cup.reset();
    return {true, notice};
}

std::optional<std::uint64_t> CupStore::storedVersion()
{
    return readVersion(m_db);
}

std::optional<std::vector<CupChange>> CupStore::changesSince(std::uint64_t version)
{
    return readChanges(m_db, version);
}

bool CupStore::reload()
{
    if (!exec(m_db, QStringLiteral("BEGIN")))
        return false;
    std::optional<std::uint64_t> version = readVersion(m_db);
    std::optional<CupSetup> setup = readSetup(m_db);
    std::optional<CupRecords> records = readCupRecords(m_db);
    exec(m_db, QStringLiteral("COMMIT"));
    if (!version || !setup || !records)
        return false;
    // Checked as on opening: a cup another program left unplayable is not taken in.
    const bool played =
        !records->draws.empty() || !records->results.empty() || !records->chosenExempted.empty();
    records->version = *version;
    std::uint64_t oldVersion = std::exchange(m_version, *version);
    CupSetup oldSetup = std::exchange(m_setup, std::move(*setup));
    CupRecords oldRecords = std::exchange(m_records, std::move(*records));
    std::optional<Cup> oldCup = std::exchange(m_cup, std::nullopt);
    m_inputs.reset();
    m_checkedTables.clear(); // another program wrote them
    if (played && !cupRefusal().empty()) {
        m_version = oldVersion;
        m_setup = std::move(oldSetup);
        m_records = std::move(oldRecords);
        m_cup = std::move(oldCup);
        m_inputs.reset();
        return false;
    }
    return true;
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
        m_inputs = cupInputsOf(m_setup, rebuildCup(m_setup),
                               isFrozen() ? InputsRules::Played : InputsRules::New);
    return *m_inputs;
}

std::string CupStore::cupRefusal() const
{
    // Restored once for the records held, which opening checks and its caller then plays: a
    // cup of thousands of teams is not replayed twice.
    if (!m_cup) {
        CupCreation made = restoreCup(inputs(), m_records);
        if (!made.ok())
            return made.error;
        m_cup = std::move(made.cup);
    }
    return {};
}

CupCreation CupStore::cup() const
{
    if (std::string refusal = cupRefusal(); !refusal.empty())
        return {std::nullopt, std::move(refusal)};
    return {m_cup, {}};
}

CupWrite CupStore::saveRecords(const CupRecords &records, const std::string &what,
                               std::uint64_t basedOn)
{
    if (basedOn != m_version)
        return {false, refusalSince(basedOn), true};
    // The version is the store's to give: the journal's entry that the write adds.
    CupRecords kept = records;
    kept.version = m_version;
    if (kept == m_records)
        return {true, {}};
    // Never a file that would not open again: the records must make this cup. No draw left
    // opens with any settings: a cup played under older rules can still go back before its
    // round 1, where its settings are then put right.
    const bool nothingPlayed = records.draws.empty() && records.results.empty() &&
                               records.chosenExempted.empty() && records.withdrawals.empty();
    CupCreation checked;
    if (!nothingPlayed) {
        checked = restoreCup(inputs(), records);
        if (!checked.ok())
            return {false, checked.error};
    }
    return writeRecords(records, what, basedOn, std::move(checked.cup));
}

namespace {

bool sameTeams(const std::vector<CupTeam> &a, const std::vector<CupTeam> &b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const CupTeam &x, const CupTeam &y) {
            return x.name == y.name && x.club == y.club && x.entryRound == y.entryRound &&
                   x.strength == y.strength && x.line == y.line;
        });
}

} // namespace

CupWrite CupStore::saveCup(const Cup &played, const std::string &what, std::uint64_t basedOn)
{
    if (basedOn != m_version)
        return {false, refusalSince(basedOn), true};
    const bool ownInputs = cupRefusal().empty() && played.seed() == m_cup->seed() &&
                           played.layout() == m_cup->layout() &&
                           sameTeams(played.teams(), m_cup->teams());
    if (!ownInputs)
        return saveRecords(played.records(), what, basedOn);
    const CupRecords records = played.records();
    if (records == m_records)
        return {true, {}};
    return writeRecords(records, what, basedOn, played);
}

CupWrite CupStore::writeRecords(const CupRecords &records, const std::string &what,
                                std::uint64_t basedOn, std::optional<Cup> checked)
{
    // Round 1 drawn or cancelled: the inputs are held to other rules.
    const bool rulesChange = records.draws.empty() != m_records.draws.empty();
    return change(
        what, [&] { return writeCupRecords(m_db, m_records, records); },
        [&] {
            m_records = records;
            // The cup just checked is the one now held, when it counts as the store does.
            if (checked && checked->version() == m_version)
                m_cup = std::move(checked);
            else
                m_cup.reset();
        },
        rulesChange, basedOn);
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
    CupSetup changed = m_setup;
    changed.classNumber = classNumber;
    changed.position = position;
    // The plan a cup is made from reaches its final; until round 1 is drawn (inputChange).
    if (!isFrozen()) {
        if (std::string refusal = planRefusalOf(changed); !refusal.empty())
            return {false, refusal};
    }
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
    std::optional<TeamList> teams = listTeams(list);
    return inputChange(
        "Liste ouverte : " + list.fileName,
        [&] {
            return writeList(m_db, list) && writeTeams(m_db, teams) &&
                   writeLevelRounds(m_db, levelRounds);
        },
        [&] {
            m_setup.list = list;
            m_setup.teams = std::move(teams);
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
    QSqlDatabase db = m_db;
    for (CupChange &change : readChanges(db, 0).value_or(std::vector<CupChange>{}))
        entries.push_back({std::move(change.at), std::move(change.what)});
    return entries;
}

} // namespace velmorin
