// The organiser's path through the features, as a person takes it: the sample list opened
// in the teams window (F4), "Chercher les plans", the first plan found chosen, and the teams
// window then gives each team its round in the plan the main window shows.

#include "DialogDriver.h"
#include "FeatureTestWindow.h"
#include "ModalAnswers.h"
#include "PlanSearchDialog.h"
#include "TeamAssignment.h"
#include "TeamsDialog.h"
#include "WindowDriver.h"

#include <QPushButton>
#include <QTableView>
#include <QtTest>

using velmorin::Count;
using velmorin::kEntryRounds;

class TestOrganiserPath : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir)); }
    void listToPlanToEntries();

private:
    QTemporaryDir m_settingsDir;
};

void TestOrganiserPath::listToPlanToEntries()
{
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MessageBoxCatcher> boxes;
    std::unique_ptr<TVlmFPrg> window;
    QVERIFY(velmorin::testing::startFeatureWindow(dir, boxes, window));
    setWindow(window.get());

    QTest::keyClick(window.get(), Qt::Key_F4);
    auto *teams = get<velmorin::TeamsDialog>("Equipes");
    velmorin::testing::answerFileDialog(QStringLiteral(VELMORIN_SAMPLE_LIST));
    QTest::mouseClick(get<QPushButton>("OuvrirListe"), Qt::LeftButton);
    QVERIFY(teams->list());
    const std::array<Count, kEntryRounds> wished = teams->mapping().entrantsPerRound();

    QTest::mouseClick(get<QPushButton>("ChercherPlans"), Qt::LeftButton);
    auto *search = get<velmorin::PlanSearchDialog>("RecherchePlans");
    QTRY_VERIFY(search->isVisible());
    QVERIFY(!search->plans().empty());
    const velmorin::RankedPlan first = search->plans().front();
    velmorin::testing::chooseRow(*search, *get<QTableView>("TablePlans"), 0,
                                 QStringLiteral("keyboard"));

    // The main window shows the first plan found for the list's levels...
    const std::optional<velmorin::Plan> shown = window->shownPlan();
    QVERIFY(shown);
    QCOMPARE(shown->exemptionClass, first.exemptionClass);
    QCOMPARE(shown->position, first.position);
    QCOMPARE(shown->problem.registered, Count(teams->list()->teams.size()));
    const std::array<Count, kEntryRounds> entrants = velmorin::planEntrants(*shown);
    if (first.deviation == 0)
        QCOMPARE(entrants, wished);

    // ... and the teams window gives each team its round in it, as the core assigns them.
    const velmorin::AssignmentResult expected =
        velmorin::assignTeams(*teams->list(), teams->mapping(), entrants, teams->seed());
    QVERIFY(expected.ok());
    QTRY_VERIFY(teams->assignment());
    QCOMPARE(teams->assignment()->roundOfTeam, expected.assignment->roundOfTeam);
    QCOMPARE(teams->assignment()->perRound, entrants);
    QVERIFY(boxes->shown().isEmpty());
}

VELMORIN_WINDOW_TEST_MAIN(TestOrganiserPath)
#include "tst_organiser_path.moc"
