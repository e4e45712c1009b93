// The cup file in the window, driven as a person would: a cup made by the store opened through
// "Ouvrir une coupe…" and Qt's file dialog, the window and the teams dialog then as the cup
// left them, each change written at once, a held cup offered read-only, the recent cups.

#include "CupFile.h"
#include "CupSession.h"
#include "CupSetups.h"
#include "CupStore.h"
#include "FeatureTestWindow.h"
#include "ModalAnswers.h"
#include "TeamsDialog.h"

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QtTest>

#include <memory>

using velmorin::CupSetup;
using velmorin::CupStore;
using velmorin::testing::answerFileDialog;

namespace {

const QString kCaption = QStringLiteral("(2006) Calcul des tours en Velmorin");

// Answers the next question box with `button`, ahead of the catcher that would say no.
class QuestionAnswer : public QObject
{
public:
    explicit QuestionAnswer(QMessageBox::StandardButton button) : m_button(button)
    {
        qApp->installEventFilter(this);
    }
    ~QuestionAnswer() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(object);
        if (box && event->type() == QEvent::Show && box->button(m_button)) {
            QTimer::singleShot(0, box, [box, button = m_button] { box->button(button)->click(); });
        }
        return QObject::eventFilter(object, event);
    }

private:
    QMessageBox::StandardButton m_button;
};

// What the file holds now, read beside the window's own store.
CupSetup saved(const QString &path)
{
    const velmorin::CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
    return reader.ok() ? reader.store->setup() : CupSetup{};
}

} // namespace

class TestCupFile : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openingRestoresTheWindow_data();
    void openingRestoresTheWindow();
    void changesAreWrittenAsTheyHappen();
    void newCupStartsFromTheWindow();
    void newCupRefusesAPlanThatStops();
    void heldCupOpensReadOnly_data();
    void heldCupOpensReadOnly();
    void recentCupsKeepTheLastEight();

private:
    QString makeCup(const CupSetup &setup, const QString &name = QStringLiteral("coupe"));
    void openThroughAction(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<TVlmFPrg> m_window;
    QTemporaryDir m_settingsDir;
};

void TestCupFile::initTestCase()
{
    QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir));
}

void TestCupFile::init()
{
    QVERIFY(velmorin::testing::startFeatureWindow(m_dir, m_boxes, m_window));
    setWindow(m_window.get());
    velmorin::testing::programSettings().clear();
}

void TestCupFile::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_dir.reset();
}

QString TestCupFile::makeCup(const CupSetup &setup, const QString &name)
{
    const QString path = m_dir->filePath(name + QStringLiteral(".velmorin"));
    const velmorin::CupOpening made = CupStore::create(path, setup);
    return made.ok() ? path : QString();
}

void TestCupFile::openThroughAction(const QString &path)
{
    answerFileDialog(path);
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
}

// Cups of every kind: whatever they hold, opening one shows it as it was left.
void TestCupFile::openingRestoresTheWindow_data()
{
    QTest::addColumn<quint64>("seed");
    for (quint64 seed = 1; seed <= 8; ++seed)
        QTest::addRow("seed %llu", seed) << seed;
}

void TestCupFile::openingRestoresTheWindow()
{
    QFETCH(quint64, seed);
    CupSetup setup = velmorin::testing::inventedCup(seed);
    setup.levelOrder.clear(); // the invented order names levels the list may not have
    const QString path = makeCup(setup);
    QVERIFY(!path.isEmpty());
    QCOMPARE(m_window->windowTitle(), kCaption);

    openThroughAction(path);
    QTRY_COMPARE(m_window->windowTitle(),
                 kCaption + QStringLiteral(" — ") + QString::fromStdString(setup.name));
    QCOMPARE(text("Effectif"), QString::number(setup.registered));
    QCOMPARE(text("Finale"), QString::number(setup.finale));
    QCOMPARE(text("E1"), QString::number(setup.entrants1));
    QCOMPARE(m_window->ratioChoices()[3], setup.ratioChoices[3] == 0 ? 0 : 1);
    QCOMPARE(m_window->ratioChoices()[5], setup.ratioChoices[5] == 0 ? 0 : 1);
    QVERIFY(m_window->matchesLastCalculation());
    const std::optional<velmorin::Plan> expected = velmorin::rebuildCup(setup).plan;
    const std::optional<velmorin::Plan> shown = m_window->shownPlan();
    if (expected) {
        QVERIFY(shown);
        QCOMPARE(shown->exemptionClass, expected->exemptionClass);
        QCOMPARE(shown->position, expected->position);
    }

    get<QAction>("actionEquipes")->trigger();
    auto *teams = get<velmorin::TeamsDialog>("Equipes");
    QVERIFY(teams->list());
    QCOMPARE(teams->list()->teams.size(), std::size_t(setup.registered));
    if (setup.seed)
        QCOMPARE(teams->seed(), *setup.seed);
    for (const velmorin::LevelRoundChoice &choice : setup.levelRounds)
        QCOMPARE(teams->mapping().roundOf(choice.level.empty() ? std::nullopt
                                                               : velmorin::readLevel(choice.level)),
                 choice.round);
    // Restoring the window is no change: the file holds what it held.
    QCOMPARE(saved(path), velmorin::withListTeams(setup));
    QVERIFY(m_boxes->texts().isEmpty());

    QAction *close = get<QAction>("actionFermerCoupe");
    QVERIFY(close->isEnabled());
    close->trigger();
    QCOMPARE(m_window->windowTitle(), kCaption);
    QVERIFY(!close->isEnabled());
}

void TestCupFile::changesAreWrittenAsTheyHappen()
{
    const QString path = makeCup(velmorin::testing::inventedCup(3));
    openThroughAction(path);
    QTRY_VERIFY(velmorin::CupSession::of(*m_window).isOpen());
    QVERIFY(velmorin::testing::showActive(*m_window));

    typeEffectif(QStringLiteral("100"));
    QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Tab);
    QCOMPARE(saved(path).registered, 100);
    QCOMPARE(saved(path).entrants1, text("E1").toInt());

    clickCalcul();
    // The plan shown, or none when these numbers have no solution.
    const std::optional<velmorin::Plan> shown = m_window->shownPlan();
    QCOMPARE(saved(path).classNumber,
             shown ? std::optional<int>(velmorin::classNumber(shown->exemptionClass))
                   : std::nullopt);
    QCOMPARE(saved(path).position,
             shown ? std::optional<std::int32_t>(shown->position) : std::nullopt);

    get<QAction>("actionEquipes")->trigger();
    auto *seed = get<QLineEdit>("Graine");
    seed->setText(QStringLiteral("4242"));
    emit seed->editingFinished();
    QCOMPARE(saved(path).seed, std::optional<std::uint64_t>(4242));

    // The file gone from under the window: the store puts it back and says so.
    QVERIFY(QFile::remove(path));
    typeEffectif(QStringLiteral("90"));
    QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Tab);
    QVERIFY(QFile::exists(path));
    QCOMPARE(saved(path).registered, 90);
}

void TestCupFile::newCupStartsFromTheWindow()
{
    typeEffectif(QStringLiteral("80"));
    clickCalcul();
    const QString path = m_dir->filePath(QStringLiteral("nouvelle"));
    velmorin::testing::whenModal<QInputDialog>([path](QInputDialog *dialog) {
        QCOMPARE(dialog->textValue(), QStringLiteral("Coupe %1").arg(QDate::currentDate().year()));
        dialog->setTextValue(QStringLiteral("Coupe du Rhône 2027"));
        dialog->accept();
        answerFileDialog(QFileInfo(path).filePath());
    });
    QTest::keyClick(m_window.get(), Qt::Key_N, Qt::ControlModifier);
    QTRY_COMPARE(m_window->windowTitle(), kCaption + QStringLiteral(" — Coupe du Rhône 2027"));
    const CupSetup cup = saved(path + QStringLiteral(".velmorin"));
    QCOMPARE(cup.name, std::string("Coupe du Rhône 2027"));
    QCOMPARE(cup.registered, 80);
    QCOMPARE(cup.entrants1, text("E1").toInt());
    QVERIFY(cup.classNumber);
    QCOMPARE(velmorin::recentCups().value(0),
             QFileInfo(path + QStringLiteral(".velmorin")).absoluteFilePath());
}

// A plan whose quarter-final splits into nothing makes no cup: the box names the round and
// the plans that work, and no file is made.
void TestCupFile::newCupRefusesAPlanThatStops()
{
    QVERIFY(m_window->restoreInputs(80, 12, {0, 0, 0, 0, 1, 1}));
    QVERIFY(m_window->showPlan(52, velmorin::ShownSolution{velmorin::ExemptionClass::Class1, 4}));
    const QString path = m_dir->filePath(QStringLiteral("impasse"));
    velmorin::testing::whenModal<QInputDialog>([path](QInputDialog *dialog) {
        dialog->accept();
        answerFileDialog(QFileInfo(path).filePath());
    });
    QTest::keyClick(m_window.get(), Qt::Key_N, Qt::ControlModifier);
    QTRY_COMPARE(m_boxes->texts().size(), 1);
    QVERIFY2(m_boxes->texts().front().startsWith(
                 QStringLiteral("Le Tour 5 compte 21 équipes : il ne se joue pas en poules de "
                                "quatre")) &&
                 m_boxes->texts().front().contains(QStringLiteral("plans possibles : finale à ")),
             qPrintable(m_boxes->texts().front()));
    QVERIFY(!QFile::exists(path + QStringLiteral(".velmorin")));
    QVERIFY(!velmorin::CupSession::of(*m_window).isOpen());
    QCOMPARE(m_window->windowTitle(), kCaption);
}

void TestCupFile::heldCupOpensReadOnly_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("lecture seule") << true;
    QTest::newRow("refusée") << false;
}

void TestCupFile::heldCupOpensReadOnly()
{
    QFETCH(bool, readOnly);
    const CupSetup setup = velmorin::testing::inventedCup(5);
    const QString path = makeCup(setup);
    // Another Velmorin holds it: this process, as far as the lock can tell.
    const velmorin::CupOpening holder = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY(holder.ok());

    // The catcher would say no: it stands aside for a yes.
    std::unique_ptr<QuestionAnswer> answer;
    if (readOnly) {
        m_boxes.reset();
        answer = std::make_unique<QuestionAnswer>(QMessageBox::Yes);
    }
    openThroughAction(path);
    QTRY_VERIFY(readOnly ? m_window->windowTitle() != kCaption : !m_boxes->texts().isEmpty());
    QTRY_VERIFY(!QApplication::activeModalWidget());
    if (!readOnly) {
        QCOMPARE(m_window->windowTitle(), kCaption);
        QVERIFY(m_boxes->texts().value(0).contains(
            QString::number(QCoreApplication::applicationPid())));
        return;
    }
    QCOMPARE(m_window->windowTitle(), kCaption + QStringLiteral(" — ") +
                                          QString::fromStdString(setup.name) +
                                          QStringLiteral(" (lecture seule)"));
    QCOMPARE(text("Effectif"), QString::number(setup.registered));
    QVERIFY(velmorin::testing::showActive(*m_window));
    typeEffectif(QStringLiteral("120"));
    QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Tab);
    QCOMPARE(saved(path).registered, setup.registered);
}

void TestCupFile::recentCupsKeepTheLastEight()
{
    QStringList paths;
    for (int k = 0; k < 10; ++k) {
        paths << makeCup(velmorin::testing::inventedCup(20 + k), QStringLiteral("c%1").arg(k));
        QVERIFY(velmorin::openCupFile(*m_window, paths.last()));
    }
    const QStringList recent = velmorin::recentCups();
    QCOMPARE(recent.size(), velmorin::kRecentCups);
    QCOMPARE(recent.first(), paths.last());
    QVERIFY(!recent.contains(paths.first()));

    // A cup removed since: chosen from the menu, it is said and leaves the list.
    velmorin::CupSession::of(*m_window).close();
    QVERIFY(QFile::remove(paths.at(5)));
    QMenu *menu = get<QAction>("actionCoupesRecentes")->menu();
    emit menu->aboutToShow();
    QAction *gone = nullptr;
    for (QAction *item : menu->actions()) {
        if (item->toolTip() == QDir::toNativeSeparators(paths.at(5)))
            gone = item;
    }
    QVERIFY(gone);
    gone->trigger();
    QCOMPARE(m_boxes->texts().size(), 1);
    QVERIFY(m_boxes->texts().first().contains(QStringLiteral("retirée des coupes récentes")));
    QCOMPARE(velmorin::recentCups().size(), velmorin::kRecentCups - 1);
    QVERIFY(!velmorin::recentCups().contains(paths.at(5)));
    QCOMPARE(m_window->windowTitle(), kCaption);
}

VELMORIN_WINDOW_TEST_MAIN(TestCupFile)
#include "tst_cupfile.moc"
