#pragma once

// A cup file (.velmorin): an SQLite database written through Qt SQL. Every change is written
// at once, in its own transaction, by one call; a program killed at any moment loses at most
// the change in flight. Several programs may have the same cup open: each write is refused
// when another program wrote since what it was decided on was read (version()), so no change
// is ever lost to a later one. A cup received from someone else is untrusted: its identity,
// version and schema are checked before anything else is read, with SQLite's work bounded,
// and a file holding anything that is not ours is refused, never run. Nothing is written
// until a change is made: opening, reading and closing leave the file's bytes as they were.

#include "CupContents.h"
#include "CupHome.h"
#include "CupLock.h"
#include "CupSetup.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmorin {

struct CupJournalEntry
{
    std::string at; // UTC, ISO 8601
    std::string what;
};

class CupStore;

struct CupOpening
{
    // Refused: not a cup, newer, damaged, missing, already there (create), held by another
    // program. WriteFailed: the system could not write the file.
    enum class Failure { None, Refused, Held, WriteFailed };

    std::unique_ptr<CupStore> store;
    Failure failure = Failure::None;
    std::string message;             // French, one sentence, when refused or failed
    std::optional<CupHolder> holder; // Held: who has it; it may still be opened read-only
    std::string notice;              // opened, but read-only for a reason the organiser must read

    bool ok() const { return store != nullptr; }
};

// A token that opens one group of one round to results entered from the lanes. The cup keeps
// its hash alone (CupTokens.h).
struct CupEntryToken
{
    std::string hash; // hexadecimal
    int round = 0;
    int group = 0;
    std::string madeAt; // UTC, ISO 8601
    std::optional<std::string> revokedAt;
};

// The cup's home in an SQLite file (CupHome).
class CupStore final : public CupHome
{
public:
    // Beside: writes without taking the lock, beside whichever program holds the cup (the
    // server's entries from the lanes while the organiser's window has it open); every write
    // is still refused when another program wrote since it was decided.
    enum class Mode { ReadWrite, ReadOnly, Beside };

    // Creates a new cup holding `setup`; refused when the file exists. The file appears whole
    // or not at all.
    static CupOpening create(const QString &path, const CupSetup &setup);
    // Opens an existing cup; a missing one is refused, never created. Asked for writing, a cup
    // on a network file system opens read-only, `notice` saying why.
    static CupOpening open(const QString &path, Mode mode);

    // Lets the cup go, writing nothing: the file is whole after every change.
    ~CupStore() override;
    CupStore(const CupStore &) = delete;
    CupStore &operator=(const CupStore &) = delete;

    const CupSetup &setup() const override { return m_setup; }
    QString path() const override { return m_path; }
    // The journal's last entry when the file was read or written: every change adds one.
    std::uint64_t version() const override { return m_version; }
    bool readOnly() const override { return m_mode == Mode::ReadOnly; }
    // One indexed row read.
    std::optional<std::uint64_t> storedVersion() override;
    bool reload() override;

    // One transaction each, with its journal line.
    CupWrite setName(const std::string &name) override;
    CupWrite setDate(const std::string &date) override;
    CupWrite setCount(CupCount which, std::int32_t value) override;
    CupWrite setRatioChoice(int group, int itemIndex) override;
    CupWrite setShownPlan(std::optional<int> classNumber,
                          std::optional<std::int32_t> position) override;
    CupWrite setWish(Quantity quantity, const Interval &interval) override;
    CupWrite setList(const ImportedList &list,
                     const std::vector<LevelRoundChoice> &levelRounds) override;
    CupWrite setLevelRound(const std::string &level, int round) override;
    CupWrite setSeed(std::uint64_t seed) override;
    CupWrite setLevelOrder(const std::vector<std::string> &levels) override;

    // Validated on opening: a file whose records do not make a cup with its settings is
    // refused as damaged.
    const CupRecords &records() const override { return m_records; }
    CupCreation cup() const override;
    // Writes only the rows that changed.
    using CupHome::saveRecords;
    CupWrite saveRecords(const CupRecords &records, const std::string &what,
                         std::uint64_t basedOn) override;
    // The records of `played`, a copy of cup() changed by its commands: a cup only ever holds
    // records its rules accepted, so they are written without the whole cup being replayed
    // to check them, when it still has the store's teams, plan and seed (else as saveRecords).
    CupWrite saveCup(const Cup &played, const std::string &what, std::uint64_t basedOn) override;

    // The journal's lines as changes.
    std::optional<std::vector<CupChange>> changesSince(std::uint64_t version) override;
    std::vector<CupJournalEntry> journal() const;

    // The entry tokens as the file holds them now, the oldest first (CupStoreTokens.cpp).
    std::vector<CupEntryToken> entryTokens() const;
    // One change each, journaled by the token's short name, never the token.
    CupWrite addEntryToken(const std::string &hash, int round, int group);
    CupWrite revokeEntryToken(const std::string &hash);

private:
    CupStore(QString path, QString file, Mode mode);

    CupWrite change(const std::string &what, const std::function<bool()> &apply,
                    const std::function<void()> &commitToSetup, bool inputsChange = true,
                    std::optional<std::uint64_t> basedOn = std::nullopt);
    // A change of what the cup is played from, refused once round 1 is drawn.
    CupWrite inputChange(const std::string &what, const std::function<bool()> &apply,
                         const std::function<void()> &commitToSetup);
    const CupInputsResult &inputs() const;
    // Why the records held make no cup, empty when they do (the cup then kept in m_cup).
    std::string cupRefusal() const;
    CupWrite writeRecords(const CupRecords &records, const std::string &what, std::uint64_t basedOn,
                          std::optional<Cup> checked);
    std::optional<std::string> restoreIfRemoved();
    std::string failureMessage() const;
    void closeConnection();

    QString m_path; // as the caller named it, for the messages
    QString m_file; // the file itself (canonical), for everything done to it
    Mode m_mode;
    QString m_connection;
    QSqlDatabase m_db;
    CupLock m_lock;
    CupSetup m_setup;
    CupRecords m_records;
    mutable std::optional<CupInputsResult> m_inputs; // made when first needed
    mutable std::optional<Cup> m_cup;                // what m_records make, once checked
    std::set<std::string> m_checkedTables; // found whole before this store first wrote them
    std::uint64_t m_version = 0;
    unsigned long long m_device = 0; // the file opened, to notice it removed or replaced
    unsigned long long m_inode = 0;
};

} // namespace velmorin
