// velmorin-serveur: serves a cup on the web, its results live and their entry from the lanes.

#include "ServerOptions.h"
#include "WebCup.h"
#include "WebServer.h"

#include "Version.h"

#include <QCoreApplication>

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

#include <clocale>
#include <csignal>
#include <iostream>

int main(int argc, char *argv[])
{
    std::setlocale(LC_ALL, "");
    // Qt SQL finds its SQLite driver through the application's plugin paths.
    QCoreApplication application(argc, argv);
    using namespace velmorin::web;

    const ServerOptions options = readServerOptions({argv + 1, argv + argc});
    if (options.help) {
        std::cout << serverHelp();
        return 0;
    }
    if (options.version) {
        std::cout << "velmorin-serveur " << VELMORIN_VERSION << '\n';
        return 0;
    }
    if (!options.error.empty()) {
        std::cerr << "velmorin-serveur: " << options.error << '\n';
        return 2;
    }
    std::string error;
    const std::unique_ptr<WebCup> cup = WebCup::open(options.cup, error);
    if (!cup) {
        std::cerr << "velmorin-serveur: " << error << '\n';
        return 2;
    }
    boost::asio::io_context io;
    try {
        WebServer server(io, *cup, options.address, options.port);
        boost::asio::signal_set stopping(io, SIGINT, SIGTERM);
        stopping.async_wait([&server](const boost::system::error_code &, int) { server.stop(); });
        std::cout << serverBanner(cup->name(), options.address, server.port()) << std::flush;
        if (!cup->readOnlyReason().empty())
            std::cerr << "velmorin-serveur: " << cup->readOnlyReason() << '\n';
        io.run();
    } catch (const std::runtime_error &failure) {
        std::cerr << "velmorin-serveur: " << failure.what() << '\n';
        return 2;
    }
    return 0;
}
