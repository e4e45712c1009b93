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

    const std::optional<Plan> plan =
        makePlan(calculate(problemOf(80, 24)), exemptionClassFromNumber(classNumber), position);
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

QTEST_APPLESS_MAIN(TestPlan)
#include "tst_plan.moc"
