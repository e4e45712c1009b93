// velmorin-calc --coupe F --nouvelle: the cups the calculator refuses to make, with nothing
// written, and the plans it names instead, each made and drawn for real.

#include "CupCalcRun.h"

#include "ByteSink.h"

#include <QtTest>

#include <sstream>

namespace {

using velmorin::testing::runCup;

const QString kSample = QStringLiteral(VELMORIN_SAMPLE_LIST);

} // namespace

class TestCalcCupCreate : public QObject
{
    Q_OBJECT

private slots:
    void unplayablePlans_data();
    void unplayablePlans();
    void sameNames_data();
    void sameNames();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestCalcCupCreate::unplayablePlans_data()
{
    QTest::addColumn<QStringList>("plan"); // ratios, then FINALE ENTRANTS1 CLASSE POSITION
    QTest::addColumn<QString>("refusal");

    QTest::newRow("21 teams at the quarter")
        << QStringList{"--tour4", "1/2", "--quart", "3/4", "--demi", "3/4", "12", "52", "1", "4"}
        << "Le Tour 5 compte 21 équipes : il ne se joue pas en poules de quatre";
    QTest::newRow("10 teams at the semi")
        << QStringList{"--tour4", "1/2", "--quart", "1/2", "--demi", "3/4", "8", "40", "1", "1"}
        << "Le Tour 6 compte 10 équipes : il ne se joue pas en poules de quatre";
}

// Refused with exit 2 and no file; each plan the refusal names makes a cup whose round 1 is
// drawn.
void TestCalcCupCreate::unplayablePlans()
{
    QFETCH(QStringList, plan);
    QFETCH(QString, refusal);

    const QString cup = path(QString("refusee-%1.velmorin").arg(QTest::currentDataTag()));
    const auto refused = runCup(
        QStringList{"--coupe", cup, "--nouvelle", "Coupe", "--equipes", kSample, "--graine", "7"} +
        plan);
    QCOMPARE(refused.status, 2);
    QVERIFY(!QFileInfo::exists(cup));
    const QString err = QString::fromStdString(refused.err);
    QVERIFY2(err.contains(refusal), qPrintable(err));
    QCOMPARE(err.count('\n'), 1);

    static const QRegularExpression named(
        "finale à (\\d+) \\(Tour 4 en (\\S+), quart en (\\S+), demi en (\\S+)\\), (\\d+) "
        "entrantes au Tour 1, classe (\\d), solution (\\d+)");
    int made = 0;
    for (auto match = named.globalMatch(err); match.hasNext(); ++made) {
        const QRegularExpressionMatch m = match.next();
        const QString other =
            path(QString("proposee-%1-%2.velmorin").arg(QTest::currentDataTag()).arg(made));
        const auto created =
            runCup({"--coupe", other, "--nouvelle", "Coupe", "--equipes", kSample, "--graine", "7",
                    "--tour4", m.captured(2), "--quart", m.captured(3), "--demi", m.captured(4),
                    m.captured(1), m.captured(5), m.captured(6), m.captured(7)});
        QVERIFY2(created.status == 0, created.err.c_str());
        const auto summary = runCup({"--coupe", other, "--format", "csv"});
        QVERIFY2(QString::fromStdString(summary.out).contains("finale," + m.captured(1) + "\n"),
                 summary.out.c_str());
        const auto drawn = runCup({"--coupe", other, "--tirage", "1"});
        QVERIFY2(drawn.status == 0, drawn.err.c_str());
    }
    QCOMPARE(made, 3);
}

void TestCalcCupCreate::sameNames_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("refusal"); // "" when the cup is made

    // The hand list of the other cup tests (header on line 1), two of its teams renamed.
    const auto list = [](const char *line2, const char *line9) {
        return QByteArray("Équipe;Club;Niveau;Points\n") + line2 +
               "\nA2;C;1;90\nA3;C;1;90\nB1;C;2;\nB2;C;2;50\nB3;C;2;50\nC1;C;3;10\n" + line9 +
               "\nC3;C;;\nC4;C;3;\nD1;C;4;0\nD2;C;4;-3\n";
    };
    QTest::newRow("a name typed again in capitals")
        << list("Tassin A;Boule Lyonnaise de Tassin;1;100", "TASSIN A;BOULE LYONNAISE DE TASSIN;;5")
        << "« Tassin A » (ligne 2) et « TASSIN A » (ligne 9)";
    QTest::newRow("one name in two clubs") << list("Les Amis;Vaise;1;100", "Les Amis;Tassin;;5")
                                           << "« Les Amis » (ligne 2) et « Les Amis » (ligne 9)";
    QTest::newRow("punctuation only") << list("Saint-Cyr;C;1;100", "St Cyr;C;;5") << "";
    QTest::newRow("names that differ") << list("Tassin A;Tassin;1;100", "Tassin B;TASSIN;;5") << "";
}

// The reader's warning and the cup's refusal name the same lines.
void TestCalcCupCreate::sameNames()
{
    QFETCH(QByteArray, list);
    QFETCH(QString, refusal);

    const QString file = path(QString("liste-%1.csv").arg(QTest::currentDataTag()));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(list);
    out.close();
    const QString cup = path(QString("noms-%1.velmorin").arg(QTest::currentDataTag()));
    const auto run = runCup({"--coupe", cup, "--nouvelle", "Coupe", "--equipes", file, "--graine",
                             "3", "1", "4", "1", "1"});
    const QString err = QString::fromStdString(run.err);
    if (refusal.isEmpty()) {
        QVERIFY2(run.status == 0, qPrintable(err));
        QVERIFY(QFileInfo::exists(cup));
        QCOMPARE(err, QString());
        return;
    }
    QCOMPARE(run.status, 2);
    QVERIFY(!QFileInfo::exists(cup));
    const QStringList lines = err.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2); // the reader's warning, then the refusal
    const QRegularExpression pair("ligne (\\d+)");
    QStringList warned;
    for (auto m = pair.globalMatch(lines[0]); m.hasNext();)
        warned.prepend(m.next().captured(1));
    QStringList refused;
    for (auto m = pair.globalMatch(lines[1]); m.hasNext();)
        refused.append(m.next().captured(1));
    QCOMPARE(warned, refused);
    QVERIFY2(lines[1].contains(refusal), qPrintable(lines[1]));
}

QTEST_GUILESS_MAIN(TestCalcCupCreate)
#include "tst_calccup_create.moc"
