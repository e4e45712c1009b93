// Reading a server cup's address: libpq's URI, then # and the cup's name as typed.

#include "ServerAddress.h"

#include <QTest>

using namespace velmorin;

class TestServerAddress : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void refused_data();
    void refused();
    void parametersQuoted();
};

void TestServerAddress::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QString>("cup");
    QTest::newRow("whole") << "postgresql://organisateur@hôte:5432/base#Coupe du Rhône 2027"
                           << "hôte"
                           << "5432"
                           << "base"
                           << "organisateur"
                           << ""
                           << "Coupe du Rhône 2027";
    QTest::newRow("short scheme") << "postgres://h/b#C"
                                  << "h"
                                  << ""
                                  << "b"
                                  << ""
                                  << ""
                                  << "C";
    QTest::newRow("defaults") << "postgresql://#Coupe"
                              << ""
                              << ""
                              << ""
                              << ""
                              << ""
                              << "Coupe";
    QTest::newRow("name keeps #, ? and / as typed") << "postgresql://h/b#Coupe #2 ?/ 50 %20"
                                                    << "h"
                                                    << ""
                                                    << "b"
                                                    << ""
                                                    << ""
                                                    << "Coupe #2 ?/ 50 %20";
    QTest::newRow("socket folder escaped") << "postgresql://%2Fvar%2Frun%2Fpostgresql/base#C"
                                           << "/var/run/postgresql"
                                           << ""
                                           << "base"
                                           << ""
                                           << ""
                                           << "C";
    QTest::newRow("IPv6") << "postgresql://u@[::1]:6543/b#C"
                          << "::1"
                          << "6543"
                          << "b"
                          << "u"
                          << ""
                          << "C";
    QTest::newRow("escaped user and base") << "postgresql://o%40club@h/ma%20base#C"
                                           << "h"
                                           << ""
                                           << "ma base"
                                           << "o@club"
                                           << ""
                                           << "C";
    QTest::newRow("parameters")
        << "postgresql://h/b?sslmode=verify-full&host=%2Ftmp%2Fs&&application_name=V%C3%A9l#C"
        << "h"
        << ""
        << "b"
        << ""
        << "sslmode='verify-full' host='/tmp/s' application_name='Vél'"
        << "C";
    QTest::newRow("63 bytes of name")
        << "postgresql://h/b#" + QString(21, QChar(0x00e9)) + "abcdefghijklmnopqrstu"
        << "h"
        << ""
        << "b"
        << ""
        << "" << QString(21, QChar(0x00e9)) + "abcdefghijklmnopqrstu";
}

void TestServerAddress::read()
{
    QFETCH(QString, text);
    const ServerAddressReading reading = readServerAddress(text.toStdString());
    QVERIFY2(reading.address, reading.error.c_str());
    QVERIFY(isServerAddress(text.toStdString()));
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(QString, database);
    QFETCH(QString, user);
    QFETCH(QString, parameters);
    QFETCH(QString, cup);
    QCOMPARE(QString::fromStdString(reading.address->host), host);
    QCOMPARE(QString::fromStdString(reading.address->port), port);
    QCOMPARE(QString::fromStdString(reading.address->database), database);
    QCOMPARE(QString::fromStdString(reading.address->user), user);
    QCOMPARE(QString::fromStdString(connectionParameters(*reading.address)), parameters);
    QCOMPARE(QString::fromStdString(reading.address->cup), cup);
}

void TestServerAddress::refused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("refusal");
    const QString password = QStringLiteral(
        "Le mot de passe ne se donne pas dans l'adresse : libpq le lit dans ~/.pgpass, "
        "PGPASSWORD ou un fichier de service.");
    const QString noName = QStringLiteral(
        "L'adresse d'une coupe sur un serveur se termine par # et le nom de la coupe.");
    const auto unreadable = [](const char *why) {
        return QStringLiteral("L'adresse de la coupe n'est pas lisible : %1.")
            .arg(QString::fromUtf8(why));
    };
    QTest::newRow("a file") << QByteArray("coupe.velmorin")
                            << unreadable("elle commence par postgresql://");
    QTest::newRow("other scheme") << QByteArray("mysql://h/b#C")
                                  << unreadable("elle commence par postgresql://");
    QTest::newRow("password in the user") << QByteArray("postgresql://o:secret@h/b#C") << password;
    QTest::newRow("empty password") << QByteArray("postgresql://o:@h/b#C") << password;
    QTest::newRow("password parameter") << QByteArray("postgresql://h/b?password=x#C") << password;
    QTest::newRow("escaped password parameter")
        << QByteArray("postgresql://h/b?pass%77ord=x#C") << password;
    QTest::newRow("no name") << QByteArray("postgresql://h/b") << noName;
    QTest::newRow("empty name") << QByteArray("postgresql://h/b#") << noName;
    QTest::newRow("64 bytes of name")
        << ("postgresql://h/b#" + QByteArray(64, 'a'))
        << "Le nom d'une coupe sur un serveur tient en 63 octets : « " +
               QString(64, QLatin1Char('a')) + " » en a 64.";
    QTest::newRow("control in the name") << QByteArray("postgresql://h/b#Coupe\x1b[2J")
                                         << unreadable("elle contient un caractère de contrôle");
    QTest::newRow("C1 control in the name") << QByteArray("postgresql://h/b#Coupe\xc2\x9b"
                                                          "2J")
                                            << unreadable("elle contient un caractère de contrôle");
    QTest::newRow("escaped C1 control") << QByteArray("postgresql://h/b?application_name=%C2%85#C")
                                        << unreadable("elle contient un caractère de contrôle");
    QTest::newRow("escaped control") << QByteArray("postgresql://h%0A/b#C")
                                     << unreadable("elle contient un caractère de contrôle");
    QTest::newRow("escaped NUL") << QByteArray("postgresql://h/b%00x#C")
                                 << unreadable("le nom de la base est mal écrit");
    QTest::newRow("not UTF-8") << QByteArray("postgresql://h/b#Coupe \xe9t\xe9")
                               << unreadable("elle n'est pas du texte UTF-8");
    QTest::newRow("escaped not UTF-8")
        << QByteArray("postgresql://h%C3/b#C") << unreadable("elle n'est pas du texte UTF-8");
    QTest::newRow("overlong UTF-8")
        << QByteArray("postgresql://h/b#\xc0\xaf") << unreadable("elle n'est pas du texte UTF-8");
    QTest::newRow("broken escape")
        << QByteArray("postgresql://h/b%2#C") << unreadable("le nom de la base est mal écrit");
    QTest::newRow("escape at the end")
        << QByteArray("postgresql://h/b%#C") << unreadable("le nom de la base est mal écrit");
    QTest::newRow("port not a number")
        << QByteArray("postgresql://h:54x/b#C") << unreadable("le port est un nombre de 1 à 65535");
    QTest::newRow("port 0") << QByteArray("postgresql://h:0/b#C")
                            << unreadable("le port est un nombre de 1 à 65535");
    QTest::newRow("port too high") << QByteArray("postgresql://h:65536/b#C")
                                   << unreadable("le port est un nombre de 1 à 65535");
    QTest::newRow("port too long") << QByteArray("postgresql://h:000005432/b#C")
                                   << unreadable("le port est un nombre de 1 à 65535");
    QTest::newRow("two servers") << QByteArray("postgresql://h1,h2/b#C")
                                 << unreadable("elle nomme un seul serveur");
    QTest::newRow("IPv6 unclosed")
        << QByteArray("postgresql://[::1/b#C") << unreadable("une adresse IPv6 se ferme par ]");
    QTest::newRow("IPv6 then junk") << QByteArray("postgresql://[::1]x/b#C")
                                    << unreadable("le port suit le serveur après deux-points");
    QTest::newRow("parameter without value") << QByteArray("postgresql://h/b?sslmode#C")
                                             << unreadable("ses paramètres s'écrivent nom=valeur");
    QTest::newRow("parameter name") << QByteArray("postgresql://h/b?ssl mode=x#C")
                                    << unreadable("ses paramètres s'écrivent nom=valeur");
    QTest::newRow("semicolon in a parameter")
        << QByteArray("postgresql://h/b?options=-c%20a%3Bb#C")
        << unreadable("le paramètre « options » contient un point-virgule");
}

void TestServerAddress::refused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, refusal);
    const ServerAddressReading reading = readServerAddress(text.toStdString());
    QVERIFY(!reading.address);
    QCOMPARE(QString::fromStdString(reading.error), refusal);
}

// A value's quote and backslash cannot end libpq's quoted word early.
void TestServerAddress::parametersQuoted()
{
    const ServerAddressReading reading =
        readServerAddress("postgresql://h/b?application_name=a%27%20host%3D%27x%5C#C");
    QVERIFY2(reading.address, reading.error.c_str());
    QCOMPARE(connectionParameters(*reading.address),
             std::string("application_name='a\\' host=\\'x\\\\'"));
}

QTEST_GUILESS_MAIN(TestServerAddress)
#include "tst_serveraddress.moc"
