#include "ServerAddress.h"

#include "IntText.h"

#include <algorithm>
#include <array>

namespace velmorin {

namespace {

constexpr std::array<std::string_view, 2> kSchemes{"postgresql://", "postgres://"};

std::string quoted(std::string_view text)
{
    return "« " + std::string(text) + " »";
}

// A C0 or C1 control, or DEL, in well-formed UTF-8: what could drive a terminal or hide in
// a name.
bool hasControl(std::string_view text)
{
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        if (c < 0x20 || c == 0x7f ||
            (c == 0xc2 && k + 1 < text.size() && static_cast<unsigned char>(text[k + 1]) < 0xa0))
            return true;
    }
    return false;
}

// Well-formed UTF-8: PostgreSQL refuses anything else, and a message could not show it.
bool isUtf8(std::string_view text)
{
    for (std::size_t k = 0; k < text.size();) {
        const auto c = static_cast<unsigned char>(text[k]);
        std::size_t length = 1;
        unsigned min = 0;
        unsigned code = c;
        if (c >= 0xf0 && c <= 0xf4) {
            length = 4, min = 0x10000, code = c & 0x07u;
        } else if (c >= 0xe0) {
            length = 3, min = 0x800, code = c & 0x0fu;
        } else if (c >= 0xc2 && c <= 0xdf) {
            length = 2, min = 0x80, code = c & 0x1fu;
        } else if (c >= 0x80) {
            return false;
        }
        if (length > 1) {
            if (c > 0xf4 || k + length > text.size())
                return false;
            for (std::size_t j = 1; j < length; ++j) {
                const auto next = static_cast<unsigned char>(text[k + j]);
                if ((next & 0xc0u) != 0x80u)
                    return false;
                code = (code << 6) | (next & 0x3fu);
            }
            if (code < min || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
                return false;
        }
        k += length;
    }
    return true;
}

// %XY as its byte; none for a broken escape or a decoded NUL, which no libpq value holds.
std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '%') {
            decoded += text[k];
            continue;
        }
        if (k + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text[k + 1]);
        const int low = hexDigit(text[k + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        k += 2;
    }
    return decoded;
}

std::string notAnAddress(std::string_view why)
{
    return "L'adresse de la coupe n'est pas lisible : " + std::string(why) + ".";
}

bool isKey(std::string_view key)
{
    return !key.empty() && std::all_of(key.begin(), key.end(),
                                       [](char c) { return (c >= 'a' && c <= 'z') || c == '_'; });
}

} // namespace

bool isServerAddress(std::string_view text)
{
    return std::any_of(kSchemes.begin(), kSchemes.end(), [text](std::string_view scheme) {
        return text.substr(0, scheme.size()) == scheme;
    });
}

ServerAddressReading readServerAddress(std::string_view text)
{
    const auto refused = [](std::string sentence) {
        return ServerAddressReading{std::nullopt, std::move(sentence)};
    };
    if (!isServerAddress(text))
        return refused(notAnAddress("elle commence par postgresql://"));
    if (!isUtf8(text))
        return refused(notAnAddress("elle n'est pas du texte UTF-8"));
    if (hasControl(text))
        return refused(notAnAddress("elle contient un caractère de contrôle"));
    const std::size_t hash = text.find('#');
    if (hash == std::string_view::npos)
        return refused("L'adresse d'une coupe sur un serveur se termine par # et le nom de la "
                       "coupe.");

    ServerAddress address;
    address.cup = std::string(text.substr(hash + 1));
    if (address.cup.empty())
        return refused("L'adresse d'une coupe sur un serveur se termine par # et le nom de la "
                       "coupe.");
    if (address.cup.size() > kServerCupNameBytes)
        return refused("Le nom d'une coupe sur un serveur tient en " +
                       std::to_string(kServerCupNameBytes) + " octets : " + quoted(address.cup) +
                       " en a " + std::to_string(address.cup.size()) + ".");

    std::string_view uri = text.substr(0, hash);
    uri.remove_prefix(uri.find("://") + 3);
    const std::size_t query = uri.find('?');
    std::string_view parameters =
        query == std::string_view::npos ? std::string_view() : uri.substr(query + 1);
    uri = uri.substr(0, query);
    const std::size_t slash = uri.find('/');
    std::string_view authority = uri.substr(0, slash);
    if (slash != std::string_view::npos) {
        const auto database = percentDecoded(uri.substr(slash + 1));
        if (!database)
            return refused(notAnAddress("le nom de la base est mal écrit"));
        address.database = *database;
    }

    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        if (user.find(':') != std::string_view::npos)
            return refused("Le mot de passe ne se donne pas dans l'adresse : libpq le lit dans "
                           "~/.pgpass, PGPASSWORD ou un fichier de service.");
        const auto decoded = percentDecoded(user);
        if (!decoded)
            return refused(notAnAddress("le nom de l'utilisateur est mal écrit"));
        address.user = *decoded;
        authority.remove_prefix(at + 1);
    }
    if (authority.find(',') != std::string_view::npos)
        return refused(notAnAddress("elle nomme un seul serveur"));
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return refused(notAnAddress("une adresse IPv6 se ferme par ]"));
        address.host = std::string(authority.substr(1, close - 1));
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && after.front() != ':')
            return refused(notAnAddress("le port suit le serveur après deux-points"));
        port = after.empty() ? after : after.substr(1);
    } else {
        const std::size_t colon = authority.find(':');
        const auto host = percentDecoded(authority.substr(0, colon));
        if (!host)
            return refused(notAnAddress("le nom du serveur est mal écrit"));
        address.host = *host;
        if (colon != std::string_view::npos)
            port = authority.substr(colon + 1);
    }
    if (!port.empty()) {
        const bool digits = port.size() <= 5 && std::all_of(port.begin(), port.end(), [](char c) {
                                return c >= '0' && c <= '9';
                            });
        if (!digits || std::stol(std::string(port)) < 1 || std::stol(std::string(port)) > 65535)
            return refused(notAnAddress("le port est un nombre de 1 à 65535"));
        address.port = std::string(port);
    }

    while (!parameters.empty()) {
        const std::size_t amp = parameters.find('&');
        const std::string_view pair = parameters.substr(0, amp);
        parameters =
            amp == std::string_view::npos ? std::string_view() : parameters.substr(amp + 1);
        if (pair.empty())
            continue;
        const std::size_t equals = pair.find('=');
        const auto key = percentDecoded(pair.substr(0, equals));
        const auto value = equals == std::string_view::npos
                               ? std::optional<std::string>()
                               : percentDecoded(pair.substr(equals + 1));
        if (!key || !value || !isKey(*key))
            return refused(notAnAddress("ses paramètres s'écrivent nom=valeur"));
        if (*key == "password")
            return refused("Le mot de passe ne se donne pas dans l'adresse : libpq le lit dans "
                           "~/.pgpass, PGPASSWORD ou un fichier de service.");
        // Qt's driver reads a semicolon as a separator, whatever the quoting.
        if (value->find(';') != std::string::npos)
            return refused(
                notAnAddress("le paramètre " + quoted(*key) + " contient un point-virgule"));
        address.parameters.emplace_back(*key, *value);
    }
    // What the escapes decode to is held to the same rules as the text itself.
    std::vector<const std::string *> decoded{&address.host, &address.database, &address.user};
    for (const auto &parameter : address.parameters)
        decoded.push_back(&parameter.second);
    for (const std::string *part : decoded) {
        if (!isUtf8(*part))
            return refused(notAnAddress("elle n'est pas du texte UTF-8"));
        if (hasControl(*part))
            return refused(notAnAddress("elle contient un caractère de contrôle"));
    }
    return {std::move(address), {}};
}

std::string connectionParameters(const ServerAddress &address)
{
    std::string words;
    for (const auto &[key, value] : address.parameters) {
        if (!words.empty())
            words += ' ';
        words += key + "='";
        for (char c : value) {
            if (c == '\'' || c == '\\')
                words += '\\';
            words += c;
        }
        words += '\'';
    }
    return words;
}

std::string shownAddress(const ServerAddress &address)
{
    std::string shown = "postgresql://";
    if (!address.user.empty())
        shown += address.user + '@';
    shown += address.host.find(':') != std::string::npos ? '[' + address.host + ']' : address.host;
    if (!address.port.empty())
        shown += ':' + address.port;
    shown += '/' + address.database + '#' + address.cup;
    return shown;
}

} // namespace velmorin
