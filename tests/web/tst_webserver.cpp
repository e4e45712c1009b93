// The cup's server end to end: a cup made and drawn by the calculator, tokens given by it,
// the server on an ephemeral port of 127.0.0.1, requests as a phone or an attacker sends them,
// and the cup read back by the calculator.

#include "CupCalcRun.h"
#include "CupStore.h"
#include "CupTokens.h"
#include "WebCup.h"
#include "WebEntry.h"
#include "WebPages.h"
#include "WebServer.h"

#include <QJsonArray>
#include <QProcess>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>

#include <future>
#include <thread>

using namespace velmorin;
using namespace velmorin::web;
using velmorin::testing::runCup;

namespace {

// The server in a thread of its own, which opens the cup (a store is used by its thread).
class ServerThread
{
public:
    ServerThread(const QString &path, ServerLimits limits = {})
    {
        std::promise<std::uint16_t> started;
        std::future<std::uint16_t> port = started.get_future();
        m_thread = std::thread([this, path, limits, &started] {
            std::string error;
            const std::unique_ptr<WebCup> cup = WebCup::open(path.toStdString(), error);
            if (!cup) {
                started.set_value(0);
                return;
            }
            WebServer server(m_io, *cup, "127.0.0.1", 0, limits);
            m_server = &server;
            started.set_value(server.port());
            m_io.run();
            m_server = nullptr;
        });
        m_port = port.get();
    }
    ~ServerThread()
    {
        boost::asio::post(m_io, [this] {
            if (m_server)
                m_server->stop();
            m_io.stop();
        });
        m_thread.join();
    }
    std::uint16_t port() const { return m_port; }

private:
    boost::asio::io_context m_io;
    WebServer *m_server = nullptr;
    std::thread m_thread;
    std::uint16_t m_port = 0;
};

struct Answer
{
    int status = 0;
    QByteArray head;
    QByteArray body;
};

// One request, its answer read until the server closes.
Answer exchange(std::uint16_t port, const QByteArray &raw, int waitMs = 5000)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(waitMs))
        return {};
    socket.write(raw);
    socket.waitForBytesWritten(waitMs);
    QByteArray all;
    QElapsedTimer timer;
    timer.start();
    while (socket.state() == QAbstractSocket::ConnectedState && timer.elapsed() < waitMs) {
        if (socket.waitForReadyRead(100))
            all += socket.readAll();
    }
    all += socket.readAll();
    Answer answer;
    const qsizetype split = all.indexOf("\r\n\r\n");
    answer.head = all.left(split);
    answer.body = split < 0 ? QByteArray() : all.mid(split + 4);
    const QList<QByteArray> first = answer.head.left(answer.head.indexOf("\r\n")).split(' ');
    answer.status = first.size() > 1 ? first[1].toInt() : 0;
    return answer;
}

QByteArray get(std::uint16_t port, const QByteArray &path)
{
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
           "\r\nConnection: close\r\n\r\n";
}

QByteArray post(std::uint16_t port, const QByteArray &path, const QByteArray &body,
                const QByteArray &headers)
{
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
           "\r\nConnection: close\r\n" + headers + "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray tokenOf(const testing::CalcRun &run)
{
    return QByteArray::fromStdString(run.out).trimmed().mid(8); // after "/saisie/"
}

// A cup of the sample list, round 1 drawn.
QString drawnCup(const QTemporaryDir &dir, const QString &list = VELMORIN_SAMPLE_LIST)
{
    const QString path = dir.filePath(QStringLiteral("coupe.velmorin"));
    const auto made = runCup({"--coupe", path, "--nouvelle", "Coupe d'essai", "--equipes", list,
                              "--graine", "7", "6", "44", "3", "3"});
    if (made.status != 0)
        qWarning() << made.err.c_str();
    runCup({"--coupe", path, "--tirage", "1"});
    return path;
}

Cup cupAt(const QString &path)
{
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadOnly);
    return *opened.store->cup().cup;
}

std::string contentAt(const QString &path, const std::string &view)
{
    const Cup cup = cupAt(path);
    return liveContent(&cup, view, {2026, 12, 8, 9, 0});
}

// The calculator enters the pending game `game` of group `group` of round 1, its first team
// winning.
void enterWithCalculator(const QString &path, int group, int game)
{
    const Cup cup = cupAt(path);
    const auto sides = *cup.gameTeams({1, group, game});
    const auto run = runCup({"--coupe", path, "--gagnant", "1",
                             "#" + QString::number(sides.first + 1), "--score", "13-2"});
    QCOMPARE(run.status, 0);
}

} // namespace

class TestWebServer : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void pages_data();
    void pages();
    void slowClientsDoNotHoldTheServer();
    void namesAreEscaped();
    void liveEventsFollowEveryWriter();
    void tokensAreRateLimited();
    void liveChangesCarryTheRowsThatChanged();
    void killedServerKeepsWhatItAnswered();
    void resultsThatComeTogetherAreWrittenOnce();
};

void TestWebServer::entries_data()
{
    QTest::addColumn<QByteArray>("token");   // own, other (group 2), revoked, wrong
    QTest::addColumn<QByteArray>("headers"); // %H: the server's origin
    QTest::addColumn<QByteArray>("body");    // %V version, %S group state, %A team A, %X other
    QTest::addColumn<int>("meanwhile");      // 0, or the group the calculator enters first
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    const QByteArray form = "Content-Type: application/x-www-form-urlencoded\r\n";
    const QByteArray origin = form + "Origin: %H\r\n";
    const QByteArray good = "partie=1-1-2&version=%V&etat=%S&gagnant=%A&score=13-7";
    QTest::newRow("recorded") << QByteArray("own") << origin << good << 0 << 200
                              << "Enregistré : ";
    QTest::newRow("by referer") << QByteArray("own") << form + "Referer: %H/saisie/x\r\n" << good
                                << 0 << 200 << "Enregistré : ";
    QTest::newRow("other group changed") << QByteArray("own") << origin << good << 2 << 200
                                         << "Enregistré : ";
    QTest::newRow("stale") << QByteArray("own") << origin << good << 1 << 409
                           << "La poule a changé depuis l&#39;affichage de la page";
    QTest::newRow("no origin") << QByteArray("own") << form << good << 0 << 403
                               << "ne vient pas d&#39;une page de ce serveur";
    QTest::newRow("other origin") << QByteArray("own") << form + "Origin: http://evil.example\r\n"
                                  << good << 0 << 403 << "ne vient pas";
    QTest::newRow("wrong token") << QByteArray("wrong") << origin << good << 0 << 403
                                 << "Jeton inconnu";
    QTest::newRow("revoked token") << QByteArray("revoked") << origin << good << 0 << 403
                                   << "a été révoqué";
    QTest::newRow("other group's token") << QByteArray("other") << origin << good << 0 << 403
                                         << "que les résultats de la poule 2 du tour 1";
    QTest::newRow("team not in game") << QByteArray("own") << origin
                                      << QByteArray("partie=1-1-2&version=%V&etat=%S&gagnant=%X")
                                      << 0 << 422 << "ne joue pas cette partie";
    QTest::newRow("bad score") << QByteArray("own") << origin
                               << QByteArray("partie=1-1-2&version=%V&etat=%S&gagnant=%A"
                                             "&score=7-13")
                               << 0 << 422 << "score";
    QTest::newRow("no winner") << QByteArray("own") << origin
                               << QByteArray("partie=1-1-2&version=%V&etat=%S") << 0 << 400
                               << "Choisissez l&#39;équipe gagnante";
    QTest::newRow("not a form") << QByteArray("own") << QByteArray("Origin: %H\r\nContent-Type: text/plain\r\n")
                                << good << 0 << 415 << "rien n&#39;est enregistré";
    QTest::newRow("body too large") << QByteArray("own") << origin << good + "&x=" +
                                           QByteArray(5000, 'a')
                                    << 0 << 413 << "dépasse la taille admise";
    QTest::newRow("header too large") << QByteArray("own")
                                      << origin + "X-Big: " + QByteArray(9000, 'b') + "\r\n"
                                      << good << 0 << 431 << "dépasse la taille admise";
    QTest::newRow("nul in form") << QByteArray("own") << origin << good + "&n=%00" << 0 << 400
                                 << "illisible";
}

void TestWebServer::entries()
{
    QFETCH(QByteArray, token);
    QFETCH(QByteArray, headers);
    QFETCH(QByteArray, body);
    QFETCH(int, meanwhile);
    QFETCH(int, status);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    const QByteArray own = tokenOf(runCup({"--coupe", path, "--jeton", "1", "1"}));
    const QByteArray tokens[] = {
        own, tokenOf(runCup({"--coupe", path, "--jeton", "1", "2"})),
        tokenOf(runCup({"--coupe", path, "--jeton", "1", "1"})), QByteArray(32, 'a')};
    QCOMPARE(runCup({"--coupe", path, "--revoquer", QString::fromLatin1(tokens[2])}).status, 0);
    const QByteArray used = token == "own"       ? tokens[0]
                            : token == "other"   ? tokens[1]
                            : token == "revoked" ? tokens[2]
                                                 : tokens[3];

    // The page as the phone showed it, before whatever the calculator enters meanwhile.
    const Cup shown = cupAt(path);
    const auto sides = *shown.gameTeams({1, 1, 2});
    const auto otherSides = *shown.gameTeams({1, 1, 1});
    body.replace("%V", QByteArray::number(qulonglong(shown.version())))
        .replace("%S", QByteArray::fromStdString(groupState(shown, 1, 1)))
        .replace("%A", QByteArray::number(sides.first))
        .replace("%X", QByteArray::number(otherSides.first));
    if (meanwhile > 0)
        enterWithCalculator(path, meanwhile, 1);
    const std::uint64_t before = cupAt(path).version();

    ServerThread server(path);
    QVERIFY(server.port() != 0);
    headers.replace("%H", "http://127.0.0.1:" + QByteArray::number(server.port()));
    const Answer answer =
        exchange(server.port(), post(server.port(), "/saisie/" + used, body, headers));
    QCOMPARE(answer.status, status);
    QVERIFY2(QString::fromUtf8(answer.body).contains(says), answer.body.constData());
    QVERIFY(answer.head.contains("Content-Security-Policy: default-src 'none'"));

    // Read back by the calculator: recorded with its token in the journal, or nothing changed.
    const Cup after = cupAt(path);
    QCOMPARE(after.version(), before + (status == 200 ? 1 : 0));
    if (status != 200)
        return;
    QVERIFY(after.result({1, 1, 2}).has_value());
    QCOMPARE(after.result({1, 1, 2})->winner, sides.first);
    const auto round = runCup({"--coupe", path, "--tour", "1", "--format", "csv"});
    QVERIFY2(QString::fromStdString(round.out).contains(",13,7,"), round.out.c_str());
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadOnly);
    const std::string line = opened.store->journal().back().what;
    QVERIFY2(QString::fromStdString(line).contains(
                 "Saisi avec le jeton " + QString::fromStdString(entryTokenName(
                                              entryTokenHash(own.toStdString())))),
             line.c_str());
    // The page shown again lists what is left of the group, not the game just entered.
    QVERIFY(!answer.body.contains("value=\"1-1-2\""));
}

void TestWebServer::pages_data()
{
    QTest::addColumn<QByteArray>("request"); // %T: a valid token of group 3
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::newRow("results") << QByteArray("GET / HTTP/1.1") << 200 << "Tour 1";
    QTest::newRow("round") << QByteArray("GET /tour/1 HTTP/1.1") << 200 << "Tous les tours";
    QTest::newRow("round not drawn") << QByteArray("GET /tour/2 HTTP/1.1") << 200
                                     << "Le tour 2 n'est pas encore tiré.";
    QTest::newRow("screen") << QByteArray("GET /ecran HTTP/1.1") << 200 << "class=\"ecran\"";
    QTest::newRow("entry") << QByteArray("GET /saisie/%T HTTP/1.1") << 200
                           << "Saisie des résultats, poule 3 du tour 1";
    QTest::newRow("no token") << QByteArray("GET /saisie/ HTTP/1.1") << 404 << "Page introuvable";
    QTest::newRow("unknown") << QByteArray("GET /coupe.velmorin HTTP/1.1") << 404
                             << "Page introuvable";
    QTest::newRow("traversal") << QByteArray("GET /../../etc/passwd HTTP/1.1") << 404
                               << "Page introuvable";
    QTest::newRow("post a page") << QByteArray("POST / HTTP/1.1") << 405 << "se consulte";
    QTest::newRow("delete") << QByteArray("DELETE /saisie/%T HTTP/1.1") << 405 << "pas admise";
    QTest::newRow("not http") << QByteArray("BONJOUR") << 400 << "Demande illisible";
}

void TestWebServer::pages()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    request.replace("%T", tokenOf(runCup({"--coupe", path, "--jeton", "1", "3"})));
    const std::uint64_t before = cupAt(path).version();
    ServerThread server(path);
    const Answer answer = exchange(server.port(), request + "\r\nHost: 127.0.0.1\r\n"
                                                            "Connection: close\r\n\r\n");
    QCOMPARE(answer.status, status);
    QVERIFY2(QString::fromUtf8(answer.body).contains(says), answer.body.constData());
    QVERIFY(answer.head.contains("X-Frame-Options: DENY"));
    QCOMPARE(cupAt(path).version(), before);
}

// A client that sends its request a byte at a time, or never ends it, is cut off after the
// request time; meanwhile the others are served.
void TestWebServer::slowClientsDoNotHoldTheServer()
{
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    ServerLimits limits;
    limits.requestTime = std::chrono::milliseconds(600);
    ServerThread server(path, limits);
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int k = 0; k < 20; ++k) {
        slow.push_back(std::make_unique<QTcpSocket>());
        slow.back()->connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(slow.back()->waitForConnected(2000));
        slow.back()->write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ");
        slow.back()->flush();
    }
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(exchange(server.port(), get(server.port(), "/")).status, 200);
    QVERIFY(timer.elapsed() < 500);
    for (auto &socket : slow) {
        if (socket->state() == QAbstractSocket::ConnectedState)
            socket->waitForDisconnected(3000);
        QCOMPARE(socket->state(), QAbstractSocket::UnconnectedState);
    }
    QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
}

// Team names and clubs as markup: every page shows them as text, the JSON gives them back
// whole.
void TestWebServer::namesAreEscaped()
{
    QTemporaryDir dir;
    QFile sample(VELMORIN_SAMPLE_LIST);
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = sample.readAll().split('\n');
    const QByteArray name = "<script>alert(1)</script>";
    const QByteArray club = "\"><img src=x onerror=alert(2)>";
    for (int k = 1; k < lines.size(); ++k) {
        QList<QByteArray> cells = lines[k].split(';');
        if (cells.size() < 2)
            continue;
        cells[0] = name + QByteArray::number(k);
        cells[1] = '"' + QByteArray(club).replace("\"", "\"\"") + '"'; // CSV quoting
        lines[k] = cells.join(';');
    }
    const QString list = dir.filePath("equipes.csv");
    QFile out(list);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(lines.join('\n'));
    out.close();
    const QString path = drawnCup(dir, list);
    const QByteArray token = tokenOf(runCup({"--coupe", path, "--jeton", "1", "1"}));
    ServerThread server(path);
    for (const QByteArray &page :
         QList<QByteArray>{"/", "/tour/1", "/ecran", "/saisie/" + token}) {
        const Answer answer = exchange(server.port(), get(server.port(), page));
        QCOMPARE(answer.status, 200);
        QVERIFY2(!answer.body.contains("<script>alert") && !answer.body.contains("<img"),
                 page.constData());
        QVERIFY2(answer.body.contains("&lt;script&gt;alert(1)&lt;/script&gt;"), page.constData());
    }
    const Answer json = exchange(server.port(), get(server.port(), "/coupe.json"));
    QCOMPARE(json.status, 200);
    QVERIFY(!json.body.contains("<script"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.body, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject first = document.object()["lignes"].toArray().first().toObject();
    QVERIFY(first["equipe_a"].toString().startsWith(QString::fromUtf8(name)));
    QCOMPARE(first["club_a"].toString(), QString::fromUtf8(club));
    QCOMPARE(document.object()["coupe"].toString(), QStringLiteral("Coupe d'essai"));
}

// The live stream gets an event within a second of a change, whoever made it.
void TestWebServer::liveEventsFollowEveryWriter()
{
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    ServerThread server(path);
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(socket.waitForConnected(2000));
    socket.write("GET /evenements?vue=tour-1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray stream;
    QTRY_VERIFY_WITH_TIMEOUT((stream += socket.readAll()).count("event: coupe") == 1, 2000);
    QVERIFY(stream.contains("Content-Type: text/event-stream"));
    QVERIFY(!stream.contains("13-2") && !stream.contains("<b>13</b>"));
    QElapsedTimer timer;
    timer.start();
    enterWithCalculator(path, 4, 1);
    QTRY_VERIFY_WITH_TIMEOUT((stream += socket.readAll()).count("event: coupe") == 2, 1000);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(stream.contains("<b>13</b>"));
}

void TestWebServer::tokensAreRateLimited()
{
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    const QByteArray token = tokenOf(runCup({"--coupe", path, "--jeton", "1", "1"}));
    const QByteArray other = tokenOf(runCup({"--coupe", path, "--jeton", "1", "2"}));
    ServerLimits limits;
    limits.tokenBurst = 3;
    limits.tokenPerSecond = 0.01;
    ServerThread server(path, limits);
    const QByteArray headers = "Content-Type: application/x-www-form-urlencoded\r\nOrigin: "
                               "http://127.0.0.1:" + QByteArray::number(server.port()) + "\r\n";
    const auto send = [&](const QByteArray &t) {
        return exchange(server.port(), post(server.port(), "/saisie/" + t, "x=1", headers));
    };
    for (int k = 0; k < 3; ++k)
        QCOMPARE(send(token).status, 400);
    const Answer refused = send(token);
    QCOMPARE(refused.status, 429);
    QVERIFY(refused.head.contains("Retry-After: 1"));
    QCOMPARE(send(other).status, 400); // another token keeps its own
}

// A result changes its game's row alone: the event carries that row; a draw changes the
// page's shape: the event carries the whole page.
void TestWebServer::liveChangesCarryTheRowsThatChanged()
{
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    int group = 1;
    for (const std::string view : {"", "tour-1", "ecran"}) {
        const std::string before = contentAt(path, view);
        enterWithCalculator(path, ++group, 2);
        const std::string after = contentAt(path, view);
        const QString event = QString::fromStdString(liveChange(7, before, after));
        QVERIFY2(event.startsWith("event: lignes\nid: 7\n"), qPrintable(event));
        QCOMPARE(event.count("\ndata: "), 1);
        QVERIFY(event.contains(QStringLiteral("data: <tr id=\"p1-%1-2\">").arg(group)));
        QVERIFY(event.contains("<b>13</b>"));
        QVERIFY(event.endsWith("</tr>\n\n"));
        QVERIFY(liveChange(8, after, after) == "event: lignes\nid: 8\n\n");
    }
    const std::string before = contentAt(path, "");
    QCOMPARE(runCup({"--coupe", path, "--annuler-tirage", "1"}).status, 0);
    const std::string after = contentAt(path, "");
    QCOMPARE(liveChange(9, before, after), liveEvent(9, after));
}

// The server process killed while results come in: every result it answered as recorded is
// in the cup, whole.
void TestWebServer::killedServerKeepsWhatItAnswered()
{
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    std::vector<QByteArray> tokens;
    for (int group = 1; group <= 11; ++group)
        tokens.push_back(tokenOf(runCup({"--coupe", path, "--jeton", "1",
                                         QString::number(group)})));
    QProcess server;
    server.start(VELMORIN_SERVER, {"--coupe", path, "--port", "0"});
    QVERIFY(server.waitForReadyRead(5000));
    const QRegularExpressionMatch found =
        QRegularExpression(":(\\d+)/").match(QString::fromUtf8(server.readLine()));
    QVERIFY(found.hasMatch());
    const auto port = std::uint16_t(found.captured(1).toUInt());
    const QByteArray headers = "Content-Type: application/x-www-form-urlencoded\r\nOrigin: "
                               "http://127.0.0.1:" + QByteArray::number(port) + "\r\n";
    // Game 1 of each group, one after another; the server is killed after the sixth answer,
    // while the seventh is on its way.
    const Cup shown = cupAt(path);
    std::vector<GameRef> answered;
    for (int group = 1; group <= 11; ++group) {
        const auto sides = *shown.gameTeams({1, group, 1});
        const QByteArray body = "partie=1-" + QByteArray::number(group) + "-1&version=" +
                                QByteArray::number(qulonglong(shown.version())) + "&etat=" +
                                QByteArray::fromStdString(groupState(shown, 1, group)) +
                                "&gagnant=" + QByteArray::number(sides.first) + "&score=13-4";
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!socket.waitForConnected(1000))
            break;
        socket.write(post(port, "/saisie/" + tokens[std::size_t(group - 1)], body, headers));
        socket.flush();
        if (group == 7)
            server.kill();
        QByteArray answer;
        while (socket.waitForReadyRead(1000))
            answer += socket.readAll();
        if (answer.startsWith("HTTP/1.1 200"))
            answered.push_back({1, group, 1});
    }
    server.waitForFinished(5000);
    QVERIFY2(answered.size() >= 6, qPrintable(QString::number(answered.size())));
    const Cup after = cupAt(path);
    for (const GameRef &game : answered)
        QVERIFY2(after.result(game).has_value(), qPrintable(QString::number(game.group)));
    // The one in flight when it was killed may be in the cup without its answer.
    QVERIFY(after.version() >= shown.version() + answered.size() &&
            after.version() <= shown.version() + answered.size() + 1);
}

// Results that came in together: each checked after the ones before it, those recorded written
// in one change whose journal line names each one's token; the others refused alone.
void TestWebServer::resultsThatComeTogetherAreWrittenOnce()
{
    QTemporaryDir dir;
    const QString path = drawnCup(dir);
    const QByteArray first = tokenOf(runCup({"--coupe", path, "--jeton", "1", "1"}));
    const QByteArray second = tokenOf(runCup({"--coupe", path, "--jeton", "1", "2"}));
    std::string error;
    const std::unique_ptr<WebCup> cup = WebCup::open(path.toStdString(), error);
    QVERIFY2(cup, error.c_str());
    const Cup shown = *cup->cup();
    const auto form = [&](int group, int game) {
        return EntryForm{1,  group, game, shown.gameTeams({1, group, game})->first,
                         {}, shown.version(), groupState(shown, 1, group)};
    };
    const CupEntryToken one = *cup->token(first.toStdString());
    const CupEntryToken two = *cup->token(second.toStdString());
    const std::vector<EntryAnswer> answers =
        cup->enter({{one, form(1, 1)}, {two, form(2, 1)}, {one, form(1, 2)}, {two, form(1, 2)}});
    QCOMPARE(answers.size(), std::size_t(4));
    QVERIFY(answers[0].recorded && answers[1].recorded);
    // The page showed group 1 before its first game's result, entered just before.
    QCOMPARE(answers[2].status, 409);
    QCOMPARE(answers[3].status, 403);
    const Cup after = cupAt(path);
    QCOMPARE(after.version(), shown.version() + 2); // two changes of the cup, in one write
    QVERIFY(after.result({1, 1, 1}) && after.result({1, 2, 1}) && !after.result({1, 1, 2}));
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadOnly);
    const auto journal = opened.store->journal();
    const QString line = QString::fromStdString(journal.back().what);
    QCOMPARE(line.count("Saisi avec le jeton"), 2);
    QVERIFY(!QString::fromStdString(journal[journal.size() - 2].what).contains("Saisi"));
    QVERIFY(line.contains(QString::fromStdString(entryTokenName(one.hash))) &&
            line.contains(QString::fromStdString(entryTokenName(two.hash))));
}

QTEST_GUILESS_MAIN(TestWebServer)
#include "tst_webserver.moc"
