#include "CalcCup.h"
#include "CalcRun.h"
#include "TeamLists.h"

#include "ByteSink.h"

#include <QtTest>

#include <sstream>

namespace {

velmorin::testing::CalcRun runCup(const QStringList &args)
{
    std::vector<std::string> argv;
    for (const QString &a : args)
        argv.push_back(a.toStdString());
    std::ostringstream out;
    std::ostringstream err;
    velmorin::OstreamSink sink(out);
    velmorin::testing::CalcRun result;
    result.status = velmorin::cli::runCupCalc(argv, sink, err);
    result.out = out.str();
    result.err = err.str();
    return result;
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

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestCalcCup::initTestCase()
{
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
                             << "pas de solution 99";
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
                                    << "option inconnue";
    QTest::newRow("order without new")
        << QStringList{"--coupe", "%1/c.velmorin", "--ordre-niveaux", "1"} << 2 << ""
        << "qu'avec --nouvelle";
    QTest::newRow("no file") << QStringList{"--coupe"} << 2 << ""
                             << "attend une valeur";
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

QTEST_GUILESS_MAIN(TestCalcCup)
#include "tst_calccup.moc"
