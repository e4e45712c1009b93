// The open cup seen from every window, as the organiser meets it: the cup's shortcuts typed in
// whichever feature window is in front, the cup's window (F5) following each cup made, opened
// and closed and saying what a cup not ready to play lacks, the teams window frozen once round
// 1 is drawn, and the teams window within a 1024×600 screen in each of its states.

#include "Cup.h"
#include "CupSession.h"
#include "CupSetups.h"
#include "CupStore.h"
#include "CupPlayWindow.h"
#include "FeatureTestWindow.h"
#include "ModalAnswers.h"
#include "TeamsDialog.h"

#include <QComboBox>
#include <QTableView>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using velmorin::CupSession;
using velmorin::CupSetup;
using velmorin::CupStore;
using velmorin::FeatureWindow;
using velmorin::TeamsDialog;

namespace {

const QString kSample = QStringLiteral(VELMORIN_SAMPLE_LIST);

// What the organiser can have on the screen of a 1024×600 netbook once the panels and the
// title bar are taken: the feature windows' rule.
const QSize kSmallScreenRoom(560, 520);

enum class Missing { Nothing, List, Plan, Both };

CupSetup cupMissing(Missing missing, std::uint64_t seed)
{
    CupSetup setup = velmorin::testing::playableCup(seed, 24);
    if (missing == Missing::List || missing == Missing::Both)
        setup.list.reset();
    if (missing == Missing::Plan || missing == Missing::Both) {
        setup.classNumber.reset();
        setup.position.reset();
    }
    return setup;
}

} // namespace

Q_DECLARE_METATYPE(Missing)

class TestCupWindows : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir)); }
    void init();
    void cleanup();

    void cupShortcutsFromEveryWindow_data();
    void cupShortcutsFromEveryWindow();
    void cupWindowFollowsTheOpenCup_data();
    void cupWindowFollowsTheOpenCup();
    void teamsFrozenOnceDrawn_data();
    void teamsFrozenOnceDrawn();
    void teamsWindowFitsASmallScreen_data();
    void teamsWindowFitsASmallScreen();

private:
    QString makeCup(const QString &name, const CupSetup &setup);
    CupSession &session() { return CupSession::of(*m_window); }
    // The cup's window as it shows now: its sentence when it has no cup to play, else empty.
    QString cupWindowSays();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<TVlmFPrg> m_window;
    QTemporaryDir m_settingsDir;
};

void TestCupWindows::init()
{
    QVERIFY(velmorin::testing::startFeatureWindow(m_dir, m_boxes, m_window));
    setWindow(m_window.get());
}

void TestCupWindows::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_dir.reset();
}

QString TestCupWindows::makeCup(const QString &name, const CupSetup &setup)
{
    const QString path = m_dir->filePath(name);
    const velmorin::CupOpening made = CupStore::create(path, setup);
    return made.ok() ? path : QString();
}

QString TestCupWindows::cupWindowSays()
{
    auto *window = get<velmorin::CupPlayWindow>("Deroulement");
    auto *stack = window->findChild<QStackedWidget *>();
    if (!stack || stack->currentIndex() != 0)
        return {};
    return window->findChild<QLabel *>(QStringLiteral("AucuneCoupe"))->text();
}

// Ctrl+N, Ctrl+O, Ctrl+W, F1 and F5 typed in each feature window do what they do in the main
// window; only the guide keeps Ctrl+W for itself, as a browser does.
void TestCupWindows::cupShortcutsFromEveryWindow_data()
{
    QTest::addColumn<QKeySequence>("opens");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QKeySequence>("typed");
    const struct
    {
        QKeySequence opens;
        const char *name;
    } windows[] = {{QKeySequence(Qt::Key_F2), "VueEnsemble"},
                   {QKeySequence(Qt::Key_F3), "RecherchePlans"},
                   {QKeySequence(Qt::Key_F4), "Equipes"},
                   {QKeySequence(Qt::Key_F5), "Deroulement"},
                   {QKeySequence(Qt::Key_F1), "Aide"}};
    const struct
    {
        QKeySequence key;
        const char *name;
    } keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_N), "Ctrl+N"},
                {QKeySequence(Qt::CTRL | Qt::Key_O), "Ctrl+O"},
                {QKeySequence(Qt::CTRL | Qt::Key_W), "Ctrl+W"},
                {QKeySequence(Qt::Key_F1), "F1"},
                {QKeySequence(Qt::Key_F5), "F5"}};
    for (const auto &window : windows) {
        for (const auto &key : keys)
            QTest::addRow("%s, %s", window.name, key.name)
                << window.opens << QString::fromLatin1(window.name) << key.key;
    }
}

void TestCupWindows::cupShortcutsFromEveryWindow()
{
    QFETCH(QKeySequence, opens);
    QFETCH(QString, window);
    QFETCH(QKeySequence, typed);
    const QString first = makeCup(QStringLiteral("premiere.velmorin"), cupMissing(Missing::Nothing, 5));
    const QString second = makeCup(QStringLiteral("seconde.velmorin"), cupMissing(Missing::Nothing, 6));
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    QVERIFY(session().open(first));

    QTest::keySequence(m_window.get(), opens);
    auto *feature = FeatureWindow::find(*m_window, window);
    QVERIFY(feature);
    QVERIFY(QTest::qWaitForWindowActive(feature));
    const QString made = m_dir->filePath(QStringLiteral("faite.velmorin"));
    if (typed == QKeySequence(Qt::CTRL | Qt::Key_N)) {
        velmorin::testing::whenModal<QInputDialog>([made](QInputDialog *dialog) {
            dialog->setTextValue(QStringLiteral("Coupe des Monts"));
            dialog->accept();
            velmorin::testing::answerFileDialog(made);
        });
    } else if (typed == QKeySequence(Qt::CTRL | Qt::Key_O)) {
        velmorin::testing::answerFileDialog(second);
    }
    QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : feature, typed);

    const QString expectedPath = typed == QKeySequence(Qt::CTRL | Qt::Key_N)   ? made
                                 : typed == QKeySequence(Qt::CTRL | Qt::Key_O) ? second
                                 : typed == QKeySequence(Qt::CTRL | Qt::Key_W) && window != "Aide"
                                     ? QString()
                                     : first;
    QTRY_COMPARE(QFileInfo(session().path()).fileName(), QFileInfo(expectedPath).fileName());
    if (typed == QKeySequence(Qt::CTRL | Qt::Key_W) && window == "Aide")
        QVERIFY(!feature->isVisible()); // the guide's own Ctrl+W closed it
    if (typed == QKeySequence(Qt::Key_F1) || typed == QKeySequence(Qt::Key_F5)) {
        const QString shown = typed == QKeySequence(Qt::Key_F1) ? "Aide" : "Deroulement";
        auto *opened = FeatureWindow::find(*m_window, shown);
        QVERIFY(opened);
        QTRY_VERIFY(opened->isVisible());
    }
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(QLatin1Char('\n'))));
}

// F5 left open follows the organiser's cups: one played, closed (Ctrl+W), then another opened
// (Ctrl+O) or made (Ctrl+N); a cup that cannot be played yet says what it lacks.
void TestCupWindows::cupWindowFollowsTheOpenCup_data()
{
    QTest::addColumn<Missing>("missing");
    QTest::addColumn<bool>("made"); // made with "Nouvelle coupe…" rather than opened
    QTest::addColumn<QString>("says");
    const QString list = QStringLiteral("sa liste d'équipes");
    const QString plan = QStringLiteral("son plan");
    QTest::newRow("another cup, ready") << Missing::Nothing << false << QString();
    QTest::newRow("without its list") << Missing::List << false << list;
    QTest::newRow("without its plan") << Missing::Plan << false << plan;
    QTest::newRow("without either")
        << Missing::Both << false << list + QStringLiteral(" (« Équipes inscrites… », F4) et ") + plan;
    QTest::newRow("made from the window") << Missing::Nothing << true << QString();
}

void TestCupWindows::cupWindowFollowsTheOpenCup()
{
    QFETCH(Missing, missing);
    QFETCH(bool, made);
    QFETCH(QString, says);
    const CupSetup played = cupMissing(Missing::Nothing, 11);
    const QString first = makeCup(QStringLiteral("jouee.velmorin"), played);
    QVERIFY(!first.isEmpty());
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QVERIFY(cupWindowSays().startsWith(QStringLiteral("Aucune coupe ouverte")));

    QVERIFY(session().open(first));
    QCOMPARE(cupWindowSays(), QString());
    auto *cupWindow = get<velmorin::CupPlayWindow>("Deroulement");
    QVERIFY(cupWindow->drawShownRound());
    const int firstGames = cupWindow->table(1)->model()->rowCount();
    QVERIFY(firstGames > 0);

    m_window->activateWindow();
    QTest::keyClick(m_window.get(), Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!session().isOpen());
    QVERIFY(cupWindowSays().startsWith(QStringLiteral("Aucune coupe ouverte")));
    QCOMPARE(cupWindow->table(1)->model()->rowCount(), 0);

    const QString name = made ? QStringLiteral("Coupe neuve") : QStringLiteral("Coupe suivante");
    if (made) {
        QVERIFY(session().create(m_dir->filePath(QStringLiteral("neuve.velmorin")), name));
    } else {
        const CupSetup next = cupMissing(missing, 29);
        QVERIFY(!next.name.empty());
        CupSetup named = next;
        named.name = name.toStdString();
        QVERIFY(session().open(makeCup(QStringLiteral("suivante.velmorin"), named)));
    }
    QVERIFY(cupWindow->isVisible());
    const QString shown = cupWindowSays();
    if (says.isEmpty()) {
        QCOMPARE(shown, QString());
        // The other cup's round 1, not yet drawn: nothing of the first cup's draw remains.
        QCOMPARE(cupWindow->table(1)->model()->rowCount(), 0);
        QVERIFY(cupWindow->drawShownRound());
        QCOMPARE(session().cup()->drawnRounds(), 1);
    } else {
        QVERIFY2(shown.startsWith(QStringLiteral("La coupe « %1 » ne se joue pas encore").arg(name)),
                 qPrintable(shown));
        QVERIFY2(shown.contains(says), qPrintable(shown));
        // Nothing to draw.
        QVERIFY(!cupWindow->drawShownRound());
        QVERIFY(!session().cup());
    }
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(QLatin1Char('\n'))));
}

// Once round 1 is drawn, the teams window shows the cup's list, rounds, order and seed and
// changes none of them, saying why; cancelling the draw gives them back to the organiser.
void TestCupWindows::teamsFrozenOnceDrawn_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("teams");
    for (const auto &[seed, teams] : {std::pair{3, 24}, std::pair{8, 40}, std::pair{13, 77}})
        QTest::addRow("seed %d, %d teams", seed, teams) << quint64(seed) << teams;
}

void TestCupWindows::teamsFrozenOnceDrawn()
{
    QFETCH(quint64, seed);
    QFETCH(int, teams);
    const CupSetup setup = velmorin::testing::playableCup(seed, std::size_t(teams));
    const QString path = makeCup(QStringLiteral("coupe.velmorin"), setup);
    QVERIFY(session().open(path));
    QTest::keyClick(m_window.get(), Qt::Key_F4);
    auto *dialog = get<TeamsDialog>("Equipes");
    auto *why = get<QLabel>("LectureSeuleEquipes");
    auto *seedField = get<QLineEdit>("Graine");
    QVERIFY(!why->isVisible());
    QVERIFY(get<QPushButton>("NouveauTirage")->isEnabled());

    QVERIFY(session().apply(velmorin::DrawCommand{1}).done);
    const QString frozen = QString::fromUtf8(velmorin::Cup::frozenSentence());
    QTRY_VERIFY(why->isVisible());
    QCOMPARE(why->text(), frozen);
    QCOMPARE(seedField->text(), QString::number(*setup.seed));
    QVERIFY(seedField->isReadOnly());
    for (const char *button : {"OuvrirListe", "NouveauTirage", "MonterNiveau", "DescendreNiveau"})
        QVERIFY2(!get<QPushButton>(button)->isEnabled(), button);
    auto *levels = get<QTableWidget>("NiveauxTours");
    QVERIFY(levels->rowCount() > 0);
    for (int row = 0; row < levels->rowCount(); ++row)
        QVERIFY(!levels->cellWidget(row, 2)->isEnabled());

    // Nothing the window still offers changes the cup, nor what the window shows of it.
    const std::vector<velmorin::LevelRoundChoice> rounds = session().setup()->levelRounds;
    dialog->drawNewSeed();
    seedField->setText(QStringLiteral("12345"));
    emit seedField->editingFinished();
    QVERIFY(!dialog->moveLevel(1, -1));
    QVERIFY(!dialog->setLevelRound(std::nullopt, 4));
    QVERIFY(!dialog->openList(kSample));
    QCOMPARE(seedField->text(), QString::number(*setup.seed));
    QCOMPARE(dialog->seed(), *setup.seed);
    const velmorin::CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY(reader.ok());
    QCOMPARE(reader.store->setup().seed, setup.seed);
    QCOMPARE(reader.store->setup().list, setup.list);
    QVERIFY(reader.store->setup().levelRounds == rounds);
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(QLatin1Char('\n'))));

    // The draw cancelled: the teams are the organiser's again.
    QVERIFY(session().apply(velmorin::CancelDrawCommand{1}).done);
    QTRY_VERIFY(!why->isVisible());
    QVERIFY(get<QPushButton>("NouveauTirage")->isEnabled());
    QVERIFY(!seedField->isReadOnly());
    dialog->drawNewSeed();
    QCOMPARE(session().setup()->seed, std::optional<std::uint64_t>(dialog->seed()));
}

// The teams window keeps within what a 1024×600 screen leaves, whatever it shows: its
// minimum never grows past the feature windows' rule, not even once a plan is chosen.
void TestCupWindows::teamsWindowFitsASmallScreen_data()
{
    QTest::addColumn<QString>("state");
    for (const char *state : {"empty", "list", "list and plan", "refused seed", "cup drawn"})
        QTest::newRow(state) << QString::fromLatin1(state);
}

void TestCupWindows::teamsWindowFitsASmallScreen()
{
    QFETCH(QString, state);
    if (state == "cup drawn") {
        const QString path =
            makeCup(QStringLiteral("coupe.velmorin"), velmorin::testing::playableCup(21, 77));
        QVERIFY(session().open(path));
        QVERIFY(session().apply(velmorin::DrawCommand{1}).done);
    }
    QTest::keyClick(m_window.get(), Qt::Key_F4);
    auto *dialog = get<TeamsDialog>("Equipes");
    if (state.startsWith("list")) {
        QVERIFY(dialog->openList(kSample));
        if (state == "list and plan") {
            m_window->activateWindow();
            clickCalcul();
            QTest::keyClick(trackBar(2), Qt::Key_Right);
            QVERIFY(dialog->assignment());
        }
    } else if (state == "refused seed") {
        auto *seedField = get<QLineEdit>("Graine");
        seedField->setText(QStringLiteral("99999999999999999999"));
        emit seedField->editingFinished();
        QVERIFY(get<QLabel>("GraineRefusee")->isVisible());
    }
    QCoreApplication::processEvents();
    dialog->layout()->activate();
    // On the test's own small screen, the window stays whole whatever it came to show.
    const QRect screen = dialog->screen()->availableGeometry();
    QVERIFY2(screen.contains(dialog->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3×%4")
                            .arg(dialog->frameGeometry().x())
                            .arg(dialog->frameGeometry().y())
                            .arg(dialog->frameGeometry().width())
                            .arg(dialog->frameGeometry().height())));
    const QSize minimum = dialog->minimumSizeHint().expandedTo(dialog->minimumSize());
    QVERIFY2(minimum.width() <= kSmallScreenRoom.width(), qPrintable(QString::number(minimum.width())));
    QVERIFY2(minimum.height() <= kSmallScreenRoom.height(),
             qPrintable(QString::number(minimum.height())));
    // Its texts wrapped at the narrowest width still leave the table room on such a screen.
    QLayout *layout = dialog->layout();
    QVERIFY(layout->hasHeightForWidth());
    for (const int width : {kSmallScreenRoom.width(), 1000}) {
        const int needed = layout->totalMinimumHeightForWidth(width);
        QVERIFY2(needed <= kSmallScreenRoom.height(),
                 qPrintable(QStringLiteral("%1 px at %2").arg(needed).arg(width)));
    }
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(QLatin1Char('\n'))));
}

VELMORIN_WINDOW_TEST_MAIN(TestCupWindows)
#include "tst_cupwindows.moc"
