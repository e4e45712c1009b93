#pragma once

// velmorin-serveur's command line: the cup, the port, the address it listens on.

#include <cstdint>
#include <string>
#include <vector>

namespace velmorin::web {

struct ServerOptions
{
    std::string cup;
    std::uint16_t port = 8080;
    // The computer alone by default; the hall's network only when the organiser says so.
    std::string address = "127.0.0.1";
    bool help = false;
    bool version = false;
    std::string error; // French, one sentence
};

ServerOptions readServerOptions(const std::vector<std::string> &args);
std::string serverHelp();
// The line saying where the cup is served.
std::string serverBanner(const std::string &cupName, const std::string &address,
                         std::uint16_t port);

} // namespace velmorin::web
