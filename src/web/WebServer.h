#pragma once

// The cup's server: its pages, its live events and the results entered from the lanes, over
// HTTP/1.1 (Boost.Beast, one thread, asynchronous: a connection costs a few kilobytes, not a
// thread, so that hundreds of phones follow the live page). Every request is bounded: its
// header, its body, the time it takes to arrive, the connections open, and each token's
// results a second.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace boost::asio {
class io_context;
}

namespace velmorin::web {

class WebCup;

struct ServerLimits
{
    std::size_t headerBytes = 8 * 1024;
    std::size_t bodyBytes = 4 * 1024;
    // A request must arrive whole within this time, and a connection waiting for its next
    // request is closed after it: a slow client cannot hold the server.
    std::chrono::milliseconds requestTime{10000};
    // An event a client does not take within this time closes its connection.
    std::chrono::milliseconds writeTime{30000};
    std::size_t connections = 2000;
    // Each token's results: a burst, then so many a second.
    double tokenBurst = 10;
    double tokenPerSecond = 5;
    // How often the cup's file is looked at for another program's change.
    std::chrono::milliseconds poll{200};
    // A comment on each live stream, so that a client gone away is noticed.
    std::chrono::milliseconds heartbeat{15000};
};

class WebServer
{
public:
    // Listens at once on `address`:`port` (0: a free port); throws std::runtime_error with a
    // French sentence when it cannot.
    WebServer(boost::asio::io_context &io, WebCup &cup, const std::string &address,
              std::uint16_t port, ServerLimits limits = {});
    ~WebServer();
    WebServer(const WebServer &) = delete;
    WebServer &operator=(const WebServer &) = delete;

    std::uint16_t port() const;
    // Stops listening and closes every connection; the io_context's run() then returns.
    void stop();

    class Impl;

private:
    std::shared_ptr<Impl> m_impl;
};

} // namespace velmorin::web
