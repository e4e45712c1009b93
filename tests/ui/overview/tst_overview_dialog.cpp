// The overview dialog driven as a person would, beside the main window.

#include "DialogDriver.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "RadioGroup.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QValueAxis>
#include <QtTest>

#include <memory>

using velmorin::FeatureNotifier;
using velmorin::TRadioGroup;
using velmorin::TUpDown;

namespace {

// E1: classes 3, 2, 1 for 71 teams, a final of 6 and every ratio 1/2, from the literal loops.
const QStringList kDefaultRows{"0: 5 5 7",  "4: 5 6 7",  "8: 6 6 8",  "12: 6 7 8",
                               "16: 7 7 8", "20: 7 7 7", "24: 6 6 5", "28: 5 4 4",
                               "32: 4 4 3", "36: 3 2 2", "40: 1 1 0"};

// The same for a final of 8, and then 80 and 100 teams.
const QStringList kRows71Final8{"0: 6 5 5", "4: 4 4 3", "8: 3 2 1", "12: 1 0 0"};
const QStringList kRows80Final8{"0: 11 10 10", "4: 9 9 8",  "8: 8 7 7",  "12: 6 6 5",
                                "16: 6 5 4",   "20: 4 3 3", "24: 2 2 1", "28: 1 0 0"};
const QStringList kRows100Final8{"0: 4 6 6",  "4: 5 6 7",  "8: 5 7 7",  "12: 6 7 7",  "16: 6 7 8",
                                 "20: 6 8 8", "24: 7 8 9", "28: 7 9 9", "32: 8 9 10", "36: 8 10 9",
                                 "40: 9 8 7", "44: 7 6 6", "48: 6 6 5", "52: 5 4 4",  "56: 3 3 2",
                                 "60: 2 1 1", "64: 1 1 0"};

// 70 and 100 teams, a final of 6: 36 stays a row for the first and is none for the second.
const QStringList kRows70{"0: 5 6 7",  "4: 6 6 8",  "8: 6 7 8",  "12: 7 7 8",
                          "16: 7 7 8", "20: 7 7 6", "24: 6 5 5", "28: 4 4 3",
                          "32: 4 3 3", "36: 2 2 1", "40: 1 0 0"};
// Past the up-down's maximum (80), the rows are marked.
const QStringList kRows100{"60: 0 0 1", "64: 0 0 1", "68: 0 0 2",  "72: 0 1 2",
                           "76: 1 1 2", "80: 1 1 3", "84*: 1 2 2", "88*: 2 1 1"};

} // namespace

class TestOverviewDialog : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithF2();
    void keepsWhereItWasMoved();
    void choosingAnEntrantCount_data();
    void choosingAnEntrantCount();
    void staleRow_data();
    void staleRow();
    void followsTheInputs();
    void chartAxes_data();
    void chartAxes();
    void badEffectif_data();
    void badEffectif();

private:
    void pressF2();
    QStringList tableRows() const;
    QStringList solutionLabels() const;
    void setInputs(int registered, int finale, int round4Item);
    void chooseBy(const QString &how, int row);

    std::unique_ptr<TVlmFPrg> m_window;
    QDialog *m_dialog = nullptr;
    QTableView *m_table = nullptr;
};

void TestOverviewDialog::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    velmorin::installFeatures(*m_window);
    setWindow(m_window.get());
    QVERIFY(velmorin::testing::showActive(*m_window));
    pressF2();
    m_dialog = get<QDialog>("VueEnsemble");
    QVERIFY(m_dialog);
    m_table = m_dialog->findChild<QTableView *>(QStringLiteral("TableEnsemble"));
    QVERIFY(m_table);
}

void TestOverviewDialog::cleanup()
{
    m_window.reset();
}

// The shortcut belongs to the main window, which must be the active one.
void TestOverviewDialog::pressF2()
{
    velmorin::testing::pressShortcut(*m_window, Qt::Key_F2);
}

QStringList TestOverviewDialog::tableRows() const
{
    const QAbstractItemModel *model = m_table->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        const auto cell = [&](int c) { return model->index(r, c).data().toString(); };
        rows << QStringLiteral("%1: %2 %3 %4").arg(cell(0), cell(1), cell(2), cell(3));
    }
    return rows;
}

QStringList TestOverviewDialog::solutionLabels() const
{
    return {labelText("Solution3"), labelText("Solution2"), labelText("solution1")};
}

// Chooses a row of the table as the user would, from the dialog.
void TestOverviewDialog::chooseBy(const QString &how, int row)
{
    if (how == "double click" || how == "Enter") {
        velmorin::testing::chooseRow(*m_dialog, *m_table, row, how);
    } else {
        auto *view = m_dialog->findChild<QChartView *>(QStringLiteral("GraphiqueEnsemble"));
        QChart *chart = view->chart();
        QAbstractSeries *series = chart->series().first();
        // The middle of the bar's lowest segment, class 3's.
        const QPointF inChart = chart->mapToPosition(QPointF(row, 1), series);
        const QPoint at = view->mapFromScene(chart->mapToScene(inChart));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents(); // the choice runs once the click is over
    }
}

void TestOverviewDialog::opensWithF2()
{
    QAction *action = get<QAction>("actionVueEnsemble");
    QVERIFY(m_window->contextActions().contains(action));
    QCOMPARE(action->text(), QStringLiteral("Vue d'ensemble…"));
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F2));

    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_dialog->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Vue d'ensemble des entrées au Tour 1"));
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(m_dialog->findChild<QLabel *>(QStringLiteral("EntreesEnsemble"))->text(),
             QStringLiteral("Équipes inscrites : 71 — Finale : 6 — Tour 4 : 1/2 (quart de "
                            "finale 1/2, demi-finale 1/2)"));
    // The window's E1 is marked.
    QCOMPARE(m_table->selectionModel()->selectedRows().value(0).row(), 5);

    // The window stays usable, and a second F2 shows the same dialog.
    QTest::mouseClick(get<TUpDown>("UpE1")->upArrow(), Qt::LeftButton);
    QCOMPARE(text("E1"), QStringLiteral("24"));
    pressF2();
    QCOMPARE(velmorin::testing::topLevelWindows<QDialog>(QStringLiteral("VueEnsemble")).size(), 1);
}

// Opened beside the window once; closed and opened again, it stands where the user left it.
void TestOverviewDialog::keepsWhereItWasMoved()
{
    const QPoint movedTo = m_dialog->pos() + QPoint(-37, 23);
    m_dialog->move(movedTo);
    m_dialog->close();
    QVERIFY(!m_dialog->isVisible());
    pressF2();
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->pos(), movedTo);
}

void TestOverviewDialog::choosingAnEntrantCount_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("labels"); // classes 3, 2, 1

    QTest::newRow("double click") << "double click" << 2
                                  << QStringList{"Solution : 1/6", "Solution : 1/6",
                                                 "Solution : 1/8"};
    QTest::newRow("Enter") << "Enter" << 10
                           << QStringList{"Solution : 1/1", "Solution : 1/1", "0 solution"};
    QTest::newRow("bar") << "bar" << 0
                         << QStringList{"Solution : 1/5", "Solution : 1/5", "Solution : 1/7"};
}

void TestOverviewDialog::choosingAnEntrantCount()
{
    QFETCH(QString, how);
    QFETCH(int, row);
    QFETCH(QStringList, labels);

    const QString entrants1 = kDefaultRows.at(row).section(':', 0, 0);
    chooseBy(how, row);

    QCOMPARE(text("E1"), entrants1);
    QCOMPARE(get<TUpDown>("UpE1")->position(), entrants1.toInt());
    QCOMPARE(text("T1"), entrants1);
    QCOMPARE(solutionLabels(), labels);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(m_table->selectionModel()->selectedRows().value(0).row(), row);
}

// A registered-teams text typed but not left, then a row chosen from the rows built for 71
// teams: the new count is taken in first, and the row runs only if its E1 is still one.
void TestOverviewDialog::staleRow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("labels"); // classes 3, 2, 1; empty when nothing ran

    QTest::newRow("100, Enter") << "100"
                                << "Enter" << kRows100 << QStringList();
    QTest::newRow("100, bar") << "100"
                              << "bar" << kRows100 << QStringList();
    QTest::newRow("70, Enter") << "70"
                               << "Enter" << kRows70
                               << QStringList{"Solution : 1/2", "Solution : 1/2", "Solution : 1/1"};
    QTest::newRow("71 typed again, bar")
        << "71"
        << "bar" << kDefaultRows
        << QStringList{"Solution : 1/3", "Solution : 1/2", "Solution : 1/2"};
}

void TestOverviewDialog::staleRow()
{
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, labels);

    const int row = int(kDefaultRows.indexOf(QStringLiteral("36: 3 2 2")));
    QSignalSpy calculated(m_window->notifier(), &FeatureNotifier::calculated);
    typeEffectif(typed);
    QCOMPARE(tableRows(), kDefaultRows);
    chooseBy(how, row);

    QCOMPARE(tableRows(), rows);
    QCOMPARE(text("Effectif"), typed);
    QVERIFY(!m_window->registeredTeamsPending());
    if (labels.isEmpty()) {
        QCOMPARE(calculated.size(), 0);
        QVERIFY(!m_window->lastCalculation());
        QVERIFY(text("E1") != QStringLiteral("36"));
    } else {
        QCOMPARE(calculated.size(), 1);
        QCOMPARE(m_window->lastCalculation()->problem.registered, typed.toInt());
        QCOMPARE(text("E1"), QStringLiteral("36"));
        QCOMPARE(text("T1"), QStringLiteral("36"));
        QCOMPARE(solutionLabels(), labels);
    }
}

void TestOverviewDialog::followsTheInputs()
{
    auto *summary = m_dialog->findChild<QLabel *>(QStringLiteral("ResumeEnsemble"));
    // At 3/4 the one E1 with a solution lies past the up-down's maximum.
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(1), Qt::LeftButton);
    QCOMPARE(tableRows(), QStringList{"64*: 0 0 1"});
    QCOMPARE(summary->text(),
             QStringLiteral("18 valeurs de E1 examinées (de 0 à 68 ; la fenêtre propose jusqu'à "
                            "48), 1 avec au moins une solution. Les valeurs marquées * dépassent "
                            "ce que propose la flèche de E1 : les choisir affiche quand même leur "
                            "plan."));
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(0), Qt::LeftButton);
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(summary->text(), QStringLiteral("18 valeurs de E1 examinées (de 0 à 68 ; la fenêtre "
                                             "propose jusqu'à 48), 11 avec au moins une "
                                             "solution."));

    QTest::mouseClick(get<TUpDown>("UpFinale")->upArrow(), Qt::LeftButton);
    QCOMPARE(text("Finale"), QStringLiteral("8"));
    QCOMPARE(tableRows(), kRows71Final8);

    auto *effectif = get<QLineEdit>("Effectif");
    typeEffectif(QStringLiteral("80"));
    QCOMPARE(tableRows(), kRows71Final8); // typing alone changes nothing
    QTest::keyClick(effectif, Qt::Key_Tab);
    QCOMPARE(tableRows(), kRows80Final8);

    effectif->setText(QStringLiteral("100")); // no focus exit: the calculation follows it
    clickCalcul();
    QCOMPARE(tableRows(), kRows100Final8);
}

// The registered teams as typed and left, the final by clicks on its arrows, the round-4
// ratio by its item.
void TestOverviewDialog::setInputs(int registered, int finale, int round4Item)
{
    QVERIFY(m_window->setRegisteredTeams(registered));
    auto *upFinale = get<TUpDown>("UpFinale");
    while (text("Finale").toInt() != finale) {
        const int before = text("Finale").toInt();
        QTest::mouseClick(before < finale ? upFinale->upArrow() : upFinale->downArrow(),
                          Qt::LeftButton);
        QVERIFY(text("Finale").toInt() != before);
    }
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(round4Item), Qt::LeftButton);
}

void TestOverviewDialog::chartAxes_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("finale");
    QTest::addColumn<int>("round4Item"); // 0: 1/2, 1: 3/4
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("solutionLabels");

    QTest::newRow("46, final 6: one row of one solution")
        << 46 << 6 << 0 << 1 << QStringList{"0", "1"};
    QTest::newRow("5, final 6: nothing examined") << 5 << 6 << 0 << 0 << QStringList{"0", "1"};
    QTest::newRow("71, round 4 at 3/4: one row past the up-down")
        << 71 << 6 << 1 << 1 << QStringList{"0", "1"};
    QTest::newRow("100 000, final 6: no solution")
        << 100000 << 6 << 0 << 0 << QStringList{"0", "1"};
    QTest::newRow("the defaults: highest bar 23")
        << 71 << 6 << 0 << 11 << QStringList{"0", "5", "10", "15", "20", "25"};
    QTest::newRow("400, final 32: 63 rows, highest bar 112")
        << 400 << 32 << 0 << 63 << QStringList{"0", "20", "40", "60", "80", "100", "120"};
}

// Integer ticks that never repeat, bars labelled without clipping, and the table's columns
// clear of its scroll bar, from the previous inputs' chart to these.
void TestOverviewDialog::chartAxes()
{
    QFETCH(int, registered);
    QFETCH(int, finale);
    QFETCH(int, round4Item);
    QFETCH(int, rows);
    QFETCH(QStringList, solutionLabels);

    setInputs(registered, finale, round4Item);
    QCOMPARE(tableRows().size(), rows);

    auto *view = m_dialog->findChild<QChartView *>(QStringLiteral("GraphiqueEnsemble"));
    QChart *chart = view->chart();
    auto *solutions = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).first());
    auto *entrants = qobject_cast<QCategoryAxis *>(chart->axes(Qt::Horizontal).first());
    QVERIFY(solutions && entrants);
    QStringList ticks;
    for (int i = 0; i < solutions->tickCount(); ++i) {
        const qreal at = solutions->min() +
                         i * (solutions->max() - solutions->min()) / (solutions->tickCount() - 1);
        QCOMPARE(at, std::round(at));
        ticks << QString::asprintf(qPrintable(solutions->labelFormat()), int(at));
    }
    QCOMPARE(ticks, solutionLabels);

    // Each E1 label stands under its own bar, in the table's order, and none is cut.
    const QStringList labels = entrants->categoriesLabels();
    QCOMPARE(labels.isEmpty(), rows == 0);
    QCOMPARE(entrants->max() - entrants->min(), qreal(std::max(rows, 1)));
    const QStringList shown = tableRows();
    int previous = -1;
    for (const QString &label : labels) {
        const int bar = int(entrants->endValue(label));
        QVERIFY(bar > previous);
        previous = bar;
        QCOMPARE(shown.at(bar).section(':', 0, 0), label);
    }
    QCoreApplication::processEvents();
    QStringList drawn;
    for (const QGraphicsItem *item : view->scene()->items()) {
        if (const auto *textItem = dynamic_cast<const QGraphicsTextItem *>(item);
            textItem && textItem->isVisible())
            drawn << textItem->toPlainText();
    }
    for (const QString &label : labels)
        QVERIFY2(drawn.contains(label), qPrintable(label));
    for (const QString &text : drawn)
        QVERIFY2(!text.contains(QChar(0x2026)), qPrintable(text));
    const QString summary = m_dialog->findChild<QLabel *>(QStringLiteral("ResumeEnsemble"))->text();
    QCOMPARE(summary.startsWith(QStringLiteral("Aucun nombre d'entrants")), rows == 0);

    // "Classe 1" whole beside the vertical scroll bar.
    const QHeaderView *header = m_table->horizontalHeader();
    for (int c = 0; c < header->count(); ++c)
        QVERIFY(header->sectionSize(c) >= header->sectionSizeHint(c));
    QVERIFY(header->sectionPosition(3) + header->sectionSize(3) <= m_table->viewport()->width());
}

// The error box is shown once, by whichever handler meets the text first; the dialog keeps
// what it showed.
void TestOverviewDialog::badEffectif_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("F2") << "F2";
    QTest::newRow("round-4 ratio") << "ratio";
    QTest::newRow("leaving Effectif") << "Tab";
    QTest::newRow("final") << "final";
}

void TestOverviewDialog::badEffectif()
{
    QFETCH(QString, trigger);
    auto *inputs = m_dialog->findChild<QLabel *>(QStringLiteral("EntreesEnsemble"));
    const QString shownInputs = inputs->text();
    auto *effectif = get<QLineEdit>("Effectif");

    MessageBoxCatcher catcher;
    if (trigger == "Tab") {
        typeEffectif(QStringLiteral("abc"));
        QTest::keyClick(effectif, Qt::Key_Tab);
    } else {
        effectif->setText(QStringLiteral("abc"));
        if (trigger == "F2")
            pressF2();
        else if (trigger == "ratio")
            QTest::mouseClick(get<TRadioGroup>("RG4")->item(1), Qt::LeftButton);
        else
            QTest::mouseClick(get<TUpDown>("UpFinale")->upArrow(), Qt::LeftButton);
    }

    QCOMPARE(catcher.shown().size(), 1);
    QCOMPARE(catcher.shown().first().text, velmorin::testing::conversionError("abc"));
    QCOMPARE(catcher.shown().first().title, QStringLiteral("Velmorin"));
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(inputs->text(), shownInputs);
}

VELMORIN_WINDOW_TEST_MAIN(TestOverviewDialog)
#include "tst_overview_dialog.moc"
