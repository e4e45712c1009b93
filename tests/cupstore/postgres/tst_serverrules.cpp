// What each role may do to a cup on the server, tried by direct SQL as that role: the server
// itself refuses a venue everything but its own groups' results and withdrawals, whatever
// program connects. Needs the test server (the pg_server fixture).

#include "CupContents.h"
#include "CupSetups.h"
#include "CupSimulation.h"
#include "PgTestServer.h"
#include "ServerCup.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

const QString kDatabase = QStringLiteral("velmorin_rules");
// Quotes, accents and spaces: the cup's name is a quoted identifier.
const std::string kCup = "Coupe \"du Rhône\" 2027";

enum class Outcome { Done, Denied, Untouched, Dangling };

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestServerRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void asRole_data();
    void asRole();
    void refusedSetup_data();
    void refusedSetup();
    void organiserKeepsGroupsToDrawnRounds();

private:
    ServerAddress address(const QString &role) const;
    QString m_socket;
    QStringList m_connections;
};

ServerAddress TestServerRules::address(const QString &role) const
{
    ServerAddress address;
    address.host = m_socket.toStdString();
    address.user = role.toStdString();
    address.database = kDatabase.toStdString();
    address.cup = kCup;
    return address;
}

void TestServerRules::initTestCase()
{
    VELMORIN_PG_SERVER(socket);
    m_socket = socket;
    const QString made =
        pgFreshDatabase(socket, kDatabase, QStringLiteral("rules_org"),
                        {QStringLiteral("rules_nord"), QStringLiteral("rules_sud"),
                         QStringLiteral("rules_autre"), QStringLiteral("rules_admin")});
    QVERIFY2(made.isEmpty(), qPrintable(made));

    // Round 1 drawn, game 1 of groups 1 and 2 played.
    CupCopy copy;
    copy.setup = playableCup(5, 40);
    CupCreation created = restoreCup(cupInputsOf(copy.setup, rebuildCup(copy.setup)), {});
    QVERIFY2(created.ok(), created.error.c_str());
    Cup &cup = *created.cup;
    QVERIFY(drawRound(cup, 1).done);
    QVERIFY(cup.records().draws.front().groups.size() >= 3);
    for (std::size_t group : {0, 1})
        QVERIFY(recordWinner(cup, 1, cup.records().draws.front().groups[group].front()).done);
    copy.records = cup.records();
    copy.journal = {{"2027-05-01T08:00:00.000Z", "Coupe créée"}};

    std::string error;
    auto organiser = ServerConnection::open(address(QStringLiteral("rules_org")), error);
    QVERIFY2(organiser, error.c_str());
    for (const ServerAnswer &write :
         {publishCup(*organiser, copy), addVenue(*organiser, "Nord", "rules_nord"),
          addVenue(*organiser, "Sud", "rules_sud"), assignGroup(*organiser, 1, 1, "Nord"),
          assignGroup(*organiser, 1, 2, "Sud")})
        QVERIFY2(write.done(), write.message.c_str());

    for (const QString role : {"rules_org", "rules_nord", "rules_sud", "rules_autre"}) {
        const QSqlDatabase db = pgConnect(role, socket, role, kDatabase);
        QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
        m_connections << role;
    }
}

void TestServerRules::cleanupTestCase()
{
    for (const QString &name : std::as_const(m_connections))
        QSqlDatabase::removeDatabase(name);
}

void TestServerRules::asRole_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<Outcome>("outcome");
    const auto team = [](int pool, int place) {
        return QStringLiteral("(SELECT team FROM draw_place WHERE round = 1 AND pool = %1 AND "
                              "place = %2)")
            .arg(pool)
            .arg(place);
    };
    const auto game = [](int pool, int game) {
        return QStringLiteral("round = 1 AND pool = %1 AND game = %2").arg(pool).arg(game);
    };
    const QString nord = QStringLiteral("rules_nord");
    const QString sud = QStringLiteral("rules_sud");
    const QString org = QStringLiteral("rules_org");
    const QString other = QStringLiteral("rules_autre");
    const QString record = QStringLiteral("INSERT INTO result VALUES (1, %1, 2, %2, 13, 8, NULL)");

    // A venue in its own groups.
    QTest::newRow("venue records its game")
        << nord << record.arg(1).arg(team(1, 2)) << Outcome::Done;
    QTest::newRow("venue corrects its game")
        << nord << "UPDATE result SET winner_score = 13, loser_score = 11 WHERE " + game(1, 1)
        << Outcome::Done;
    QTest::newRow("venue withdraws its result")
        << nord << "DELETE FROM result WHERE " + game(1, 1) << Outcome::Done;
    QTest::newRow("venue records a withdrawal")
        << nord << "INSERT INTO withdrawal VALUES (" + team(1, 3) + ", 1)" << Outcome::Done;
    QTest::newRow("venue reads every result")
        << nord << QStringLiteral("SELECT * FROM result") << Outcome::Done;
    QTest::newRow("venue bumps the version")
        << nord << QStringLiteral("UPDATE play SET version = version + 1") << Outcome::Done;
    QTest::newRow("venue writes the journal")
        << nord << QStringLiteral("INSERT INTO journal (at, what) VALUES ('x', 'Résultat')")
        << Outcome::Done;
    QTest::newRow("second venue records its game")
        << sud << record.arg(2).arg(team(2, 2)) << Outcome::Done;

    // A venue in another's groups.
    QTest::newRow("venue records another's game")
        << nord << record.arg(2).arg(team(2, 2)) << Outcome::Denied;
    QTest::newRow("venue records an unassigned game")
        << nord << record.arg(3).arg(team(3, 2)) << Outcome::Denied;
    QTest::newRow("venue corrects another's game")
        << nord << "UPDATE result SET winner_score = 13 WHERE " + game(2, 1) << Outcome::Untouched;
    QTest::newRow("venue deletes another's result")
        << nord << "DELETE FROM result WHERE " + game(2, 1) << Outcome::Untouched;
    QTest::newRow("venue moves its result to another's group")
        << nord << "UPDATE result SET pool = 2, game = 2 WHERE " + game(1, 1) << Outcome::Denied;
    QTest::newRow("venue withdraws another's team")
        << nord << "INSERT INTO withdrawal VALUES (" + team(2, 3) + ", 1)" << Outcome::Denied;
    QTest::newRow("second venue records the first's game")
        << sud << record.arg(1).arg(team(1, 2)) << Outcome::Denied;

    // A venue and what only the organiser does.
    QTest::newRow("venue draws") << nord << QStringLiteral("INSERT INTO draw VALUES (2, 1)")
                                 << Outcome::Denied;
    QTest::newRow("venue redraws a group")
        << nord << QStringLiteral("UPDATE draw_place SET team = team WHERE pool = 1")
        << Outcome::Denied;
    QTest::newRow("venue cancels a draw")
        << nord << QStringLiteral("DELETE FROM draw WHERE round = 1") << Outcome::Denied;
    QTest::newRow("venue changes the list")
        << nord << QStringLiteral("UPDATE list_cell SET value = 'x' WHERE row_no = 1")
        << Outcome::Denied;
    QTest::newRow("venue changes the plan")
        << nord << QStringLiteral("UPDATE cup SET position = 2") << Outcome::Denied;
    QTest::newRow("venue chooses exempted teams")
        << nord << QStringLiteral("INSERT INTO chosen_exempted VALUES (0, 1)") << Outcome::Denied;
    QTest::newRow("venue adds a venue")
        << nord << QStringLiteral("INSERT INTO venue VALUES ('Pirate', 'rules_autre')")
        << Outcome::Denied;
    QTest::newRow("venue takes a group")
        << nord << QStringLiteral("UPDATE venue_pool SET venue = 'Nord' WHERE pool = 2")
        << Outcome::Denied;
    QTest::newRow("venue lifts the rules")
        << nord << QStringLiteral("ALTER TABLE result DISABLE ROW LEVEL SECURITY")
        << Outcome::Denied;
    QTest::newRow("venue drops a policy")
        << nord << QStringLiteral("DROP POLICY venue_records ON result") << Outcome::Denied;

    // A role that is no venue of the cup, naming its tables whole (it cannot enter the schema).
    const QString result = cupSchemaIdentifier(kCup) + QStringLiteral(".result");
    QTest::newRow("stranger reads") << other << "SELECT * FROM " + result << Outcome::Denied;
    QTest::newRow("stranger records")
        << other << "INSERT INTO " + result + " VALUES (1, 3, 2, 0, 13, 8, NULL)"
        << Outcome::Denied;

    // The organiser does everything.
    QTest::newRow("organiser records any game")
        << org << record.arg(3).arg(team(3, 2)) << Outcome::Done;
    QTest::newRow("organiser corrects a venue's game")
        << org << "UPDATE result SET winner_score = 13 WHERE " + game(2, 1) << Outcome::Done;
    QTest::newRow("organiser draws")
        << org << QStringLiteral("INSERT INTO draw VALUES (2, 1)") << Outcome::Done;
    QTest::newRow("organiser cancels a draw")
        << org << QStringLiteral("DELETE FROM draw_place WHERE round = 1") << Outcome::Done;
    QTest::newRow("organiser changes the list")
        << org << QStringLiteral("UPDATE list_cell SET value = 'x' WHERE row_no = 1")
        << Outcome::Done;
    // The tables' references, taken off while the cup was published, are back.
    QTest::newRow("organiser records a game of a round not drawn")
        << org << QStringLiteral("INSERT INTO result VALUES (5, 1, 1, 0, 13, 2, NULL)")
        << Outcome::Dangling;
    QTest::newRow("organiser gives a group to no venue")
        << org << QStringLiteral("UPDATE venue_pool SET venue = 'Ouest' WHERE pool = 2")
        << Outcome::Dangling;
    QTest::newRow("organiser moves a group")
        << org << QStringLiteral("UPDATE venue_pool SET venue = 'Nord' WHERE pool = 2")
        << Outcome::Done;
}

// Each row in a transaction rolled back: the rows do not see one another.
void TestServerRules::asRole()
{
    QFETCH(QString, role);
    QFETCH(QString, sql);
    QFETCH(Outcome, outcome);
    QSqlDatabase db = QSqlDatabase::database(role);
    QVERIFY(db.transaction());
    QSqlQuery query(db);
    QVERIFY(query.exec(QStringLiteral("SET LOCAL search_path TO ") + cupSchemaIdentifier(kCup)));
    const bool ran = query.exec(sql);
    int rows = -1;
    if (ran) {
        rows = query.isSelect() ? 0 : query.numRowsAffected();
        while (query.isSelect() && query.next())
            ++rows;
    }
    const QSqlError error = query.lastError();
    db.rollback();
    switch (outcome) {
    case Outcome::Done:
        QVERIFY2(ran, qPrintable(error.text()));
        QVERIFY(rows >= 1);
        break;
    case Outcome::Denied:
        QVERIFY2(!ran, "the server accepted it");
        // insufficient_privilege, which row-level security's refusals share.
        QCOMPARE(error.nativeErrorCode(), QStringLiteral("42501"));
        break;
    case Outcome::Dangling:
        QVERIFY2(!ran, "the server accepted it");
        QCOMPARE(error.nativeErrorCode(), QStringLiteral("23503")); // foreign_key_violation
        break;
    case Outcome::Untouched:
        QVERIFY2(ran, qPrintable(error.text()));
        QCOMPARE(rows, 0);
        break;
    }
}

void TestServerRules::refusedSetup_data()
{
    QTest::addColumn<QString>("venue");
    QTest::addColumn<QString>("role");
    QTest::addColumn<int>("round");
    QTest::addColumn<int>("pool");
    QTest::addColumn<QString>("refusal");
    // A venue: round 0.
    QTest::newRow("role unknown") << "Est"
                                  << "rules_nobody" << 0 << 0
                                  << "Le rôle « rules_nobody » n'existe pas sur ce serveur : "
                                     "créez-le d'abord (CREATE ROLE).";
    QTest::newRow("organiser's own role")
        << "Est"
        << "rules_org" << 0 << 0
        << "Le rôle « rules_org » a les droits de l'organisateur sur la coupe : une salle a un "
           "rôle à elle.";
    QTest::newRow("superuser") << "Est"
                               << "postgres" << 0 << 0
                               << "Le rôle « postgres » a les droits de l'organisateur sur la "
                                  "coupe : une salle a un rôle à elle.";
    QTest::newRow("venue's name taken")
        << "Nord"
        << "rules_autre" << 0 << 0
        << "La salle « Nord » existe déjà ou a déjà ce rôle : la salle n'est pas ajoutée.";
    QTest::newRow("role taken")
        << "Est"
        << "rules_sud" << 0 << 0
        << "La salle « Sud » existe déjà ou a déjà ce rôle : la salle n'est pas ajoutée.";
    QTest::newRow("no name") << ""
                             << "rules_autre" << 0 << 0 << "Une salle a un nom.";
    // A group's venue.
    QTest::newRow("round not drawn")
        << "Nord"
        << "" << 2 << 1 << "Le Tour 2 n'est pas tiré : ses poules n'ont pas encore de salle.";
    QTest::newRow("group 0") << "Nord"
                             << "" << 1 << 0 << "group";
    QTest::newRow("group past the last") << "Nord"
                                         << "" << 1 << 1000 << "group";
    QTest::newRow("venue unknown")
        << "Ouest"
        << "" << 1 << 3 << "Il n'y a pas de salle « Ouest » dans cette coupe.";
}

// The organiser's setting up refused: one sentence, and the cup as it was.
void TestServerRules::refusedSetup()
{
    QFETCH(QString, venue);
    QFETCH(QString, role);
    QFETCH(int, round);
    QFETCH(int, pool);
    QFETCH(QString, refusal);
    std::string error;
    auto organiser = ServerConnection::open(address(QStringLiteral("rules_org")), error);
    QVERIFY2(organiser, error.c_str());
    const auto before = readServerCup(*organiser, error);
    QVERIFY2(before, error.c_str());
    const ServerAnswer write = round == 0
                                   ? addVenue(*organiser, venue.toStdString(), role.toStdString())
                                   : assignGroup(*organiser, round, pool, venue.toStdString());
    QCOMPARE(write.outcome, ServerAnswer::Outcome::Refused);
    if (refusal == QLatin1String("group"))
        QVERIFY2(QString::fromStdString(write.message)
                     .contains(QStringLiteral(" poules : il n'a "
                                              "pas de poule ")),
                 write.message.c_str());
    else
        QCOMPARE(QString::fromStdString(write.message), refusal);
    const auto after = readServerCup(*organiser, error);
    QVERIFY2(after, error.c_str());
    QCOMPARE(after->journal.size(), before->journal.size());
}

// A round drawn again makes new groups: their venues are chosen again.
void TestServerRules::organiserKeepsGroupsToDrawnRounds()
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("rules_org"));
    QVERIFY(db.transaction());
    QSqlQuery query(db);
    QVERIFY(query.exec(QStringLiteral("SET LOCAL search_path TO ") + cupSchemaIdentifier(kCup)));
    for (const char *sql :
         {"DELETE FROM result", "DELETE FROM withdrawal", "DELETE FROM draw_place",
          "DELETE FROM draw_meeting", "DELETE FROM draw_exempted", "DELETE FROM draw"})
        QVERIFY2(query.exec(QString::fromLatin1(sql)), qPrintable(query.lastError().text()));
    QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM venue_pool")) && query.next());
    QCOMPARE(query.value(0).toInt(), 0);
    db.rollback();
}

QTEST_GUILESS_MAIN(TestServerRules)
#include "tst_serverrules.moc"
