// What the cup's server reads of a request: the page an address names, the form an entry page
// posts, the same-origin check.

#include "WebRequest.h"

#include <QtTest>

using namespace velmorin::web;

class TestWebRequest : public QObject
{
    Q_OBJECT

private slots:
    void routes_data();
    void routes();
    void forms_data();
    void forms();
    void origins_data();
    void origins();
    void entryForms_data();
    void entryForms();
};

Q_DECLARE_METATYPE(Route::Page)

void TestWebRequest::routes_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<Route::Page>("page");
    QTest::addColumn<int>("round");
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<QByteArray>("view");
    using P = Route::Page;
    QTest::newRow("results") << QByteArray("/") << P::Results << 0 << QByteArray() << QByteArray();
    QTest::newRow("round") << QByteArray("/tour/3") << P::Round << 3 << QByteArray() << QByteArray();
    QTest::newRow("round 7") << QByteArray("/tour/7") << P::Unknown << 0 << QByteArray() << QByteArray();
    QTest::newRow("round 0") << QByteArray("/tour/0") << P::Unknown << 0 << QByteArray() << QByteArray();
    QTest::newRow("round 03") << QByteArray("/tour/03") << P::Unknown << 0 << QByteArray() << QByteArray();
    QTest::newRow("round sign") << QByteArray("/tour/+3") << P::Unknown << 0 << QByteArray() << QByteArray();
    QTest::newRow("screen") << QByteArray("/ecran") << P::Screen << 0 << QByteArray() << QByteArray();
    QTest::newRow("json") << QByteArray("/coupe.json") << P::Json << 0 << QByteArray() << QByteArray();
    QTest::newRow("events") << QByteArray("/evenements") << P::Events << 0 << QByteArray() << QByteArray();
    QTest::newRow("events screen") << QByteArray("/evenements?vue=ecran") << P::Events << 0
                                   << QByteArray() << QByteArray("ecran");
    QTest::newRow("events round") << QByteArray("/evenements?vue=tour-2") << P::Events << 2
                                  << QByteArray() << QByteArray("tour-2");
    QTest::newRow("events other") << QByteArray("/evenements?vue=../x") << P::Unknown << 0
                                  << QByteArray() << QByteArray();
    QTest::newRow("entry") << QByteArray("/saisie/0123abcd") << P::Entry << 0
                           << QByteArray("0123abcd") << QByteArray();
    QTest::newRow("entry slash") << QByteArray("/saisie/ab/cd") << P::Unknown << 0 << QByteArray()
                                 << QByteArray();
    QTest::newRow("entry encoded") << QByteArray("/saisie/ab%2e") << P::Unknown << 0
                                   << QByteArray() << QByteArray();
    QTest::newRow("entry empty") << QByteArray("/saisie/") << P::Unknown << 0 << QByteArray()
                                 << QByteArray();
    QTest::newRow("query on a page") << QByteArray("/?x=1") << P::Unknown << 0 << QByteArray()
                                     << QByteArray();
    QTest::newRow("dot dot") << QByteArray("/../etc/passwd") << P::Unknown << 0 << QByteArray()
                             << QByteArray();
    QTest::newRow("absolute form") << QByteArray("http://x/") << P::Unknown << 0 << QByteArray()
                                   << QByteArray();
    QTest::newRow("file beside") << QByteArray("/coupe.velmorin") << P::Unknown << 0
                                 << QByteArray() << QByteArray();
}

void TestWebRequest::routes()
{
    QFETCH(QByteArray, target);
    QFETCH(Route::Page, page);
    QFETCH(int, round);
    QFETCH(QByteArray, token);
    QFETCH(QByteArray, view);
    const Route route = routeOf(target.toStdString());
    QCOMPARE(route.page, page);
    QCOMPARE(route.round, round);
    QCOMPARE(QByteArray::fromStdString(route.token), token);
    QCOMPARE(QByteArray::fromStdString(route.view), view);
}

void TestWebRequest::forms_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QStringList>("fields"); // name=value, sorted
    QTest::newRow("plain") << QByteArray("a=1&b=2") << true << QStringList{"a=1", "b=2"};
    QTest::newRow("escapes") << QByteArray("n=%C3%A9t%C3%A9+x") << true << QStringList{"n=été x"};
    QTest::newRow("empty value") << QByteArray("a=&b") << true << QStringList{"a=", "b="};
    QTest::newRow("empty pairs") << QByteArray("&&a=1&") << true << QStringList{"a=1"};
    QTest::newRow("twice") << QByteArray("a=1&a=2") << false << QStringList{};
    QTest::newRow("cut escape") << QByteArray("a=%4") << false << QStringList{};
    QTest::newRow("bad escape") << QByteArray("a=%zz") << false << QStringList{};
    QTest::newRow("nul") << QByteArray("a=%00") << false << QStringList{};
    QTest::newRow("no name") << QByteArray("=1") << false << QStringList{};
    QByteArray many;
    for (int k = 0; k < 17; ++k)
        many += "f" + QByteArray::number(k) + "=1&";
    QTest::newRow("too many") << many << false << QStringList{};
}

void TestWebRequest::forms()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, read);
    QFETCH(QStringList, fields);
    const auto got = formFields(body.toStdString());
    QCOMPARE(got.has_value(), read);
    if (!got)
        return;
    QStringList shown;
    for (const auto &[name, value] : *got)
        shown << QString::fromStdString(name + "=" + value);
    QCOMPARE(shown, fields);
}

void TestWebRequest::origins_data()
{
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("origin");
    QTest::addColumn<QByteArray>("referer");
    QTest::addColumn<bool>("same");
    QTest::newRow("origin") << QByteArray("h:80") << QByteArray("http://h:80") << QByteArray() << true;
    QTest::newRow("other origin") << QByteArray("h:80") << QByteArray("http://e:80")
                                  << QByteArray("http://h:80/saisie/x") << false;
    QTest::newRow("https origin") << QByteArray("h:80") << QByteArray("https://h:80")
                                  << QByteArray() << false;
    QTest::newRow("null origin") << QByteArray("h:80") << QByteArray("null") << QByteArray()
                                 << false;
    QTest::newRow("referer") << QByteArray("h:80") << QByteArray() << QByteArray("http://h:80/s")
                             << true;
    QTest::newRow("referer prefix") << QByteArray("h:80") << QByteArray()
                                    << QByteArray("http://h:8080/s") << false;
    QTest::newRow("referer at host") << QByteArray("h") << QByteArray()
                                     << QByteArray("http://h.evil/s") << false;
    QTest::newRow("neither") << QByteArray("h:80") << QByteArray() << QByteArray() << false;
    QTest::newRow("no host") << QByteArray() << QByteArray("http://") << QByteArray() << false;
}

void TestWebRequest::origins()
{
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, origin);
    QFETCH(QByteArray, referer);
    QFETCH(bool, same);
    QCOMPARE(sameOrigin(host.toStdString(), origin.toStdString(), referer.toStdString()), same);
}

void TestWebRequest::entryForms_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("refusal"); // empty: read
    const QByteArray good = "partie=2-11-3&version=42&etat=ab&gagnant=17";
    QTest::newRow("read") << good << QString();
    QTest::newRow("with score") << good + "&score=13-7" << QString();
    QTest::newRow("no winner") << QByteArray("partie=2-11-3&version=42&etat=ab") << "Choisissez";
    QTest::newRow("no version") << QByteArray("partie=2-11-3&etat=ab&gagnant=1") << "incomplet";
    QTest::newRow("game short") << QByteArray("partie=2-11&version=1&etat=a&gagnant=1")
                                << "partie envoyée";
    QTest::newRow("game 4") << QByteArray("partie=2-11-4&version=1&etat=a&gagnant=1")
                            << "partie envoyée";
    QTest::newRow("round 0") << QByteArray("partie=0-1-1&version=1&etat=a&gagnant=1")
                             << "partie envoyée";
    QTest::newRow("winner sign") << QByteArray("partie=1-1-1&version=1&etat=a&gagnant=-1")
                                 << "équipe gagnante";
    QTest::newRow("version huge") << QByteArray(
                                         "partie=1-1-1&version=99999999999999999999&etat=a"
                                         "&gagnant=1")
                                  << "version";
    QTest::newRow("garbage") << QByteArray("%%%") << "illisible";
}

void TestWebRequest::entryForms()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, refusal);
    const EntryFormReading reading = readEntryForm(body.toStdString());
    QCOMPARE(reading.form.has_value(), refusal.isEmpty());
    QVERIFY2(QString::fromStdString(reading.refusal).contains(refusal), reading.refusal.c_str());
    if (!reading.form)
        return;
    QCOMPARE(reading.form->round, 2);
    QCOMPARE(reading.form->group, 11);
    QCOMPARE(reading.form->game, 3);
    QCOMPARE(reading.form->winner, 17);
    QCOMPARE(reading.form->version, std::uint64_t(42));
    QCOMPARE(reading.form->state, std::string("ab"));
}

QTEST_GUILESS_MAIN(TestWebRequest)
#include "tst_webrequest.moc"
