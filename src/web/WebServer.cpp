#include "WebServer.h"

#include "WebCup.h"
#include "WebPages.h"
#include "WebRequest.h"

#include <QDateTime>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

namespace velmorin::web {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace {

std::string_view stdView(beast::string_view text)
{
    return {text.data(), text.size()};
}

LocalTime localNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
            now.time().minute()};
}

struct Reply
{
    Reply() = default;
    Reply(http::status status, std::string contentType, std::string body)
        : status(status), contentType(std::move(contentType)), body(std::move(body))
    {}

    http::status status = http::status::ok;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    bool close = false;
    std::optional<std::string> retryAfter;
    bool shared = false; // readable from other sites (the cup's JSON)
};

Reply error(http::status status, std::string_view title, std::string_view sentence)
{
    return {status, "text/html; charset=utf-8", errorPage(title, sentence)};
}

// What the Beast parser's failure means to the client: a header or a body too large.
std::optional<Reply> readRefusal(const beast::error_code &ec)
{
    if (ec == http::error::header_limit)
        return error(http::status::request_header_fields_too_large, "Demande trop longue",
                     "L'en-tête de la demande dépasse la taille admise.");
    if (ec == http::error::body_limit)
        return error(http::status::payload_too_large, "Demande trop longue",
                     "Le contenu envoyé dépasse la taille admise : rien n'est enregistré.");
    return std::nullopt;
}

class Session;

} // namespace

class WebServer::Impl : public std::enable_shared_from_this<WebServer::Impl>
{
public:
    Impl(net::io_context &io, WebCup &cup, ServerLimits limits)
        : io(io), cup(cup), limits(limits), acceptor(io), poll(io), heartbeat(io)
    {}

    void listen(const std::string &address, std::uint16_t port);
    void accept();
    void schedulePoll();
    void scheduleHeartbeat();
    void changed();
    // The content of a live view at the cup's version, made once for every client.
    const std::string &content(const std::string &view);
    bool takeEntry(const std::string &hash);
    // Results wait here for the write after the requests ready now: each write (durable, so
    // slow) takes every result that came in while the one before it was made.
    void queueEntry(std::shared_ptr<Session> session, WebCup::Entry entry);
    void flush();
    std::vector<std::pair<std::shared_ptr<Session>, WebCup::Entry>> batch;
    void stop();

    net::io_context &io;
    WebCup &cup;
    ServerLimits limits;
    tcp::acceptor acceptor;
    net::steady_timer poll;
    net::steady_timer heartbeat;
    std::size_t open = 0;
    bool stopped = false;
    std::vector<std::weak_ptr<Session>> sessions;
    std::map<std::string, std::pair<std::uint64_t, std::string>> contents;
    // What each live view's streams were last sent: the next change is told from it.
    std::map<std::string, std::string> shown;
    struct Bucket
    {
        double left = 0;
        Clock::time_point at;
    };
    std::map<std::string, Bucket> buckets;
};

namespace {

class Session : public std::enable_shared_from_this<Session>
{
public:
    Session(tcp::socket socket, std::shared_ptr<WebServer::Impl> server)
        : m_stream(std::move(socket)), m_server(std::move(server))
    {
        ++m_server->open;
    }
    ~Session() { --m_server->open; }

    void start() { readRequest(); }
    bool streaming() const { return m_streaming; }
    const std::string &view() const { return m_view; }

    // A live event, and the whole content it stands for: a client behind by more than a few
    // events gets the whole content alone instead of them all.
    void push(std::shared_ptr<const std::string> event, std::shared_ptr<const std::string> whole)
    {
        if (!m_writing) {
            writeEvent(std::move(event));
        } else if (event == whole) {
            m_pending = {std::move(whole)};
        } else if (m_pending.size() < kPendingEvents) {
            m_pending.push_back(std::move(event));
        } else if (whole) {
            m_pending = {std::move(whole)};
        }
    }
    // A comment that keeps the stream open, when nothing else is on its way.
    void beat(const std::shared_ptr<const std::string> &comment)
    {
        if (!m_writing)
            writeEvent(comment);
    }

    void close()
    {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        m_stream.close();
    }

private:
    void readRequest()
    {
        m_parser.emplace();
        m_parser->header_limit(static_cast<std::uint32_t>(m_server->limits.headerBytes));
        m_parser->body_limit(m_server->limits.bodyBytes);
        m_stream.expires_after(m_server->limits.requestTime);
        http::async_read(m_stream, m_buffer, *m_parser,
                         [self = shared_from_this()](beast::error_code ec, std::size_t) {
                             self->onRead(ec);
                         });
    }

    void onRead(beast::error_code ec)
    {
        if (ec) {
            if (std::optional<Reply> refusal = readRefusal(ec)) {
                refusal->close = true;
                send(std::move(*refusal), false);
            } else if (ec != http::error::end_of_stream && ec != beast::error::timeout &&
                       ec != net::error::operation_aborted && m_parser->got_some()) {
                Reply bad = error(http::status::bad_request, "Demande illisible",
                                  "Cette demande n'est pas une demande HTTP valable.");
                bad.close = true;
                send(std::move(bad), false);
            } else {
                close();
            }
            return;
        }
        http::request<http::string_body> request = m_parser->release();
        const bool keepAlive = request.keep_alive();
        Reply reply = handle(request);
        if (!m_streaming && !m_deferred)
            send(std::move(reply), keepAlive && !reply.close);
    }

    Reply handle(const http::request<http::string_body> &request);
    Reply entry(const http::request<http::string_body> &request, const Route &route);
    void startStream(const std::string &view);

public:
    void answerEntry(const EntryAnswer &answer);

private:
    // An entry waiting for its batch's write: what its answer's page needs.
    struct Deferred
    {
        std::string token;
        int round = 0;
        int group = 0;
        bool keepAlive = false;
    };
    std::optional<Deferred> m_deferred;

    void send(Reply reply, bool keepAlive)
    {
        auto response = std::make_shared<http::response<http::string_body>>(reply.status, 11);
        response->set(http::field::content_type, reply.contentType);
        response->set("Content-Security-Policy", contentSecurityPolicy());
        response->set("X-Content-Type-Options", "nosniff");
        response->set("X-Frame-Options", "DENY");
        response->set("Referrer-Policy", "same-origin");
        response->set(http::field::cache_control, "no-store");
        if (reply.retryAfter)
            response->set(http::field::retry_after, *reply.retryAfter);
        if (reply.shared)
            response->set("Access-Control-Allow-Origin", "*");
        if (reply.status == http::status::method_not_allowed)
            response->set(http::field::allow, "GET, POST");
        response->body() = std::move(reply.body);
        response->keep_alive(keepAlive);
        response->prepare_payload();
        m_stream.expires_after(m_server->limits.writeTime);
        http::async_write(m_stream, *response,
                          [self = shared_from_this(), response, keepAlive](beast::error_code ec,
                                                                           std::size_t) {
                              if (ec || !keepAlive)
                                  self->close();
                              else
                                  self->readRequest();
                          });
    }

    void writeEvent(std::shared_ptr<const std::string> event)
    {
        m_writing = true;
        m_stream.expires_after(m_server->limits.writeTime);
        net::async_write(m_stream, net::buffer(*event),
                         [self = shared_from_this(), event](beast::error_code ec, std::size_t) {
                             self->m_writing = false;
                             if (ec) {
                                 self->close();
                                 return;
                             }
                             self->m_stream.expires_never();
                             if (!self->m_pending.empty()) {
                                 auto next = std::move(self->m_pending.front());
                                 self->m_pending.pop_front();
                                 self->writeEvent(std::move(next));
                             }
                         });
    }

    // A live client sends nothing more: whatever comes, or its leaving, ends the stream.
    void watchClosing()
    {
        m_stream.async_read_some(net::buffer(m_sink),
                                 [self = shared_from_this()](beast::error_code, std::size_t) {
                                     self->close();
                                 });
    }

    beast::tcp_stream m_stream;
    std::shared_ptr<WebServer::Impl> m_server;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    bool m_streaming = false;
    bool m_writing = false;
    std::string m_view;
    static constexpr std::size_t kPendingEvents = 8;
    std::deque<std::shared_ptr<const std::string>> m_pending;
    std::array<char, 64> m_sink{};
};

Reply Session::handle(const http::request<http::string_body> &request)
{
    const Route route = routeOf(stdView(request.target()));
    if (route.page == Route::Page::Unknown)
        return error(http::status::not_found, "Page introuvable",
                     "Cette adresse ne mène à aucune page de la coupe.");
    if (request.method() == http::verb::post) {
        if (route.page != Route::Page::Entry)
            return error(http::status::method_not_allowed, "Demande refusée",
                         "Cette page se consulte seulement.");
        return entry(request, route);
    }
    if (request.method() != http::verb::get)
        return error(http::status::method_not_allowed, "Demande refusée",
                     "Cette demande n'est pas admise ici.");
    WebCup &cup = m_server->cup;
    switch (route.page) {
    case Route::Page::Results:
        return {http::status::ok, "text/html; charset=utf-8",
                livePage(cup.cup(), cup.name(), "", localNow())};
    case Route::Page::Round:
        return {http::status::ok, "text/html; charset=utf-8",
                livePage(cup.cup(), cup.name(), "tour-" + std::to_string(route.round),
                         localNow())};
    case Route::Page::Screen:
        return {http::status::ok, "text/html; charset=utf-8",
                livePage(cup.cup(), cup.name(), "ecran", localNow())};
    case Route::Page::Json: {
        Reply reply{http::status::ok, "application/json; charset=utf-8",
                    cupJson(cup.cup(), cup.name(), cup.version())};
        reply.shared = true;
        return reply;
    }
    case Route::Page::Events:
        startStream(route.view);
        return {};
    case Route::Page::Entry:
        return entry(request, route);
    case Route::Page::Unknown:
        break;
    }
    return error(http::status::not_found, "Page introuvable",
                 "Cette adresse ne mène à aucune page de la coupe.");
}

Reply Session::entry(const http::request<http::string_body> &request, const Route &route)
{
    WebCup &cup = m_server->cup;
    const bool post = request.method() == http::verb::post;
    if (post && !sameOrigin(stdView(request[http::field::host]),
                            stdView(request[http::field::origin]),
                            stdView(request[http::field::referer])))
        return error(http::status::forbidden, "Demande refusée",
                     "Cette demande ne vient pas d'une page de ce serveur : rien n'est "
                     "enregistré.");
    const std::optional<CupEntryToken> token = cup.token(route.token);
    if (!token)
        return error(http::status::forbidden, "Jeton inconnu",
                     "Ce jeton de saisie n'existe pas ou a été révoqué : demandez une nouvelle "
                     "feuille à l'organisateur.");
    const auto page = [&](http::status status, const std::string &notice, bool refused) {
        return Reply{status, "text/html; charset=utf-8",
                     entryPage(cup.cup(), cup.name(), route.token, token->round, token->group,
                               notice, refused)};
    };
    if (!post)
        return page(http::status::ok, cup.readOnlyReason(), !cup.readOnlyReason().empty());
    const std::string_view type = stdView(request[http::field::content_type]);
    if (type.substr(0, 33) != "application/x-www-form-urlencoded")
        return error(http::status::unsupported_media_type, "Demande refusée",
                     "Le formulaire n'est pas envoyé comme une page l'envoie : rien n'est "
                     "enregistré.");
    if (!m_server->takeEntry(token->hash)) {
        Reply reply = page(http::status::too_many_requests,
                           "Trop de résultats envoyés avec ce jeton en peu de temps : rien "
                           "n'est enregistré ; attendez un instant et renvoyez.",
                           true);
        reply.retryAfter = "1";
        return reply;
    }
    const EntryFormReading reading = readEntryForm(request.body());
    if (!reading.form)
        return page(http::status::bad_request, reading.refusal, true);
    // Answered once written, with the results that came in meanwhile (Impl::flush).
    m_deferred = Deferred{route.token, token->round, token->group, request.keep_alive()};
    m_server->queueEntry(shared_from_this(), {*token, *reading.form});
    return {};
}

void Session::answerEntry(const EntryAnswer &answer)
{
    const Deferred deferred = *std::exchange(m_deferred, std::nullopt);
    WebCup &cup = m_server->cup;
    send({static_cast<http::status>(answer.status), "text/html; charset=utf-8",
          entryPage(cup.cup(), cup.name(), deferred.token, deferred.round, deferred.group,
                    answer.recorded ? "Enregistré : " + answer.sentence : answer.sentence,
                    !answer.recorded)},
         deferred.keepAlive);
}

void Session::startStream(const std::string &view)
{
    m_streaming = true;
    m_view = view;
    const std::string head = "HTTP/1.1 200 OK\r\n"
                             "Content-Type: text/event-stream; charset=utf-8\r\n"
                             "Cache-Control: no-store\r\n"
                             "X-Content-Type-Options: nosniff\r\n"
                             "Connection: keep-alive\r\n\r\n"
                             "retry: 1000\n\n";
    m_stream.expires_never();
    writeEvent(std::make_shared<const std::string>(head));
    // The page may have been made before the latest change: the stream starts with it.
    const auto whole = std::make_shared<const std::string>(
        liveEvent(m_server->cup.version(), m_server->content(view)));
    push(whole, whole);
    watchClosing();
}

} // namespace

void WebServer::Impl::listen(const std::string &address, std::uint16_t port)
{
    beast::error_code ec;
    const net::ip::address ip = net::ip::make_address(address, ec);
    if (ec)
        throw std::runtime_error("L'adresse d'écoute « " + address +
                                 " » n'est pas une adresse IP.");
    const tcp::endpoint endpoint(ip, port);
    acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        acceptor.set_option(net::socket_base::reuse_address(true), ec);
    if (!ec)
        acceptor.bind(endpoint, ec);
    if (!ec)
        acceptor.listen(net::socket_base::max_listen_connections, ec);
    if (ec)
        throw std::runtime_error("Le serveur ne peut pas écouter sur " + address + ", port " +
                                 std::to_string(port) + " : " + ec.message() + ".");
}

void WebServer::Impl::accept()
{
    acceptor.async_accept([self = shared_from_this()](beast::error_code ec, tcp::socket socket) {
        if (self->stopped)
            return;
        if (!ec) {
            if (self->open >= self->limits.connections) {
                beast::error_code ignored;
                socket.close(ignored);
            } else {
                auto session = std::make_shared<Session>(std::move(socket), self);
                self->sessions.push_back(session);
                session->start();
            }
        }
        self->accept();
    });
}

void WebServer::Impl::schedulePoll()
{
    poll.expires_after(limits.poll);
    poll.async_wait([self = shared_from_this()](beast::error_code ec) {
        if (ec || self->stopped)
            return;
        if (self->cup.follow())
            self->changed();
        self->sessions.erase(std::remove_if(self->sessions.begin(), self->sessions.end(),
                                            [](const std::weak_ptr<Session> &s) {
                                                return s.expired();
                                            }),
                             self->sessions.end());
        self->schedulePoll();
    });
}

void WebServer::Impl::scheduleHeartbeat()
{
    heartbeat.expires_after(limits.heartbeat);
    heartbeat.async_wait([self = shared_from_this()](beast::error_code ec) {
        if (ec || self->stopped)
            return;
        const auto beat = std::make_shared<const std::string>(":\n\n");
        for (const auto &weak : self->sessions) {
            if (auto session = weak.lock(); session && session->streaming())
                session->beat(beat);
        }
        self->scheduleHeartbeat();
    });
}

const std::string &WebServer::Impl::content(const std::string &view)
{
    auto &[version, text] = contents[view];
    if (text.empty() || version != cup.version()) {
        version = cup.version();
        text = liveContent(cup.cup(), view, localNow());
    }
    return text;
}

void WebServer::Impl::changed()
{
    struct Events
    {
        std::shared_ptr<const std::string> change;
        std::shared_ptr<const std::string> whole;
    };
    std::map<std::string, Events> events;
    for (const auto &weak : sessions) {
        auto session = weak.lock();
        if (!session || !session->streaming())
            continue;
        Events &view = events[session->view()];
        if (!view.whole) {
            std::string &before = shown[session->view()];
            const std::string &after = content(session->view());
            view.whole = std::make_shared<const std::string>(liveEvent(cup.version(), after));
            view.change = before.empty() ? view.whole
                                         : std::make_shared<const std::string>(
                                               liveChange(cup.version(), before, after));
            before = after;
        }
        session->push(view.change, view.whole);
    }
}

void WebServer::Impl::queueEntry(std::shared_ptr<Session> session, WebCup::Entry entry)
{
    if (batch.empty())
        net::post(io, [self = shared_from_this()] { self->flush(); });
    batch.emplace_back(std::move(session), std::move(entry));
}

void WebServer::Impl::flush()
{
    const auto waiting = std::exchange(batch, {});
    std::vector<WebCup::Entry> entries;
    for (const auto &[session, entry] : waiting)
        entries.push_back(entry);
    const std::vector<EntryAnswer> answers = cup.enter(entries);
    if (std::any_of(answers.begin(), answers.end(),
                    [](const EntryAnswer &answer) { return answer.recorded; }))
        changed();
    for (std::size_t k = 0; k < waiting.size(); ++k)
        waiting[k].first->answerEntry(answers[k]);
}

bool WebServer::Impl::takeEntry(const std::string &hash)
{
    const Clock::time_point now = Clock::now();
    auto [found, added] = buckets.try_emplace(hash, Bucket{limits.tokenBurst, now});
    Bucket &bucket = found->second;
    const double seconds = std::chrono::duration<double>(now - bucket.at).count();
    bucket.left = std::min(limits.tokenBurst, bucket.left + seconds * limits.tokenPerSecond);
    bucket.at = now;
    if (bucket.left < 1)
        return false;
    bucket.left -= 1;
    return true;
}

void WebServer::Impl::stop()
{
    if (stopped)
        return;
    stopped = true;
    beast::error_code ignored;
    acceptor.close(ignored);
    poll.cancel();
    heartbeat.cancel();
    for (const auto &weak : sessions) {
        if (auto session = weak.lock())
            session->close();
    }
}

WebServer::WebServer(net::io_context &io, WebCup &cup, const std::string &address,
                     std::uint16_t port, ServerLimits limits)
    : m_impl(std::make_shared<Impl>(io, cup, limits))
{
    m_impl->listen(address, port);
    m_impl->accept();
    m_impl->schedulePoll();
    m_impl->scheduleHeartbeat();
}

WebServer::~WebServer()
{
    m_impl->stop();
}

std::uint16_t WebServer::port() const
{
    return m_impl->acceptor.local_endpoint().port();
}

void WebServer::stop()
{
    m_impl->stop();
}

} // namespace velmorin::web
