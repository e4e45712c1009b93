#include "CupCalcRun.h"
#include "TeamLists.h"

#include "ByteSink.h"
#include "CupSimulation.h"
#include "CupStore.h"

#include <QCryptographicHash>
#include <QtTest>

#include <sys/stat.h>

#include <sstream>

namespace {

using velmorin::testing::runCup;

// A refusal's first line: the program's name, then one sentence (a capital, a final period).
bool isSentence(const std::string &err)
{
    const std::string first = err.substr(0, err.find('\n'));
    const std::string prefix = "velmorin-calc: ";
    if (first.compare(0, prefix.size(), prefix) != 0 || first.size() <= prefix.size() + 1)
        return false;
    const std::string said = first.substr(prefix.size());
    const bool capital = (said.front() >= 'A' && said.front() <= 'Z') ||
                         said.compare(0, 2, "\xC3\x89") == 0 || said.front() == '\xC2'; // É, «
    return capital && said.back() == '.';
}

} // namespace

class TestCalcCup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lines_data();
    void lines();
    void entriesAsTeamList_data();
    void entriesAsTeamList();
    void playedToTheFinal();
    void actions_data();
    void actions();
    void helpNamesEveryOption();
    void groupPlayed_data();
    void groupPlayed();
    void sameAsTheCup_data();
    void sameAsTheCup();
    void controlsNeverReachTheTerminal_data();
    void controlsNeverReachTheTerminal();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestCalcCup::initTestCase()
{
    QVERIFY(velmorin::testing::writeSampleTeams(VELMORIN_SAMPLE_LIST, path("douze.csv"), 12));
    QFile list(path("equipes.csv"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(velmorin::testing::kHandList);
    list.close();
    QFile text(path("texte.velmorin"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("pas une coupe\n");
    text.close();
    const auto made = runCup({"--coupe", path("c.velmorin"), "--nouvelle", "Coupe, d'été",
                              "--equipes", path("equipes.csv"), "--graine", "42", "--ordre-niveaux",
                              "1, 2,Nationale 3", "1", "4", "1", "1"});
    QVERIFY2(made.status == 0, made.err.c_str());
}

void TestCalcCup::lines_data()
{
    QTest::addColumn<QStringList>("args"); // %1 stands for the test's folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("summary csv") << QStringList{"--coupe", "%1/c.velmorin", "--format", "csv"} << 0
                                 << "cle,valeur\nnom,\"Coupe, d'été\"\ndate,"
                                 << "";
    QTest::newRow("summary csv keys")
        << QStringList{"--format=csv", "--coupe=%1/c.velmorin", "--separateur", ";"} << 0
        << "inscrites;12\nfinale;1\nentrants1;4\ntour4;1/2\nquart;1/2\ndemi;1/2\nclasse;1\n"
           "position;1\ngraine;42\nequipes;12\nliste;equipes.csv\n"
        << "";
    QTest::newRow("summary table") << QStringList{"--coupe", "%1/c.velmorin"} << 0
                                   << "Graine du tirage : 42\nListe : equipes.csv (12 équipes)"
                                   << "";
    QTest::newRow("exists") << QStringList{"--coupe",    "%1/c.velmorin",
                                           "--nouvelle", "X",
                                           "--equipes",  "%1/equipes.csv",
                                           "1",          "4",
                                           "1",          "1"}
                            << 2 << ""
                            << "existe déjà";
    QTest::newRow("missing") << QStringList{"--coupe", "%1/absente.velmorin"} << 2 << ""
                             << "n'existe pas";
    QTest::newRow("not a cup") << QStringList{"--coupe", "%1/texte.velmorin", "--entrees"} << 2
                               << ""
                               << "n'est pas une coupe";
    QTest::newRow("no plan") << QStringList{"--coupe",    "%1/p.velmorin",
                                            "--nouvelle", "X",
                                            "--equipes",  "%1/equipes.csv",
                                            "1",          "4",
                                            "1",          "99"}
                             << 2 << ""
                             << "Pas de solution 99";
    QTest::newRow("missing list") << QStringList{"--coupe",    "%1/p.velmorin",
                                                 "--nouvelle", "X",
                                                 "--equipes",  "%1/rien.csv",
                                                 "1",          "4",
                                                 "1",          "1"}
                                  << 2 << ""
                                  << "rien.csv";
    QTest::newRow("no folder") << QStringList{"--coupe",    "%1/nulle/part.velmorin",
                                              "--nouvelle", "X",
                                              "--equipes",  "%1/equipes.csv",
                                              "1",          "4",
                                              "1",          "1"}
                               << 1 << ""
                               << "n'a pas pu être créée";
    QTest::newRow("unknown option") << QStringList{"--coupe", "%1/c.velmorin", "--scan"} << 2 << ""
                                    << "Option inconnue";
    QTest::newRow("order without new")
        << QStringList{"--coupe", "%1/c.velmorin", "--ordre-niveaux", "1"} << 2 << ""
        << "qu'avec --nouvelle";
    QTest::newRow("no file") << QStringList{"--coupe"} << 2 << ""
                             << "attend une valeur";
    QTest::newRow("help") << QStringList{"--coupe", "%1/c.velmorin", "--tirage", "1", "--help"}
                          << 0 << "Étapes :" << "";
    QTest::newRow("separator with table")
        << QStringList{"--coupe", "%1/c.velmorin", "--separateur", ";"} << 2 << ""
        << "L'option --separateur ne s'applique pas au format table.";
    QTest::newRow("bad separator")
        << QStringList{"--coupe", "%1/c.velmorin", "--format", "csv", "--separateur", "|"} << 2
        << "" << "Séparateur incorrect '|' (, ou ; attendu).";
    QTest::newRow("entries csv ;")
        << QStringList{"--coupe", "%1/c.velmorin", "--entrees", "--format", "csv",
                       "--separateur", ";"}
        << 0 << "tour;equipe;club;niveau;points" << "";
    QTest::newRow("entries and new")
        << QStringList{"--coupe", "%1/c.velmorin", "--entrees", "--nouvelle", "X"} << 2 << ""
        << "Les options --entrees et --nouvelle ne se combinent pas.";
    QTest::newRow("two cups") << QStringList{"--coupe", "%1/c.velmorin", "--coupe", "%1/d"} << 2
                              << "" << "Une seule coupe à la fois";
    QTest::newRow("new without list")
        << QStringList{"--coupe", "%1/p.velmorin", "--nouvelle", "X", "1", "4", "1", "1"} << 2
        << "" << "L'option --nouvelle attend une liste d'équipes : --equipes LISTE.";
    QTest::newRow("extra argument") << QStringList{"--coupe", "%1/c.velmorin", "7"} << 2 << ""
                                    << "Argument en trop '7' avec --coupe.";
    QTest::newRow("modifier alone") << QStringList{"--coupe", "%1/c.velmorin", "--refaire"} << 2
                                    << ""
                                    << "Les options --refaire, --corriger, --score, --partie et --absente";
    // Entry tokens: refused before their group exists, listed without writing.
    QTest::newRow("token before the draw")
        << QStringList{"--coupe", "%1/c.velmorin", "--jeton", "1", "1"} << 2 << ""
        << "Le tour 1 n'est pas encore tiré";
    QTest::newRow("token round") << QStringList{"--coupe", "%1/c.velmorin", "--jeton", "7", "1"}
                                 << 2 << "" << "Le tour est un nombre de 1 à 6, pas '7'.";
    QTest::newRow("token group") << QStringList{"--coupe", "%1/c.velmorin", "--jeton", "1", "0"}
                                 << 2 << "" << "La poule est un nombre à partir de 1, pas '0'.";
    QTest::newRow("token without group")
        << QStringList{"--coupe", "%1/c.velmorin", "--jeton", "1"} << 2 << ""
        << "L'option --jeton attend un tour puis une poule.";
    QTest::newRow("no tokens") << QStringList{"--coupe", "%1/c.velmorin", "--jetons"} << 0
                               << "Aucun jeton de saisie." << "";
    QTest::newRow("tokens extra") << QStringList{"--coupe", "%1/c.velmorin", "--jetons", "7"}
                                  << 2 << "" << "Option ou argument en trop '7'";
    QTest::newRow("revoke unknown")
        << QStringList{"--coupe", "%1/c.velmorin", "--revoquer", "0123abcd"} << 2 << ""
        << "Aucun jeton '0123abcd' dans cette coupe";
    QTest::newRow("two actions")
        << QStringList{"--coupe", "%1/c.velmorin", "--jetons", "--tableau"} << 2 << ""
        << "Une seule action sur la coupe à la fois.";
}

// Each line's status, what it prints, and a refusal that leaves no file behind.
void TestCalcCup::lines()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    for (QString &arg : args)
        arg.replace("%1", m_dir.path());
    const auto run = runCup(args);
    QCOMPARE(run.status, status);
    QVERIFY2(QString::fromStdString(run.out).contains(out), run.out.c_str());
    QVERIFY2(QString::fromStdString(run.err).contains(err), run.err.c_str());
    QCOMPARE(run.err.empty(), err.isEmpty());
    QVERIFY2(status == 0 || isSentence(run.err), run.err.c_str());
    QVERIFY(!QFile::exists(path("p.velmorin")));
}

void TestCalcCup::entriesAsTeamList_data()
{
    QTest::addColumn<QStringList>("format");
    QTest::newRow("table") << QStringList{};
    QTest::newRow("csv") << QStringList{"--format", "csv"};
    QTest::newRow("csv ;") << QStringList{"--format", "csv", "--separateur", ";"};
}

// --entrees gives the same bytes as --equipes on the list with the same seed and plan.
void TestCalcCup::entriesAsTeamList()
{
    QFETCH(QStringList, format);
    const auto cup = runCup(QStringList{"--coupe", path("c.velmorin"), "--entrees"} + format);
    const auto list = velmorin::testing::runCalculator(
        QStringList{"--equipes", path("equipes.csv"), "--graine", "42"} + format +
        QStringList{"1", "4", "1", "1"});
    QCOMPARE(cup.status, 0);
    QCOMPARE(list.status, 0);
    QVERIFY(!cup.out.empty());
    QCOMPARE(cup.out, list.out);
}

// A cup of the sample's first twelve teams played to its final with the calculator alone:
// each round drawn, each game's winner named from the round's CSV, the final's teams listed.
void TestCalcCup::playedToTheFinal()
{
    const QString cup = path("jouee.velmorin");
    const auto made = runCup({"--coupe", cup, "--nouvelle", "Coupe jouée", "--equipes",
                              path("douze.csv"), "--graine", "7", "1", "4", "1", "1"});
    QVERIFY2(made.status == 0, made.err.c_str());
    int results = 0;
    for (int round = 1; round <= 6; ++round) {
        const QString t = QString::number(round);
        const auto drawn = runCup({"--coupe", cup, "--tirage", t});
        QVERIFY2(drawn.status == 0, drawn.err.c_str());
        QVERIFY2(QString::fromStdString(drawn.out).contains("Tour " + t), drawn.out.c_str());
        for (;;) {
            const auto shown = runCup({"--coupe", cup, "--tour", t, "--format", "csv"});
            QCOMPARE(shown.status, 0);
            QString pending;
            for (const QString &row : QString::fromStdString(shown.out).split('\n')) {
                const QStringList cells = row.split(',');
                if (cells.size() == 13 && cells[0] == t && !cells[3].isEmpty() &&
                    !cells[5].isEmpty() && cells[7].isEmpty()) {
                    pending = cells[5];
                    break;
                }
            }
            if (pending.isEmpty())
                break;
            const auto won = runCup({"--coupe", cup, "--gagnant", t, pending, "--score", "13-4"});
            QVERIFY2(won.status == 0, won.err.c_str());
            QVERIFY(QString::fromStdString(won.out).contains(pending));
            ++results;
        }
    }
    QVERIFY(results > 0);
    const auto board = runCup({"--coupe", cup, "--tableau", "--format", "csv"});
    QCOMPARE(board.status, 0);
    QVERIFY2(QString::fromStdString(board.out).contains("finale,"), board.out.c_str());
    QCOMPARE(QString::fromStdString(board.out).count(",4,13,"), results); // team B won each
}

void TestCalcCup::actions_data()
{
    QTest::addColumn<QStringList>("args"); // after --coupe on the cup played to its final
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("html board") << QStringList{"--tableau", "--format", "html"} << 0
                                << "<title>Coupe jouée — résultats du " << "";
    QTest::newRow("round csv") << QStringList{"--tour", "1", "--format", "csv"} << 0
                               << "tour,poule,partie,equipe_a"
                               << "";
    QTest::newRow("round html") << QStringList{"--tour", "1", "--format", "html"} << 2 << ""
                                << "html pour --tableau";
    QTest::newRow("drawn again") << QStringList{"--tirage", "1"} << 2 << ""
                                 << "Tour 1";
    QTest::newRow("redraw after results") << QStringList{"--tirage", "1", "--refaire"} << 2 << ""
                                          << "Tour 2";
    QTest::newRow("unknown team") << QStringList{"--gagnant", "6", "Personne"} << 2 << ""
                                  << "Aucune équipe";
    QTest::newRow("no such number") << QStringList{"--gagnant", "6", "#13"} << 2 << ""
                                    << "compte 12";
    QTest::newRow("round 7") << QStringList{"--tour", "7"} << 2 << ""
                             << "de 1 à 6";
    QTest::newRow("bad score") << QStringList{"--gagnant", "6", "#1", "--score", "13"} << 2 << ""
                               << "13-7";
    QTest::newRow("not in the round") << QStringList{"--gagnant", "1", "#1"} << 2 << ""
                                      << "ne joue pas le Tour 1";
    QTest::newRow("two actions") << QStringList{"--tour", "1", "--tableau"} << 2 << ""
                                 << "Une seule action sur la coupe à la fois.";
    QTest::newRow("frozen earlier round") << QStringList{"--annuler-tirage", "1"} << 2 << ""
                                          << "Seul le dernier tour";
    QTest::newRow("team missing") << QStringList{"--forfait", "6"} << 2 << ""
                                  << "attend un tour puis une équipe";
    QTest::newRow("correct nothing") << QStringList{"--gagnant", "1", "#1", "--corriger"} << 2 << ""
                                     << "";
    QTest::newRow("round csv ;") << QStringList{"--tour", "1", "--format", "csv", "--separateur",
                                                ";"}
                                 << 0 << "tour;poule;partie;equipe_a;club_a;equipe_b" << "";
    QTest::newRow("board csv ;") << QStringList{"--tableau", "--format", "csv", "--separateur=;"}
                                 << 0 << "\nfinale;1;qualifiee;" << "";
    QTest::newRow("board html separator")
        << QStringList{"--tableau", "--format", "html", "--separateur", ";"} << 2 << ""
        << "L'option --separateur ne s'applique pas au format html.";
    QTest::newRow("round table separator") << QStringList{"--tour", "1", "--separateur", ";"}
                                           << 2 << ""
                                           << "ne s'applique pas au format table.";
    QTest::newRow("redo without draw") << QStringList{"--tour", "1", "--refaire"} << 2 << ""
                                       << "L'option --refaire accompagne --tirage.";
    QTest::newRow("correct a round") << QStringList{"--tour", "1", "--corriger"} << 2 << ""
                                     << "L'option --corriger accompagne --gagnant ou --forfait.";
    QTest::newRow("round x") << QStringList{"--tirage", "x"} << 2 << ""
                             << "Le tour est un nombre de 1 à 6, pas 'x'.";
    QTest::newRow("unknown format") << QStringList{"--tour", "1", "--format", "pdf"} << 2 << ""
                                    << "Format inconnu 'pdf' : table ou csv (html pour --tableau).";
    QTest::newRow("stray argument") << QStringList{"--tour", "1", "en-trop"} << 2 << ""
                                    << "Option ou argument en trop 'en-trop'";
}

// Each action on a played cup: what it prints, and a refusal that leaves the cup as it was.
void TestCalcCup::actions()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QString cup = path("jouee.velmorin");
    const QStringList board{"--coupe", cup, "--tableau", "--format", "csv"};
    const std::string before = runCup(board).out;
    // The file's bytes and time: what a backup or a sync tool sees.
    const auto fileState = [&] {
        QFile file(cup);
        struct stat status
        {
        };
        if (!file.open(QIODevice::ReadOnly) || ::stat(QFile::encodeName(cup).constData(), &status))
            return QByteArray();
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256) +
               QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.' +
               QByteArray::number(qint64(status.st_mtim.tv_nsec));
    };
    const QByteArray stateBefore = fileState();
    const auto run = runCup(QStringList{"--coupe", cup} + args);
    QCOMPARE(run.status, status);
    QVERIFY2(QString::fromStdString(run.out).contains(out), run.out.c_str());
    QVERIFY2(QString::fromStdString(run.err).contains(err), run.err.c_str());
    QCOMPARE(run.err.empty(), status == 0);
    QVERIFY2(status == 0 || isSentence(run.err), run.err.c_str());
    QCOMPARE(runCup(board).out, before);
    QCOMPARE(fileState(), stateBefore); // a refusal, or a reading, writes nothing
    QVERIFY(!QFile::exists(cup + ".verrou") && !QFile::exists(cup + "-journal"));
}

// The help walks through the cup and describes every option the cup lines read.
void TestCalcCup::helpNamesEveryOption()
{
    const auto help = runCup({"--coupe", "x", "--help"});
    QCOMPARE(help.status, 0);
    const QString text = QString::fromStdString(help.out);
    for (const char *option :
         {"--nouvelle", "--equipes", "--graine", "--ordre-niveaux", "--tour4", "--quart", "--demi",
          "--entrees", "--tirage", "--refaire", "--gagnant", "--score", "--forfait", "--corriger",
          "--partie", "--qualifiee",
          "--exemptees", "--annuler-tirage", "--tour", "--tableau", "--format", "--separateur",
          "--pointage", "--absente", "--jeux", "--horaire", "--duree",
          "--jeton", "--jetons", "--revoquer",
          "--publier", "--copie", "--salle", "--role", "--affecter", "ADRESSE",
          "FINALE", "ENTRANTS1", "CLASSE", "POSITION", "#N", "Code de retour"})
        QVERIFY2(text.count(option) >= 2 || QString(option).startsWith("Code") ||
                     QString(option) == "#N",
                 option); // in a usage line and in its description
    QVERIFY(text.contains("#N"));
    QVERIFY(text.contains("Code de retour"));
    for (const QString &line : text.split('\n'))
        QVERIFY2(line.size() <= 80, qPrintable(line));
}

void TestCalcCup::groupPlayed_data()
{
    // "ARGS => STATUS|phrase", places "1A" for group 1's team at place A; "0=": done, nothing
    // written.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("results"); // group 1's games as stored: winner, score or forfeit

    // Corrections: the game they change, what they discard, a correction that changes nothing.
    QTest::newRow("a barrage's score corrected by its winner")
        << QStringList{"--gagnant 1 1A => 0", "--gagnant 1 1C => 0",
                       "--gagnant 1 1B --score 13-5 => 0",
                       "--gagnant 1 1B --score 13-8 --corriger => 0|barrage"}
        << "A C B13-8";
    QTest::newRow("a named first game corrected discards the barrage")
        << QStringList{"--gagnant 1 1A => 0", "--gagnant 1 1C => 0",
                       "--gagnant 1 1B --score 13-5 => 0",
                       "--gagnant 1 1B --partie 1 --corriger => 0|barrage de la poule 1 est effacé"}
        << "B C";
    QTest::newRow("a named barrage corrected")
        << QStringList{"--gagnant 1 1A => 0", "--gagnant 1 1C => 0",
                       "--gagnant 1 1D --score 13-5 => 0",
                       "--gagnant 1 1D --score 13-9 --partie barrage --corriger => 0|13-9"}
        << "A C D13-9";
    QTest::newRow("a correction that changes nothing")
        << QStringList{"--gagnant 1 1A --score 13-4 => 0",
                       "--gagnant 1 1A --score 13-4 --corriger => 0=|rien ne change"}
        << "A13-4";
    QTest::newRow("a win corrected into a forfeit")
        << QStringList{"--gagnant 1 1A => 0", "--forfait 1 1A --corriger => 0|déclare forfait"}
        << "Bf";
    QTest::newRow("a score out of range")
        << QStringList{"--gagnant 1 1A --score 1000-0 => 2|entre 0 et 999"} << "";
    QTest::newRow("a score the wrong way round")
        << QStringList{"--gagnant 1 1A --score 7-13 => 2|points du gagnant"} << "";
    QTest::newRow("no score") << QStringList{"--gagnant 1 1A --score 13 => 2|n'est pas un score"}
                              << "";
    // Games named.
    QTest::newRow("a game the team does not play")
        << QStringList{"--gagnant 1 1A --partie 2 => 2|ne joue pas"} << "";
    QTest::newRow("a barrage not yet known")
        << QStringList{"--gagnant 1 1A --partie barrage => 2|attend les résultats"} << "";
    QTest::newRow("an unknown game") << QStringList{"--gagnant 1 1A --partie 3 => 2|barrage"} << "";
    QTest::newRow("a forfeit in a named game")
        << QStringList{"--forfait 1 1B --partie 1 => 0|déclare forfait"} << "Af";
    // Withdrawals, at any moment of the group.
    QTest::newRow("withdrawn before its first game")
        << QStringList{"--forfait 1 1A => 0|déclare forfait", "--gagnant 1 1C => 0"} << "Bf C Df";
    QTest::newRow("withdrawn after losing, before the other first game")
        << QStringList{"--gagnant 1 1B => 0", "--forfait 1 1A => 0|dès que son adversaire",
                       "--gagnant 1 1C => 0|gagne le barrage"}
        << "B C Df";
    QTest::newRow("withdrawn twice")
        << QStringList{"--forfait 1 1A => 0", "--forfait 1 1A => 2|déjà déclaré forfait"} << "Bf";
    QTest::newRow("both losers withdrew: the organiser names the one through")
        << QStringList{"--forfait 1 1A => 0", "--forfait 1 1C => 0|toutes deux",
                       "--qualifiee 1 1A --partie barrage => 0",
                       "--qualifiee 1 1C --partie barrage => 0|à la place de",
                       "--qualifiee 1 1C => 0=|rien ne change"}
        << "Bf Df Cf";
    QTest::newRow("a qualification without two withdrawn teams")
        << QStringList{"--gagnant 1 1A => 0", "--qualifiee 1 1A => 2|aucune partie"} << "A";
}

// A group played by the calculator, step by step, and read back from the file.
void TestCalcCup::groupPlayed()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, results);
    const QString cup = path(QStringLiteral("groupe-%1.velmorin").arg(QTest::currentDataTag()));
    QFile::remove(cup);
    const auto made = runCup({"--coupe", cup, "--nouvelle", "Groupe", "--equipes",
                              path("douze.csv"), "--graine", "7", "1", "4", "1", "1"});
    QVERIFY2(made.status == 0, made.err.c_str());
    QCOMPARE(runCup({"--coupe", cup, "--tirage", "1"}).status, 0);
    const auto records = [&] {
        velmorin::CupOpening opened =
            velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly);
        return opened.ok() ? opened.store->records() : velmorin::CupRecords{};
    };
    const std::vector<int> group = records().draws.at(0).groups.at(0);
    const auto written = [&] { // the records and the journal's length
        velmorin::CupOpening opened =
            velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly);
        return std::make_pair(opened.store->records(), opened.store->journal().size());
    };
    for (const QString &step : steps) {
        const QStringList parts = step.split(QStringLiteral(" => "));
        QStringList args{"--coupe", cup};
        for (const QString &word : parts[0].split(' ')) {
            const bool place =
                word.size() == 2 && word[0] == '1' && word[1] >= 'A' && word[1] <= 'D';
            args << (place ? QStringLiteral("#%1").arg(
                                 group[std::size_t(word[1].toLatin1() - 'A')] + 1)
                           : word);
        }
        const QStringList expected = parts[1].split('|');
        const auto before = written();
        const auto run = runCup(args);
        QVERIFY2(run.status == expected[0].left(1).toInt(),
                 qPrintable(step + " : " + QString::fromStdString(run.err)));
        const QString said = QString::fromStdString(run.out + run.err);
        if (expected.size() > 1)
            QVERIFY2(said.contains(expected[1]), qPrintable(said));
        if (expected[0] != "0") // refused, or nothing to change: the file is as it was
            QVERIFY(written() == before);
    }
    QStringList games;
    for (const velmorin::ResultRecord &result : records().results) {
        if (result.round != 1 || result.group != 1)
            continue;
        QString game(
            QChar('A' + int(std::find(group.begin(), group.end(), result.winner) - group.begin())));
        if (result.withdrawn)
            game += 'f';
        else if (result.winnerScore)
            game += QStringLiteral("%1-%2").arg(*result.winnerScore).arg(*result.loserScore);
        games << game;
    }
    QCOMPARE(games.join(' '), results);
}

namespace {

// The calculator's words for a command on `cup` (before it is applied).
QStringList calculatorArgs(const velmorin::Cup &cup, const velmorin::CupCommand &command)
{
    using namespace velmorin;
    const auto team = [](int index) { return QStringLiteral("#%1").arg(index + 1); };
    const auto named = [&](const GameRef &game) {
        return QStringList{"--partie", game.game == kBarrage ? QStringLiteral("barrage")
                                                             : QString::number(game.game)};
    };
    const auto scored = [](const std::optional<Score> &score) {
        return score ? QStringList{"--score",
                                   QStringLiteral("%1-%2").arg(score->winner).arg(score->loser)}
                     : QStringList{};
    };
    const auto loser = [&](const GameRef &game, int winner) {
        const auto sides = *cup.gameTeams(game);
        return sides.first == winner ? sides.second : sides.first;
    };
    const auto result = [&](const GameRef &game, int winner, const std::optional<Score> &score,
                            bool withdrawal) {
        const QString t = QString::number(game.round);
        return withdrawal ? QStringList{"--forfait", t, team(loser(game, winner))} + named(game)
                          : QStringList{"--gagnant", t, team(winner)} + named(game) + scored(score);
    };
    const auto &action = command.action;
    if (const auto *c = std::get_if<DrawCommand>(&action))
        return {"--tirage", QString::number(c->round)};
    if (const auto *c = std::get_if<RedrawCommand>(&action))
        return {"--tirage", QString::number(c->round), "--refaire"};
    if (const auto *c = std::get_if<CancelDrawCommand>(&action))
        return {"--annuler-tirage", QString::number(c->round)};
    if (const auto *c = std::get_if<ExemptedCommand>(&action)) {
        QStringList teams;
        for (const int t : c->teams)
            teams << team(t);
        return {"--exemptees", teams.join(';')};
    }
    if (const auto *c = std::get_if<ResultCommand>(&action))
        return result(c->game, c->winner, c->score, c->withdrawal);
    if (const auto *c = std::get_if<CorrectionCommand>(&action))
        return result(c->game, c->winner, c->score, c->withdrawal) + QStringList{"--corriger"};
    if (const auto *c = std::get_if<WithdrawalCommand>(&action))
        return {"--forfait", QString::number(c->round), team(c->team)};
    if (const auto *c = std::get_if<RollCallCommand>(&action))
        return QStringList{"--pointage", QString::number(c->round), team(c->team)} +
               (c->present ? QStringList{} : QStringList{"--absente"});
    const auto &c = std::get<QualificationCommand>(action);
    return QStringList{"--qualifiee", QString::number(c.game.round), team(c.team)} + named(c.game);
}

} // namespace

void TestCalcCup::sameAsTheCup_data()
{
    QTest::addColumn<int>("seeds");
    QTest::newRow("12 teams") << 12;
}

// The same random commands given to a cup in memory and, in the calculator's words, to a cup
// file: each is done or refused alike, and the file holds the same cup at the end.
void TestCalcCup::sameAsTheCup()
{
    QFETCH(int, seeds);
    int commands = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        const QString cup = path(QStringLiteral("memoire-%1.velmorin").arg(seed));
        const auto made =
            runCup({"--coupe", cup, "--nouvelle", "Mémoire", "--equipes", path("douze.csv"),
                    "--graine", QString::number(seed), "1", "4", "1", "1"});
        QVERIFY2(made.status == 0, made.err.c_str());
        const auto stored = [&] {
            velmorin::CupOpening opened =
                velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly);
            return *opened.store->cup().cup;
        };
        velmorin::Cup memory = stored();
        velmorin::SeededDraw draw(std::uint64_t(seed) * 97);
        for (int step = 0; step < 400 && memory.finalTeams().empty(); ++step) {
            const velmorin::CupCommand command = velmorin::testing::randomCommand(memory, draw);
            const QStringList args = calculatorArgs(memory, command);
            const velmorin::CupAnswer answer = memory.apply(command);
            const auto run = runCup(QStringList{"--coupe", cup} + args);
            QVERIFY2(run.status == (answer.done ? 0 : 2),
                     qPrintable(args.join(' ') + " : " + QString::fromStdString(answer.text) +
                                " / " + QString::fromStdString(run.err)));
            // The same sentence whoever gives the command (a draw prints its round instead).
            const bool drawing = std::holds_alternative<velmorin::DrawCommand>(command.action) ||
                                 std::holds_alternative<velmorin::RedrawCommand>(command.action);
            // A roll-call's answer is followed by its count.
            const bool calling =
                std::holds_alternative<velmorin::RollCallCommand>(command.action);
            if (answer.done && !drawing)
                QCOMPARE(calling ? run.out.substr(0, answer.text.size() + 1) : run.out,
                         answer.text + '\n');
            ++commands;
        }
        QVERIFY(stored().records() == memory.records());
    }
    QVERIFY(commands > seeds * 20);
}

void TestCalcCup::controlsNeverReachTheTerminal_data()
{
    QTest::addColumn<QStringList>("args"); // after --coupe on a cup whose texts hold escapes
    QTest::addColumn<int>("status");
    QTest::newRow("summary") << QStringList{} << 0;
    QTest::newRow("entries") << QStringList{"--entrees"} << 0;
    QTest::newRow("draw") << QStringList{"--tirage", "1"} << 0;
    QTest::newRow("round") << QStringList{"--tour", "1"} << 0;
    QTest::newRow("result") << QStringList{"--gagnant", "1", "\x1b[2JD1"} << 0;
    QTest::newRow("board") << QStringList{"--tableau"} << 0;
    QTest::newRow("refusal") << QStringList{"--gagnant", "1", "\x1b[2JD1"} << 2;
}

// A cup received from someone else: its name, teams and clubs hold terminal sequences; no
// table, message or refusal lets one through.
void TestCalcCup::controlsNeverReachTheTerminal()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    const QString cup = path("echap.velmorin");
    if (!QFile::exists(cup)) {
        QFile list(path("echap.csv"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(QByteArray(velmorin::testing::kHandList)
                       .replace("D1;C;", "\x1b[2JD1;\x1b[1mGras\x07;")
                       .replace("A2;C;", "A2;\x1b[31mRouge;"));
        list.close();
        const auto made = runCup({"--coupe", cup, "--nouvelle", "Coupe \x1b[5mclignotante",
                                  "--equipes", list.fileName(), "--graine", "42", "1", "4", "1",
                                  "1"});
        QVERIFY2(made.status == 0, made.err.c_str());
    }
    const auto run = runCup(QStringList{"--coupe", cup} + args);
    QVERIFY2(run.status == status, run.err.c_str());
    const std::string both = run.out + run.err;
    QVERIFY2(both.find('\x1b') == std::string::npos && both.find('\x07') == std::string::npos,
             both.c_str());
    if (args.isEmpty())
        QVERIFY2(run.out.find("Coupe ␛[5mclignotante") != std::string::npos, run.out.c_str());
    if (status != 0)
        QVERIFY2(isSentence(run.err), run.err.c_str());
}

QTEST_GUILESS_MAIN(TestCalcCup)
#include "tst_calccup.moc"
