#include "Plan.h"

#include <QtTest>

using namespace velmorin;

namespace {

Problem problemOf(std::int32_t registered, std::int32_t entrants1, Ratio round4 = Ratio::Half)
{
    Problem problem;
    problem.registered = registered;
    problem.finale = 6;
    problem.entrants1 = entrants1;
    problem.round4 = round4;
    return problem;
}

// 80 teams, 6 in the final, 24 at round 1: 4, 4 and 5 solutions in classes 3, 2, 1.
std::optional<Plan> typicalPlan(int classNumber, int position)
{
    return makePlan(calculate(problemOf(80, 24)), exemptionClassFromNumber(classNumber), position);
}

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

class TestPlan : public QObject
{
    Q_OBJECT

private slots:
    void rounds_data();
    void rounds();
    void noPlanOutsideTheClass_data();
    void noPlanOutsideTheClass();
    void sheetTexts_data();
    void sheetTexts();
    void clipboard_data();
    void clipboard();
    void clipboardEscapes_data();
    void clipboardEscapes();
};

// Columns per round: playing, entering, through (-1 for none).
void TestPlan::rounds_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("entrants1");
    QTest::addColumn<int>("round4");
    QTest::addColumn<int>("classNumber");
    QTest::addColumn<int>("position");
    QTest::addColumn<QList<qint64>>("playing");
    QTest::addColumn<QList<qint64>>("entering");
    QTest::addColumn<QList<qint64>>("through");
    QTest::addColumn<QStringList>("ratios");

    QTest::newRow("typical use: 80, class 2 at 3")
        << 80 << 24 << 0 << 2 << 3 << QList<qint64>{24, 56, 52, 47, 24, 12, 6}
        << QList<qint64>{24, 38, 10, 8, 0, 0, 0} << QList<qint64>{18, 42, 39, 24, 12, 6, -1}
        << QStringList{"3/4", "3/4", "3/4", "1/2", "1/2", "1/2", ""};
    QTest::newRow("defaults, class 3 first")
        << 71 << 20 << 0 << 3 << 1 << QList<qint64>{20, 20, 60, 46, 24, 12, 6}
        << QList<qint64>{20, 5, 45, 1, 0, 0, 0} << QList<qint64>{15, 15, 45, 24, 12, 6, -1}
        << QStringList{"3/4", "3/4", "3/4", "1/2", "1/2", "1/2", ""};
    // Round 4 at 3/4: class 1 needs 32 teams in round 4 to give the quarter-final its 24.
    QTest::newRow("round 4 at 3/4")
        << 44 << 20 << 1 << 1 << 1 << QList<qint64>{20, 16, 12, 32, 24, 12, 6}
        << QList<qint64>{20, 1, 0, 23, 0, 0, 0} << QList<qint64>{15, 12, 9, 24, 12, 6, -1}
        << QStringList{"3/4", "3/4", "3/4", "3/4", "1/2", "1/2", ""};
}

void TestPlan::rounds()
{
    QFETCH(int, registered);
    QFETCH(int, entrants1);
    QFETCH(int, round4);
    QFETCH(int, classNumber);
    QFETCH(int, position);
    QFETCH(QList<qint64>, playing);
    QFETCH(QList<qint64>, entering);
    QFETCH(QList<qint64>, through);
    QFETCH(QStringList, ratios);

    const Calculation calculation =
        calculate(problemOf(registered, entrants1, ratioFromIndex(round4)));
    const std::optional<Plan> plan =
        makePlan(calculation, exemptionClassFromNumber(classNumber), position);
    QVERIFY(plan);
    QCOMPARE(plan->position, position);
    QVERIFY(plan->entrantsAddUp());
    QList<qint64> gotPlaying, gotEntering, gotThrough;
    QStringList gotRatios;
    for (const PlanRound &round : plan->rounds) {
        gotPlaying << round.playing;
        gotEntering << round.entering;
        gotThrough << round.through.value_or(-1);
        gotRatios << (round.ratio ? q(std::string(ratioText(*round.ratio))) : QString());
    }
    QCOMPARE(gotPlaying, playing);
    QCOMPARE(gotEntering, entering);
    QCOMPARE(gotThrough, through);
    QCOMPARE(gotRatios, ratios);
}

void TestPlan::noPlanOutsideTheClass_data()
{
    QTest::addColumn<int>("entrants1");
    QTest::addColumn<int>("position");

    QTest::newRow("position 0") << 24 << 0;
    QTest::newRow("past the last") << 24 << 5;
    QTest::newRow("class without solution") << 22 << 1; // round 1 is not whole
}

void TestPlan::noPlanOutsideTheClass()
{
    QFETCH(int, entrants1);
    QFETCH(int, position);
    const Calculation calculation = calculate(problemOf(80, entrants1));
    QVERIFY(!makePlan(calculation, ExemptionClass::Class2, position));
}

void TestPlan::sheetTexts_data()
{
    QTest::addColumn<int>("classNumber");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("classText");
    QTest::addColumn<QString>("positionText");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("check");

    QTest::newRow("class 2") << 2 << 3 << "1 équipe exemptée du Tour 4"
                             << "solution 3 sur 4"
                             << "Au Tour 4, 1 équipe exemptée passe directement en 1/4 Finale : "
                                "46 équipes jouent, 23 sont qualifiées."
                             << "Contrôle : 24 + 38 + 10 + 8 = 80 entrantes = 80 inscrites";
    QTest::newRow("class 3") << 3 << 1 << "2 équipes exemptées du Tour 4"
                             << "solution 1 sur 4"
                             << "Au Tour 4, 2 équipes exemptées passent directement en 1/4 "
                                "Finale : 44 équipes jouent, 22 sont qualifiées."
                             << "Contrôle : 24 + 34 + 21 + 1 = 80 entrantes = 80 inscrites";
    QTest::newRow("class 1") << 1 << 5 << "aucune équipe exemptée"
                             << "solution 5 sur 5"
                             << ""
                             << "Contrôle : 24 + 38 + 6 + 12 = 80 entrantes = 80 inscrites";
}

void TestPlan::sheetTexts()
{
    QFETCH(int, classNumber);
    QFETCH(int, position);
    QFETCH(QString, classText);
    QFETCH(QString, positionText);
    QFETCH(QString, note);
    QFETCH(QString, check);

    const std::optional<Plan> plan = typicalPlan(classNumber, position);
    QVERIFY(plan);
    const PlanSheet sheet = planSheet(*plan);
    QCOMPARE(q(sheet.title), QStringLiteral("Plan de la coupe"));
    QCOMPARE(q(sheet.details.at(4).second), classText);
    QCOMPARE(q(sheet.details.at(5).second), positionText);
    QCOMPARE(q(sheet.note), note);
    QCOMPARE(q(sheet.check), check);

    // A plan whose entrants miss a team says so.
    Plan broken = *plan;
    broken.problem.registered += 1;
    QVERIFY(!broken.entrantsAddUp());
    QVERIFY(q(checkText(broken)).contains(QStringLiteral("80 entrantes ≠ 81 inscrites")));
}

void TestPlan::clipboard_data()
{
    QTest::addColumn<int>("classNumber");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("tsv");
    QTest::addColumn<QString>("htmlRound4");

    // Round 4 plays 46 and sends 24 on: the note says that 2 of them never played it.
    QTest::newRow("class 3")
        << 3 << 1
        << QStringLiteral("Plan de la coupe\n"
                          "\n"
                          "Équipes inscrites\t80\n"
                          "Équipes en finale\t6\n"
                          "Entrantes au Tour 1\t24\n"
                          "Rapport du Tour 4\t1/2\n"
                          "Classe\t2 équipes exemptées du Tour 4\n"
                          "Position\tsolution 1 sur 4\n"
                          "\n"
                          "Tour\tEn jeu\tEntrantes\tQualifiées\tRapport\n"
                          "Tour 1\t24\t24\t18\t3/4\n"
                          "Tour 2\t52\t34\t39\t3/4\n"
                          "Tour 3\t60\t21\t45\t3/4\n"
                          "Tour 4 (1/8 Finale)\t46\t1\t24\t1/2\n"
                          "1/4 Finale\t24\t0\t12\t1/2\n"
                          "1/2 Finale\t12\t0\t6\t1/2\n"
                          "Finale\t6\t0\t—\t—\n"
                          "\n"
                          "Au Tour 4, 2 équipes exemptées passent directement en 1/4 Finale : "
                          "44 équipes jouent, 22 sont qualifiées.\n"
                          "Contrôle : 24 + 34 + 21 + 1 = 80 entrantes = 80 inscrites\n")
        << QStringLiteral("<tr><td>Tour 4 (1/8 Finale)</td><td>46</td><td>1</td><td>24</td>"
                          "<td>1/2</td></tr>");
}

// What the clipboard carries is what the printed sheet says, in both forms.
void TestPlan::clipboard()
{
    QFETCH(int, classNumber);
    QFETCH(int, position);
    QFETCH(QString, tsv);
    QFETCH(QString, htmlRound4);

    const std::optional<Plan> plan = typicalPlan(classNumber, position);
    QVERIFY(plan);
    QCOMPARE(q(planTsv(*plan)), tsv);

    const QString html = q(planHtml(*plan));
    QVERIFY2(html.contains(htmlRound4), qPrintable(html));
    QVERIFY(html.contains(QStringLiteral("<tr><th>Tour</th><th>En jeu</th><th>Entrantes</th>"
                                         "<th>Qualifiées</th><th>Rapport</th></tr>")));
    QCOMPARE(html.count(QStringLiteral("<tr>")), 6 + 1 + 7);
    // Every line of the text form that is no table row is a paragraph, heading or cell here.
    for (const QString &line : tsv.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        for (const QString &cell : line.split(QLatin1Char('\t')))
            QVERIFY2(html.contains(QLatin1Char('>') + cell + QLatin1Char('<')), qPrintable(cell));
    }
}

// The texts are the program's own today; a sheet text that holds markup, quotes or a tab must
// still come out as text and keep the table's shape.
void TestPlan::clipboardEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("tsv");

    QTest::newRow("markup") << QStringLiteral("<b>Coupe</b> & <i>Cie</i>")
                            << QStringLiteral(
                                   "&lt;b&gt;Coupe&lt;/b&gt; &amp; &lt;i&gt;Cie&lt;/i&gt;")
                            << QStringLiteral("<b>Coupe</b> & <i>Cie</i>");
    QTest::newRow("quotes") << QStringLiteral("\"Été\" d'Arles")
                            << QStringLiteral("&quot;Été&quot; d&#39;Arles")
                            << QStringLiteral("\"Été\" d'Arles");
    QTest::newRow("an entity already")
        << QStringLiteral("&amp;") << QStringLiteral("&amp;amp;") << QStringLiteral("&amp;");
    QTest::newRow("tab and line end")
        << QStringLiteral("a\tb\nc") << QStringLiteral("a\tb\nc") << QStringLiteral("a b c");
}

void TestPlan::clipboardEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, html);
    QFETCH(QString, tsv);

    const std::optional<Plan> plan = typicalPlan(2, 3);
    QVERIFY(plan);
    PlanSheet sheet = planSheet(*plan);
    const std::string raw = text.toStdString();
    sheet.title = raw;
    sheet.details.at(4).second = raw;
    sheet.rows.at(6).at(0) = raw;
    sheet.note = raw;
    sheet.check = raw;

    const QString shownHtml = q(sheetHtml(sheet));
    QCOMPARE(shownHtml.count(html), 5);
    if (!html.contains(text)) // the raw markup never comes through
        QVERIFY2(!shownHtml.contains(text), qPrintable(shownHtml));
    QCOMPARE(shownHtml.count(QStringLiteral("<tr>")), 6 + 1 + 7);

    const QStringList lines = q(sheetTsv(sheet)).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 21); // 20 lines and the empty text after the last line end
    QCOMPARE(lines.at(0), tsv);
    QCOMPARE(lines.at(6), QStringLiteral("Classe\t") + tsv);
    QCOMPARE(lines.at(16), tsv + QStringLiteral("\t6\t0\t—\t—"));
    QCOMPARE(lines.at(18), tsv);
    QCOMPARE(lines.at(19), tsv);
}

QTEST_APPLESS_MAIN(TestPlan)
#include "tst_plan.moc"
