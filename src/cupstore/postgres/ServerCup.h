#pragma once

// A cup on a PostgreSQL server. Several cups share one database: each is a schema of its own,
// named after the cup as typed, holding the same tables as the cup file (made by the same
// statements) and the server's own: the venues ("salles"), each bound to a PostgreSQL role,
// and the drawn groups each venue plays. The organiser's role, which publishes the cup, owns
// it and may do everything; the server itself (grants and row-level security) lets a venue's
// role record, correct and withdraw only in its own groups, and nothing else: no draw, no
// cancel, no change to the list, the plan or the venues, whatever program it connects with.

#include "CupStore.h"
#include "ServerAddress.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmorin {

// One connection to the server an address names (Qt's QPSQL driver, libpq underneath),
// removed with the object.
class ServerConnection
{
public:
    // None, with `error` (French, one sentence), when the driver is missing or the server
    // refuses.
    static std::unique_ptr<ServerConnection> open(const ServerAddress &address, std::string &error);
    ~ServerConnection();
    ServerConnection(const ServerConnection &) = delete;
    ServerConnection &operator=(const ServerConnection &) = delete;

    QSqlDatabase &db() { return m_db; }
    const ServerAddress &address() const { return m_address; }

private:
    ServerConnection(ServerAddress address, QString name);

    ServerAddress m_address;
    QString m_name;
    QSqlDatabase m_db;
};

// A change's answer. Refused: nothing changed, for a reason the organiser can act on (no such
// cup, the role's rights); Failed: the server could not do it (gone, out of room).
struct ServerAnswer
{
    enum class Outcome { Done, Refused, Failed };
    Outcome outcome = Outcome::Done;
    std::string message; // French, one sentence, when not done

    bool done() const { return outcome == Outcome::Done; }
};

// A cup whole, as it goes from one home to the other.
struct CupCopy
{
    CupSetup setup;
    CupRecords records;
    std::vector<CupJournalEntry> journal;
};

// The cup's name as an SQL identifier, quoted ("" inside doubled).
QString cupSchemaIdentifier(const std::string &cup);

// Makes the cup `address.cup()` on the server from `copy`: its schema, tables, rules and rows,
// all or nothing. Refused when a cup of that name is already there.
ServerAnswer publishCup(ServerConnection &server, const CupCopy &copy);

// The cup as the server holds it, read in one snapshot; none with `error` when there is no
// such cup, it is newer than this program, or it does not make a cup.
std::optional<CupCopy> readServerCup(ServerConnection &server, std::string &error);

// Adds a venue bound to an existing role, with what the role may then do (organiser only).
ServerAnswer addVenue(ServerConnection &server, const std::string &venue, const std::string &role);

// The venue that plays group `pool` of round `round` (drawn), in place of any other.
ServerAnswer assignGroup(ServerConnection &server, int round, int pool, const std::string &venue);

} // namespace velmorin
