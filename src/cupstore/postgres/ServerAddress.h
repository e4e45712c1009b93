#pragma once

// Where a cup on a PostgreSQL server is: a libpq connection URI, then "#" and the cup's name
// as typed ("postgresql://organisateur@hôte:5432/base#Coupe du Rhône 2027"). Read in one
// place, without Qt, so that its fuzz target takes it. A password is never part of it: libpq
// finds it in ~/.pgpass, PGPASSWORD or a service file; TLS is what the address's sslmode says.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmorin {

// PostgreSQL keeps the first 63 bytes of a name (NAMEDATALEN - 1): a longer cup name would
// be cut and could meet another cup's.
constexpr std::size_t kServerCupNameBytes = 63;

struct ServerAddress
{
    std::string host;     // a machine, an address, or a socket's folder (starts with "/")
    std::string port;     // digits, or empty for libpq's default
    std::string database; // empty: libpq's default (the user's name)
    std::string user;     // empty: libpq's default
    std::vector<std::pair<std::string, std::string>> parameters; // ?sslmode=require&...
    std::string cup;
};

struct ServerAddressReading
{
    std::optional<ServerAddress> address;
    std::string error; // French, one sentence, when the text is not an address
};

// Whether a cup is named by a server's address rather than a file: it starts as a libpq URI.
bool isServerAddress(std::string_view text);

ServerAddressReading readServerAddress(std::string_view text);

// The address's parameters as libpq's "key='value'" words, quoted as libpq reads them.
std::string connectionParameters(const ServerAddress &address);

// The address as the organiser reads it in a message: without its parameters.
std::string shownAddress(const ServerAddress &address);

} // namespace velmorin
