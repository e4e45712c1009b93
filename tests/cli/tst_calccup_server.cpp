// velmorin-calc with a cup on a PostgreSQL server: a file cup published and copied back is the
// same cup (its board, summary and records), and every refusal changes nothing. Needs the
// test server (the pg_server fixture).

#include "CupCalcRun.h"
#include "CupSetups.h"
#include "CupSimulation.h"
#include "CupStore.h"
#include "PgTestServer.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

const QString kDatabase = QStringLiteral("velmorin_calccup");
const QString kOrganiser = QStringLiteral("calccup_org");

// Rounds 1 to `rounds` played (corrections and forfeits among the results), then, with
// `half`, the next round drawn and half its games played.
CupRecords played(const CupSetup &setup, std::uint64_t seed, int rounds, bool half)
{
    CupCreation made = restoreCup(cupInputsOf(setup, rebuildCup(setup)), {});
    if (!made.ok())
        return {};
    Cup &cup = *made.cup;
    SeededDraw draw(seed);
    for (int round = 1; round <= rounds && cup.finalTeams().empty(); ++round) {
        drawRound(cup, round);
        playRound(cup, round, draw, true);
    }
    const int next = cup.drawnRounds() + 1;
    if (half && cup.finalTeams().empty() && drawRound(cup, next).done) {
        std::vector<PendingGame> pending = cup.pendingGames(next);
        for (std::size_t k = 0; k < pending.size() / 2; ++k)
            recordWinner(cup, next, pending[k].teamA, Score{13, static_cast<int>(k % 13)});
    }
    return cup.records();
}

} // namespace

class TestCalcCupServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void copiedBack_data();
    void copiedBack();
    void refused_data();
    void refused();
    void venueAndGroup();

private:
    QString address(const QString &cup, const QString &role = kOrganiser) const;
    QString newFileCup(const QString &name, const CupSetup &setup, const CupRecords &records);

    QTemporaryDir m_dir;
    QString m_socket;
};

QString TestCalcCupServer::address(const QString &cup, const QString &role) const
{
    return QStringLiteral("postgresql://%1@/%2?host=%3#%4").arg(role, kDatabase, m_socket, cup);
}

QString TestCalcCupServer::newFileCup(const QString &name, const CupSetup &setup,
                                      const CupRecords &records)
{
    const QString path = m_dir.filePath(name);
    CupOpening made = CupStore::create(path, setup);
    if (!made.ok() || !made.store->saveRecords(records, "joué").saved)
        return {};
    return path;
}

void TestCalcCupServer::initTestCase()
{
    VELMORIN_PG_SERVER(socket);
    m_socket = socket;
    QVERIFY(m_dir.isValid());
    const QString made =
        pgFreshDatabase(socket, kDatabase, kOrganiser, {QStringLiteral("calccup_nord")});
    QVERIFY2(made.isEmpty(), qPrintable(made));
}

void TestCalcCupServer::copiedBack_data()
{
    QTest::addColumn<QString>("cup");
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("teams");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<bool>("half");
    QTest::newRow("nothing drawn") << "Coupe du Rhône 2027" << quint64(1) << 40 << 0 << false;
    QTest::newRow("round 1 half played") << "Coupe d'été" << quint64(2) << 60 << 0 << true;
    QTest::newRow("round 4 half played")
        << "Coupe \"Jean-Pierre\"" << quint64(3) << 77 << 3 << true;
    QTest::newRow("played to the final") << "Coupe #4 ?x=1" << quint64(4) << 77 << 6 << false;
    QTest::newRow("played, another seed") << "  espaces  " << quint64(8) << 80 << 6 << false;
    QTest::newRow("a name of 63 bytes")
        << QString(31, QChar(0x00e9)) + "x" << quint64(5) << 50 << 2 << true;
}

void TestCalcCupServer::copiedBack()
{
    QFETCH(QString, cup);
    QFETCH(quint64, seed);
    QFETCH(int, teams);
    QFETCH(int, rounds);
    QFETCH(bool, half);
    const CupSetup setup = playableCup(seed, static_cast<std::size_t>(teams));
    QVERIFY(setup.list);
    const CupRecords records = played(setup, seed, rounds, half);
    QCOMPARE(records.draws.empty(), rounds == 0 && !half);
    const QString file = newFileCup(QStringLiteral("source-%1.velmorin").arg(seed), setup, records);
    QVERIFY(!file.isEmpty());
    const QString copy = m_dir.filePath(QStringLiteral("copie-%1.velmorin").arg(seed));

    const CalcRun published = runCup({"--coupe", file, "--publier", address(cup)});
    QVERIFY2(published.status == 0, published.err.c_str());
    const CalcRun copied = runCup({"--coupe", address(cup), "--copie", copy});
    QVERIFY2(copied.status == 0, copied.err.c_str());
    QCOMPARE(published.out + copied.out, std::string());

    for (const QStringList &shown :
         {QStringList{"--tableau"}, QStringList{"--tableau", "--format", "csv"}, QStringList{},
          QStringList{"--entrees", "--format", "csv"}}) {
        const CalcRun before = runCup(QStringList{"--coupe", file} + shown);
        const CalcRun after = runCup(QStringList{"--coupe", copy} + shown);
        QVERIFY2(before.status == 0, before.err.c_str());
        QCOMPARE(after.status, 0);
        QCOMPARE(after.out, before.out);
    }
    const CupOpening original = CupStore::open(file, CupStore::Mode::ReadOnly);
    const CupOpening back = CupStore::open(copy, CupStore::Mode::ReadOnly);
    QVERIFY2(back.ok(), back.message.c_str());
    QVERIFY(back.store->setup() == original.store->setup());
    QVERIFY(back.store->records() == original.store->records());
}

void TestCalcCupServer::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString file = QStringLiteral("FILE"); // a file cup, published as "Déjà là"
    const QString there = address(QStringLiteral("Déjà là"));
    QTest::newRow("published twice")
        << QStringList{"--coupe", file, "--publier", there} << 2
        << "Une coupe « Déjà là » est déjà sur ce serveur : elle n'est pas remplacée.";
    QTest::newRow("copied onto a file")
        << QStringList{"--coupe", there, "--copie", file} << 2
        << "Le fichier « refus.velmorin » existe déjà : la coupe n'est pas créée.";
    QTest::newRow("no such cup") << QStringList{"--coupe", address("Absente"), "--copie", "NEW"}
                                 << 2 << "Il n'y a pas de coupe « Absente » sur ce serveur.";
    QTest::newRow("password given")
        << QStringList{"--coupe", file, "--publier", "postgresql://o:secret@h/b#C"} << 2
        << "Le mot de passe ne se donne pas dans l'adresse : libpq le lit dans ~/.pgpass, "
           "PGPASSWORD ou un fichier de service.";
    QTest::newRow("published from a server")
        << QStringList{"--coupe", there, "--publier", there} << 2
        << "L'option --publier part d'une coupe dans un fichier : --coupe FICHIER --publier "
           "ADRESSE.";
    QTest::newRow("published to a file") << QStringList{"--coupe", file, "--publier", "NEW"} << 2
                                         << "L'option --publier attend l'adresse d'un serveur : "
                                            "postgresql://utilisateur@serveur/base#Nom de la "
                                            "coupe.";
    QTest::newRow("copied from a file")
        << QStringList{"--coupe", file, "--copie", "NEW"} << 2
        << "L'option --copie part d'une coupe sur un serveur : --coupe ADRESSE --copie FICHIER.";
    QTest::newRow("server cup shown") << QStringList{"--coupe", there, "--tableau"} << 2
                                      << "Une coupe sur un serveur se copie dans un fichier "
                                         "(--copie FICHIER) pour être lue ou jouée avec --coupe.";
    QTest::newRow("two actions")
        << QStringList{"--coupe", there, "--copie", "NEW", "--salle", "Nord", "--role", "r"} << 2
        << "Une seule action à la fois sur une coupe et son serveur : --publier, --copie, "
           "--salle ou --affecter.";
    QTest::newRow("venue without role") << QStringList{"--coupe", there, "--salle", "Nord"} << 2
                                        << "Les options --salle et --role vont ensemble : une "
                                           "salle et le rôle PostgreSQL avec lequel elle se "
                                           "connecte.";
    QTest::newRow("venue of a file")
        << QStringList{"--coupe", file, "--salle", "Nord", "--role", "calccup_nord"} << 2
        << "Les salles sont celles d'une coupe sur un serveur : --coupe "
           "postgresql://utilisateur@serveur/base#Nom de la coupe.";
    QTest::newRow("round 7") << QStringList{"--coupe", there, "--affecter", "7", "1", "Nord"} << 2
                             << "Le tour '7' va de 1 à 6.";
    QTest::newRow("group 0") << QStringList{"--coupe", there, "--affecter", "1", "0", "Nord"} << 2
                             << "La poule '0' se compte à partir de 1.";
    QTest::newRow("assignment cut short")
        << QStringList{"--coupe", there, "--affecter", "1", "2"} << 2
        << "L'option --affecter attend un tour, une poule et "
           "une salle.";
    QTest::newRow("group of a round not drawn")
        << QStringList{"--coupe", there, "--affecter", "2", "1", "Nord"} << 2
        << "Le Tour 2 n'est pas tiré : ses poules n'ont pas encore de salle.";
    QTest::newRow("unknown option")
        << QStringList{"--coupe", there, "--copie", "NEW", "--vite"} << 2
        << "Option inconnue '--vite' avec une coupe sur un "
           "serveur : --publier, --copie, --salle avec --role, ou "
           "--affecter.";
    QTest::newRow("no server there")
        << QStringList{"--coupe", "postgresql://o@/b?host=/nonexistent#C", "--copie", "NEW"} << 2
        << "SERVER";
}

// Refused: one sentence, status 2, and neither the file nor the server's cup changed.
void TestCalcCupServer::refused()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString file = m_dir.filePath(QStringLiteral("refus.velmorin"));
    if (!QFile::exists(file)) {
        const CupSetup setup = playableCup(9, 40);
        QVERIFY(!newFileCup(QStringLiteral("refus.velmorin"), setup, played(setup, 9, 0, true))
                     .isEmpty());
        const CalcRun published =
            runCup({"--coupe", file, "--publier", address(QStringLiteral("Déjà là"))});
        QVERIFY2(published.status == 0, published.err.c_str());
    }
    const QString fresh = m_dir.filePath(QStringLiteral("jamais.velmorin"));
    args.replaceInStrings(QRegularExpression(QStringLiteral("^FILE$")), file);
    args.replaceInStrings(QRegularExpression(QStringLiteral("^NEW$")), fresh);
    const QString board = address(QStringLiteral("Déjà là"));
    const auto serverJournal = [&] {
        QSqlDatabase db = pgConnect(QStringLiteral("journal"), m_socket, kOrganiser, kDatabase);
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT count(*) FROM \"Déjà là\".journal"));
        const int lines = query.next() ? query.value(0).toInt() : -1;
        query = QSqlQuery();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("journal"));
        return lines;
    };
    const int linesBefore = serverJournal();
    QVERIFY(linesBefore > 0);
    const CupOpening before = CupStore::open(file, CupStore::Mode::ReadOnly);
    QVERIFY(before.ok());

    const CalcRun run = runCup(args);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, std::string());
    if (message == QLatin1String("SERVER"))
        QVERIFY2(QString::fromStdString(run.err).startsWith(
                     QStringLiteral("velmorin-calc: Le serveur de la coupe « postgresql://o@/b#C "
                                    "» ne répond pas ou refuse la connexion : ")),
                 run.err.c_str());
    else
        QCOMPARE(QString::fromStdString(run.err), "velmorin-calc: " + message + '\n');
    QVERIFY(!QFile::exists(fresh));
    QCOMPARE(serverJournal(), linesBefore);
    const CupOpening after = CupStore::open(file, CupStore::Mode::ReadOnly);
    QVERIFY(after.store->records() == before.store->records());
    QCOMPARE(after.store->journal().size(), before.store->journal().size());
    Q_UNUSED(board);
}

// A venue added and given a group by the calculator: its role may then record that group's
// games, by the server's own rules.
void TestCalcCupServer::venueAndGroup()
{
    const CupSetup setup = playableCup(11, 40);
    const QString file =
        newFileCup(QStringLiteral("salles.velmorin"), setup, played(setup, 11, 0, true));
    const QString cup = QStringLiteral("Salles");
    for (const QStringList &args :
         {QStringList{"--coupe", file, "--publier", address(cup)},
          QStringList{"--coupe", address(cup), "--salle", "Nord", "--role", "calccup_nord"},
          QStringList{"--coupe", address(cup), "--affecter", "1", "2", "Nord"}}) {
        const CalcRun run = runCup(args);
        QVERIFY2(run.status == 0, run.err.c_str());
    }
    {
        QSqlDatabase db =
            pgConnect(QStringLiteral("nord"), m_socket, QStringLiteral("calccup_nord"), kDatabase);
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("SELECT pool FROM \"Salles\".venue_pool")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 2);
        QVERIFY(!query.next());
        QVERIFY(query.exec(QStringLiteral("UPDATE \"Salles\".result SET loser_score = 0 "
                                          "WHERE round = 1 AND pool = 2")));
        QVERIFY(query.exec(QStringLiteral("UPDATE \"Salles\".result SET loser_score = 0 "
                                          "WHERE round = 1 AND pool = 1")));
        QCOMPARE(query.numRowsAffected(), 0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("nord"));
    const CalcRun twice =
        runCup({"--coupe", address(cup), "--salle", "Nord bis", "--role", "calccup_nord"});
    QCOMPARE(twice.status, 2);
}

QTEST_GUILESS_MAIN(TestCalcCupServer)
#include "tst_calccup_server.moc"
