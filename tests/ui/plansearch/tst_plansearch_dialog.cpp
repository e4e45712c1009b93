// The plan search dialog driven as a person would, beside the main window: F3, bounds typed
// into the form, the table read, a plan chosen and the main window's fields checked.

#include "Contrast.h"
#include "DialogDriver.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "PlanSearchDialog.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

using velmorin::ExemptionClass;
using velmorin::PlanSearchDialog;
using velmorin::ShownSolution;

namespace {

const QString kNoBox = QStringLiteral("Aucune recherche tant qu'un souhait est refusé.");

} // namespace

class TestPlanSearchDialog : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithF3();
    void typedBounds_data();
    void typedBounds();
    void refusedTexts_data();
    void refusedTexts();
    void planForOtherInputs_data();
    void planForOtherInputs();
    void wishesFillTheForm();
    void readableUnderADarkScheme_data();
    void readableUnderADarkScheme();

private:
    void pressF3();
    // Clicks into the field, selects what it holds and types, key by key.
    void typeInto(const char *field, const QString &typed);
    QStringList tableRows(int most) const;
    QString status() const { return m_dialog->findChild<QLabel *>("PlansTrouves")->text(); }

    std::unique_ptr<TVlmFPrg> m_window;
    PlanSearchDialog *m_dialog = nullptr;
    QTableView *m_table = nullptr;
};

void TestPlanSearchDialog::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    velmorin::installFeatures(*m_window);
    setWindow(m_window.get());
    QVERIFY(velmorin::testing::showActive(*m_window));
    pressF3();
    m_dialog = get<PlanSearchDialog>("RecherchePlans");
    m_table = velmorin::testing::child<QTableView>(*m_dialog, "TablePlans");
}

void TestPlanSearchDialog::cleanup()
{
    m_window.reset();
}

// The shortcut belongs to the main window, which must be the active one.
void TestPlanSearchDialog::pressF3()
{
    velmorin::testing::pressShortcut(*m_window, Qt::Key_F3);
}

void TestPlanSearchDialog::typeInto(const char *field, const QString &typed)
{
    auto *edit = velmorin::testing::child<QLineEdit>(*m_dialog, field);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
}

// "écart E1 classe p/n E2 E3 E4 T2 T3 T4", the class by its number.
QStringList TestPlanSearchDialog::tableRows(int most) const
{
    const QAbstractItemModel *model = m_table->model();
    QStringList rows;
    for (int r = 0; r < std::min(model->rowCount(), most); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        cells[2] = cells[2].section(' ', 1, 1); // "Classe 2 (1 exemptée)"
        rows << cells.join(' ');
    }
    return rows;
}

void TestPlanSearchDialog::opensWithF3()
{
    auto *action = get<QAction>("actionRecherchePlans");
    QCOMPARE(action->text(), QStringLiteral("Rechercher un plan…"));
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F3));
    const QList<QAction *> menu = m_window->contextActions();
    QCOMPARE(menu.indexOf(action), menu.indexOf(get<QAction>("actionVueEnsemble")) + 1);

    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_dialog->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Recherche d'un plan"));
    QCOMPARE(m_dialog->findChild<QLabel *>("EntreesRecherche")->text(),
             QStringLiteral("Équipes inscrites : 71 — Finale : 6 — Tour 4 : 1/2 (quart de "
                            "finale 1/2, demi-finale 1/2)"));
    const QStringList headers{"Écart", "E1", "Classe", "Solution p/n", "E2",
                              "E3",    "E4", "T2",     "T3",           "T4"};
    for (int c = 0; c < headers.size(); ++c)
        QCOMPARE(m_table->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    // Class texts in their colours: class 1 red.
    QCOMPARE(m_table->model()->index(0, 2).data().toString(),
             QStringLiteral("Classe 1 (aucune exemptée)"));
    QCOMPARE(m_table->model()->index(0, 2).data(Qt::ForegroundRole).value<QBrush>().color(),
             QColor(Qt::red));

    // The window stays usable, and a second F3 shows the same dialog.
    QTest::mouseClick(get<velmorin::TUpDown>("UpE1")->upArrow(), Qt::LeftButton);
    QCOMPARE(text("E1"), QStringLiteral("24"));
    pressF3();
    QCOMPARE(velmorin::testing::topLevelWindows<QDialog>(QStringLiteral("RecherchePlans")).size(),
             1);
}

void TestPlanSearchDialog::typedBounds_data()
{
    QTest::addColumn<QStringList>("typed"); // field, text, field, text…
    QTest::addColumn<bool>("strict");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("first"); // the first three rows
    QTest::addColumn<QString>("how");       // the first row chosen by "double click" or "Enter"

    // 71 teams, a final of 6, every ratio 1/2: 169 plans in all.
    QTest::newRow("no wish") << QStringList{} << false
                             << "Les 100 plans les plus proches des souhaits." << 100
                             << QStringList{"0 0 1 1/7 28 43 0 28 64 48",
                                            "0 0 1 2/7 32 36 3 32 60 48",
                                            "0 0 1 3/7 36 29 6 36 56 48"}
                             << "Enter";
    QTest::newRow("E4 of 8, round 2 of 40 at most")
        << QStringList{"MinEntrants4", "8", "MaxEntrants4", "8", "MaxTour2", "40"} << false
        << "Les 100 plans les plus proches des souhaits." << 100
        << QStringList{"0 4 2 3/6 37 22 8 40 52 47", "0 8 2 3/6 30 25 8 36 52 47",
                       "0 12 2 3/7 23 28 8 32 52 47"}
        << "double click";
    QTest::newRow("strict, E2 of 30 at least")
        << QStringList{"MinEntrants4", "8", "MaxEntrants4", "8", "MinEntrants2", "30"} << true
        << "3 plans trouvés." << 3
        << QStringList{"0 0 2 3/5 44 19 8 44 52 47", "0 4 2 3/6 37 22 8 40 52 47",
                       "0 8 2 3/6 30 25 8 36 52 47"}
        << "Enter";
    QTest::newRow("strict, hexadecimal and a leading space")
        << QStringList{"MinEntrants1", "$28", "MaxEntrants1", " 40"} << true << "2 plans trouvés."
        << 2 << QStringList{"0 40 2 1/1 2 0 29 32 24 47", "0 40 3 1/1 2 4 25 32 28 46"}
        << "double click";
    QTest::newRow("nothing fits")
        << QStringList{"MinEntrants1", "40", "MinEntrants3", "10"} << false
        << "Les 100 plans les plus proches des souhaits. Aucun ne respecte tous les souhaits : "
           "le plus proche a un écart de 4."
        << 100
        << QStringList{"4 36 2 1/2 1 11 23 28 32 47", "4 36 3 1/3 1 15 19 28 36 46",
                       "6 36 3 2/3 5 8 22 32 32 46"}
        << "Enter";
    QTest::newRow("strict, nothing fits")
        << QStringList{"MinEntrants1", "40", "MinEntrants3", "10"} << true
        << "Aucun plan ne respecte tous les souhaits ; le plus proche a un écart de 4." << 0
        << QStringList{} << "";
}

void TestPlanSearchDialog::typedBounds()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, strict);
    QFETCH(QString, status);
    QFETCH(int, rows);
    QFETCH(QStringList, first);
    QFETCH(QString, how);

    MessageBoxCatcher boxes;
    if (strict) {
        auto *box = velmorin::testing::child<QCheckBox>(*m_dialog, "SeulementExacts");
        // On the box itself, at the left end of the row.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
        QVERIFY(box->isChecked());
    }
    for (int i = 0; i + 1 < typed.size(); i += 2)
        typeInto(qPrintable(typed[i]), typed[i + 1]);
    QCOMPARE(this->status(), status);
    QCOMPARE(m_table->model()->rowCount(), rows);
    QCOMPARE(tableRows(3), first);
    if (how.isEmpty())
        return;

    // The first plan, in the main window.
    velmorin::testing::chooseRow(*m_dialog, *m_table, 0, how);
    const QStringList plan = first.first().split(' ');
    const int k = plan[2].toInt();
    QCOMPARE(text("E1"), plan[1]);
    QCOMPARE((QStringList{text("T1"), text("E2"), text("E3"), text("E4"), text("T2"), text("T3"),
                          text("T4")}),
             (QStringList{plan[1], plan[4], plan[5], plan[6], plan[7], plan[8], plan[9]}));
    QCOMPARE(labelText(solutionLabelName(k)), QStringLiteral("Solution : ") + plan[3]);
    const ShownSolution shown{velmorin::exemptionClassFromNumber(k),
                              plan[3].section('/', 0, 0).toInt()};
    QCOMPARE(m_window->shownSolution(), std::optional(shown));
    QVERIFY(boxes.shown().isEmpty());
    // The window's new E1 changes no plan.
    QCOMPARE(tableRows(3), first);
}

void TestPlanSearchDialog::refusedTexts_data()
{
    QTest::addColumn<QStringList>("typed"); // field, text, field, text…
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<QString>("message");

    QTest::newRow("letters") << QStringList{"MinEntrants2", "abc"} << QStringList{"MinEntrants2"}
                             << "Entrantes min du tour 2 : 'abc' n'est pas une valeur entière "
                                "correcte.";
    QTest::newRow("trailing space")
        << QStringList{"MaxTour3", "12 "} << QStringList{"MaxTour3"}
        << "En jeu max du tour 3 : '12 ' n'est pas une valeur entière correcte.";
    QTest::newRow("beyond 32 bits")
        << QStringList{"MaxEntrants1", "2147483648"} << QStringList{"MaxEntrants1"}
        << "Entrantes max du tour 1 : '2147483648' est trop grand : au plus 2 147 483 647.";
    QTest::newRow("minimum above maximum")
        << QStringList{"MinTour4", "50", "MaxTour4", "40"} << QStringList{"MinTour4", "MaxTour4"}
        << "En jeu du tour 4 : le minimum (50) dépasse le maximum (40).";
}

// Marked at the field while typing, never with a box; the search waits, and comes back once
// the text is put right.
void TestPlanSearchDialog::refusedTexts()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, marked);
    QFETCH(QString, message);

    const QStringList before = tableRows(100);
    MessageBoxCatcher boxes;
    for (int i = 0; i + 1 < typed.size(); i += 2)
        typeInto(qPrintable(typed[i]), typed[i + 1]);
    QVERIFY(boxes.shown().isEmpty());
    auto *errors = m_dialog->findChild<QLabel *>("ErreursSouhaits");
    QVERIFY(errors->isVisible());
    QCOMPARE(errors->text(), message);
    for (const char *name : {"MinEntrants1", "MaxEntrants1", "MinEntrants2", "MinTour3", "MaxTour3",
                             "MinTour4", "MaxTour4"}) {
        auto *edit = velmorin::testing::child<QLineEdit>(*m_dialog, name);
        const bool refused = marked.contains(QLatin1String(name));
        // A field not refused says what it is.
        QCOMPARE(edit->toolTip(), refused ? message : edit->property("hint").toString());
        QVERIFY(!edit->toolTip().isEmpty());
        QCOMPARE(edit->styleSheet().isEmpty(), !refused);
    }
    QCOMPARE(m_table->model()->rowCount(), 0);
    QCOMPARE(status(), kNoBox);

    typeInto(qPrintable(typed[0]), QString());
    QVERIFY(errors->isHidden());
    auto *fixed = velmorin::testing::child<QLineEdit>(*m_dialog, qPrintable(marked.last()));
    QCOMPARE(fixed->toolTip(), fixed->property("hint").toString());
    if (typed.size() == 2)
        QCOMPARE(tableRows(100), before);
    QVERIFY(boxes.shown().isEmpty());
}

// Registered teams typed after the plans were listed: choosing one takes them in first, as
// leaving Effectif would, and shows the new plans instead of running one found for 71 teams;
// the status line says why nothing ran, and a plan shown before stays as it was.
void TestPlanSearchDialog::planForOtherInputs_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("planShown");
    QTest::addColumn<QString>("proposedE1");
    QTest::newRow("80, nothing shown") << QStringLiteral("80") << false << QStringLiteral("24");
    QTest::newRow("100, a plan shown") << QStringLiteral("100") << true << QStringLiteral("32");
}

void TestPlanSearchDialog::planForOtherInputs()
{
    QFETCH(QString, typed);
    QFETCH(bool, planShown);
    QFETCH(QString, proposedE1);
    const auto doubleClick = [this] {
        velmorin::testing::chooseRow(*m_dialog, *m_table, 0, QStringLiteral("double click"));
    };
    if (planShown)
        doubleClick();
    const QString shownT1 = text("T1");
    const QString first71 = tableRows(1).value(0);
    typeEffectif(typed);
    m_dialog->activateWindow();
    doubleClick();

    QVERIFY(m_dialog->findChild<QLabel *>("EntreesRecherche")
                ->text()
                .startsWith(QStringLiteral("Équipes inscrites : %1 —").arg(typed)));
    QCOMPARE(
        status(),
        QStringLiteral("Ce plan n'existe plus pour %1 équipes : la liste est à jour.").arg(typed));
    QCOMPARE(bool(m_window->lastCalculation()), planShown);
    if (planShown)
        QCOMPARE(m_window->lastCalculation()->problem.registered, 71);
    QCOMPARE(text("T1"), shownT1); // the old round fields stay until a calculation
    QCOMPARE(text("E1"), proposedE1);
    QVERIFY(tableRows(1).value(0) != first71);
    QVERIFY(!m_window->registeredTeamsPending());

    // The new rows run.
    doubleClick();
    QVERIFY(m_window->lastCalculation());
    QCOMPARE(m_window->lastCalculation()->problem.registered, typed.toInt());
}

void TestPlanSearchDialog::wishesFillTheForm()
{
    velmorin::Wishes wishes;
    wishes.set(velmorin::Quantity::Entrants4, {8, 8});
    wishes.set(velmorin::Quantity::Tour2, {std::nullopt, 40});
    wishes.set(velmorin::Quantity::Entrants1, {-4, std::nullopt});
    typeInto("MinTour3", QStringLiteral("abc")); // what was there goes
    m_dialog->setWishes(wishes);

    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinEntrants4")->text(),
             QStringLiteral("8"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MaxEntrants4")->text(),
             QStringLiteral("8"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinTour2")->text(), QString());
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MaxTour2")->text(),
             QStringLiteral("40"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinEntrants1")->text(),
             QStringLiteral("-4"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinTour3")->text(), QString());
    const std::optional<velmorin::Wishes> read = m_dialog->formWishes();
    QVERIFY(read);
    for (velmorin::Quantity q : velmorin::kQuantities)
        QCOMPARE(read->of(q), wishes.of(q));
    QCOMPARE(tableRows(1), QStringList{"0 4 2 3/6 37 22 8 40 52 47"});
}

// A dialog does not inherit the main window's light face: it keeps its own where the
// class texts (black, blue) would not read on the scheme's.
void TestPlanSearchDialog::readableUnderADarkScheme_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<int>("column"); // of the table, on the row of a class-3 plan
    for (bool dark : {true, false}) {
        QTest::addRow("%s, class", dark ? "dark" : "light") << dark << 2;
        QTest::addRow("%s, solution", dark ? "dark" : "light") << dark << 3;
        QTest::addRow("%s, E1", dark ? "dark" : "light") << dark << 1;
    }
}

void TestPlanSearchDialog::readableUnderADarkScheme()
{
    QFETCH(bool, dark);
    QFETCH(int, column);
    const QPalette before = QApplication::palette();
    if (dark)
        QApplication::setPalette(velmorin::testing::darkScheme());
    cleanup();
    init();
    QApplication::setPalette(before);

    // Strict on E4 = 7: class 3's plans alone.
    typeInto("MinEntrants4", QStringLiteral("7"));
    typeInto("MaxEntrants4", QStringLiteral("7"));
    QTest::mouseClick(velmorin::testing::child<QCheckBox>(*m_dialog, "SeulementExacts"),
                      Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(m_table->model()->rowCount() > 0);
    const QModelIndex cell = m_table->model()->index(0, column);
    QCOMPARE(cell.sibling(0, 2).data().toString(), QStringLiteral("Classe 3 (2 exemptées)"));
    const QVariant foreground = cell.data(Qt::ForegroundRole);
    const QColor text = foreground.isValid() ? foreground.value<QBrush>().color()
                                             : m_table->palette().color(QPalette::Text);
    const QColor base = m_table->palette().color(QPalette::Base);
    QVERIFY2(velmorin::contrastRatio(text, base) >= velmorin::kReadableContrast,
             qPrintable(text.name() + " on " + base.name()));
}

VELMORIN_WINDOW_TEST_MAIN(TestPlanSearchDialog)
#include "tst_plansearch_dialog.moc"
