// The window and another program on one cup: what the other program writes shows in the window
// within a second, a read-only window offers nothing that writes, and neither "Calcul" nor a
// slider changes a cup the organiser did not choose to change.

#include "CupSession.h"
#include "CupSetups.h"
#include "CupStore.h"
#include "CupText.h"
#include "CupPlayWindow.h"
#include "FeatureTestWindow.h"
#include "ModalAnswers.h"
#include "RoundGamesModel.h"
#include "TeamsDialog.h"
#include "UpDown.h"

#include <QAction>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <sqlite3.h>

#include <memory>

using velmorin::Cup;
using velmorin::CupCommand;
using velmorin::CupSetup;
using velmorin::CupStore;

Q_DECLARE_METATYPE(CupCommand)

namespace {

QByteArray digest(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// Another program's command on the cup, written through its own store.
bool play(CupStore &store, const CupCommand &command)
{
    Cup cup = *store.cup().cup;
    const velmorin::CupAnswer answer = cup.apply(command);
    return answer.done && answer.changed && store.saveRecords(cup.records(), answer.text).saved;
}

// Every cell a round's table shows.
QStringList shownCells(const QAbstractItemModel &model)
{
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
    return cells;
}

// What a cup's table of `round` shows, as the window would.
QStringList cellsOf(const Cup &cup, int round)
{
    velmorin::RoundGamesModel model(round, [&cup] { return &cup; });
    model.refresh();
    return shownCells(model);
}

// A cup whose plan has `finale` teams in its final, made as the calculator makes one, whose
// numbers have another plan that makes a cup too (the organiser's pick).
CupSetup cupWithFinal(std::int32_t finale)
{
    for (std::uint64_t seed = 1; seed < 60; ++seed) {
        CupSetup setup =
            velmorin::testing::inventedCup(seed, std::size_t(finale) * (2 + seed % 10) + seed);
        setup.finale = finale;
        for (std::int32_t entrants = setup.registered / 2; entrants >= finale; --entrants) {
            setup.entrants1 = entrants;
            const velmorin::Calculation calculation = velmorin::calculate(setup.problem());
            std::vector<std::pair<int, std::int32_t>> plans;
            for (int number = 1; number <= 3; ++number) {
                const auto &found =
                    calculation.of(velmorin::exemptionClassFromNumber(number)).solutions;
                const std::int32_t count =
                    std::int32_t(std::min<velmorin::Count>(found.count(), 50));
                for (std::int32_t p = 1; p <= count && plans.size() < 2; ++p) {
                    CupSetup pick = setup;
                    pick.classNumber = number;
                    pick.position = p;
                    if (velmorin::planRefusalOf(pick).empty())
                        plans.emplace_back(number, p);
                }
            }
            if (plans.size() == 2) {
                setup.classNumber = plans.front().first;
                setup.position = plans.front().second;
                return setup;
            }
        }
    }
    return {};
}

const velmorin::GameRef kFirstGame{1, 1, 1};

} // namespace

class TestCupFollow : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir)); }
    void init();
    void cleanup();

    void windowFollowsAnotherProgram_data();
    void windowFollowsAnotherProgram();
    void readOnlyOffersNoWrite_data();
    void readOnlyOffersNoWrite();
    void refusedWriteShowsTheCupAsItIs();
    void calculKeepsTheCup_data();
    void calculKeepsTheCup();

private:
    velmorin::CupPlayWindow *openCupWindow();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<TVlmFPrg> m_window;
    QTemporaryDir m_settingsDir;
    QString m_path;
};

void TestCupFollow::init()
{
    QVERIFY(velmorin::testing::startFeatureWindow(m_dir, m_boxes, m_window));
    setWindow(m_window.get());
    m_path = m_dir->filePath(QStringLiteral("coupe.velmorin"));
}

void TestCupFollow::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_dir.reset();
}

velmorin::CupPlayWindow *TestCupFollow::openCupWindow()
{
    if (!velmorin::testing::showActive(*m_window))
        return nullptr;
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    return get<velmorin::CupPlayWindow>("Deroulement");
}

void TestCupFollow::windowFollowsAnotherProgram_data()
{
    QTest::addColumn<std::vector<CupCommand>>("before");
    QTest::addColumn<CupCommand>("change");
    QTest::addColumn<int>("round");
    const CupCommand draw = velmorin::DrawCommand{1};
    const CupCommand result = velmorin::ResultCommand{kFirstGame, 0, std::nullopt, false};
    QTest::newRow("tirage") << std::vector<CupCommand>{} << draw << 1;
    QTest::newRow("résultat") << std::vector<CupCommand>{draw} << result << 1;
    QTest::newRow("correction") << std::vector<CupCommand>{draw, result}
                                << CupCommand(velmorin::CorrectionCommand{kFirstGame, 1,
                                                                          std::nullopt, false})
                                << 1;
    QTest::newRow("annulation") << std::vector<CupCommand>{draw, result}
                                << CupCommand(velmorin::CancelDrawCommand{1}) << 1;
}

// The organiser watches the cup read-only while the other program plays it: each change shows
// within a second, in the cup and in the window that shows it.
void TestCupFollow::windowFollowsAnotherProgram()
{
    QFETCH(std::vector<CupCommand>, before);
    QFETCH(CupCommand, change);
    QFETCH(int, round);
    m_boxes.reset(); // the held question is answered yes
    velmorin::CupOpening made = CupStore::create(m_path, velmorin::testing::playableCup(5, 40));
    QVERIFY(made.ok());
    CupStore &other = *made.store;
    const auto sideOf = [&](int side) {
        const auto teams = other.cup().cup->gameTeams(kFirstGame);
        return teams ? (side == 0 ? teams->first : teams->second) : -1;
    };
    // The first game's teams are known only once drawn: A wins, then B on correction.
    const auto resolve = [&](CupCommand command) {
        if (auto *r = std::get_if<velmorin::ResultCommand>(&command.action))
            r->winner = sideOf(0);
        if (auto *c = std::get_if<velmorin::CorrectionCommand>(&command.action))
            c->winner = sideOf(1);
        return command;
    };
    for (const CupCommand &command : before)
        QVERIFY(play(other, resolve(command)));
    velmorin::testing::whenModal<QMessageBox>(
        [](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    velmorin::CupSession &session = velmorin::CupSession::of(*m_window);
    QVERIFY(session.open(m_path));
    QVERIFY(session.readOnly());
    velmorin::CupPlayWindow *cupWindow = openCupWindow();
    QTRY_VERIFY(cupWindow->isVisible());
    QCOMPARE(shownCells(*cupWindow->model(round)), cellsOf(*other.cup().cup, round));

    QVERIFY(play(other, resolve(change)));
    const Cup written = *other.cup().cup;
    QTRY_VERIFY_WITH_TIMEOUT(
        session.cup() && velmorin::cupCsv(*session.cup()) == velmorin::cupCsv(written), 1000);
    QCOMPARE(shownCells(*cupWindow->model(round)), cellsOf(written, round));
    QCOMPARE(
        cupWindow->findChild<QPushButton *>(QStringLiteral("BoutonAnnulerTirage"))->isEnabled(),
        false);
}

void TestCupFollow::readOnlyOffersNoWrite_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("lecture seule, rien de tiré") << true << false;
    QTest::newRow("lecture seule, tour 1 tiré") << true << true;
    QTest::newRow("modifiable, rien de tiré") << false << false;
    QTest::newRow("modifiable, tour 1 tiré") << false << true;
}

// Every action that would write is disabled, and its keys say why instead; the same cup open
// for writing offers them.
void TestCupFollow::readOnlyOffersNoWrite()
{
    QFETCH(bool, readOnly);
    QFETCH(bool, drawn);
    m_boxes.reset();
    velmorin::CupOpening made = CupStore::create(m_path, velmorin::testing::playableCup(6, 40));
    QVERIFY(made.ok());
    if (drawn)
        QVERIFY(play(*made.store, velmorin::DrawCommand{1}));
    if (!readOnly)
        made.store.reset(); // nobody else holds it
    else
        velmorin::testing::whenModal<QMessageBox>(
            [](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    velmorin::CupSession &session = velmorin::CupSession::of(*m_window);
    QVERIFY(session.open(m_path));
    QCOMPARE(session.readOnly(), readOnly);
    const QByteArray before = digest(m_path);

    velmorin::CupPlayWindow *cupWindow = openCupWindow();
    QTRY_VERIFY(cupWindow->isVisible());
    const auto button = [&](const char *name) {
        return cupWindow->findChild<QPushButton *>(QLatin1String(name));
    };
    QCOMPARE(button("BoutonTirage")->isEnabled(), !readOnly && !drawn);
    QCOMPARE(button("BoutonAnnulerTirage")->isEnabled(), !readOnly && drawn);
    QVERIFY(button("BoutonPageWeb")->isEnabled()); // reading is never refused
    auto *reason = cupWindow->findChild<QLabel *>(QStringLiteral("LectureSeule"));
    QCOMPARE(reason->isVisible(), readOnly);
    QCOMPARE(reason->text().startsWith(QStringLiteral("La coupe est ouverte en lecture seule")),
             readOnly);
    QCOMPARE(cupWindow->table(1)->editTriggers() == QAbstractItemView::NoEditTriggers, readOnly);

    if (drawn) {
        // The keys of a result: read-only, none writes and each says why.
        QTableView *table = cupWindow->table(1);
        cupWindow->activateWindow();
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, 0));
        const auto keys = readOnly ? std::vector<Qt::Key>{Qt::Key_1, Qt::Key_B, Qt::Key_F}
                                   : std::vector<Qt::Key>{Qt::Key_1};
        for (Qt::Key key : keys) {
            QTest::keyClick(table, key);
            if (readOnly)
                QCOMPARE(
                    cupWindow->findChild<QLabel *>(QStringLiteral("MessageDeroulement"))->text(),
                    reason->text());
        }
        QCOMPARE(session.cup()->records().results.empty(), readOnly);
    }
    if (readOnly)
        QCOMPARE(digest(m_path), before);

    // The teams dialog shows the cup's list, and changes none of it when the cup is read-only
    // or its round 1 drawn.
    get<QAction>("actionEquipes")->trigger();
    auto *teams = get<velmorin::TeamsDialog>("Equipes");
    const auto teamsButton = [&](const char *name) {
        return teams->findChild<QPushButton *>(QLatin1String(name));
    };
    const bool frozen = readOnly || drawn;
    QCOMPARE(teamsButton("NouveauTirage")->isEnabled(), !frozen);
    QCOMPARE(teams->findChild<QLineEdit *>(QStringLiteral("Graine"))->isReadOnly(), frozen);
    QCOMPARE(teams->findChild<QLabel *>(QStringLiteral("LectureSeuleEquipes"))->isVisible(),
             frozen);
    if (readOnly)
        QCOMPARE(digest(m_path), before);
}

// A write refused because another program wrote meanwhile: the window shows the cup as it is
// now, with the refusal's sentence, at once.
void TestCupFollow::refusedWriteShowsTheCupAsItIs()
{
    QVERIFY(CupStore::create(m_path, velmorin::testing::playableCup(7, 40)).ok());
    velmorin::CupSession &session = velmorin::CupSession::of(*m_window);
    QVERIFY(session.open(m_path));
    QVERIFY(!session.readOnly());
    velmorin::CupPlayWindow *cupWindow = openCupWindow();
    QTRY_VERIFY(cupWindow->isVisible());

    // Another program, past the lock (an older Velmorin, say), renames the cup.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(m_path).constData(), &db), SQLITE_OK);
    const int status = sqlite3_exec(db,
                                    "INSERT INTO journal (at, what) VALUES "
                                    "('x', 'Nom de la coupe : Renommée ailleurs'); "
                                    "UPDATE cup SET name = 'Renommée ailleurs'",
                                    nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(status, SQLITE_OK);

    // Drawn before the watch has looked: refused with the change it missed, and the window
    // shows the other's cup.
    QTest::mouseClick(cupWindow->findChild<QPushButton *>(QStringLiteral("BoutonTirage")),
                      Qt::LeftButton);
    QCOMPARE(session.name(), QStringLiteral("Renommée ailleurs"));
    QVERIFY(session.cup()->records().draws.empty());
    QVERIFY(cupWindow->findChild<QLabel *>(QStringLiteral("MessageDeroulement"))
                ->text()
                .endsWith(QStringLiteral("rien n'est enregistré : Nom de la coupe : Renommée "
                                         "ailleurs.")));
    QVERIFY(m_window->windowTitle().endsWith(QStringLiteral("Renommée ailleurs")));
    QVERIFY(m_boxes->texts().isEmpty());

    // Drawn again, now on the cup as it is: written.
    QTest::mouseClick(cupWindow->findChild<QPushButton *>(QStringLiteral("BoutonTirage")),
                      Qt::LeftButton);
    const velmorin::CupOpening reader = CupStore::open(m_path, CupStore::Mode::ReadOnly);
    QVERIFY(reader.ok());
    QCOMPARE(reader.store->records().draws.size(), std::size_t(1));
    QCOMPARE(reader.store->setup().name, std::string("Renommée ailleurs"));
}

void TestCupFollow::calculKeepsTheCup_data()
{
    QTest::addColumn<int>("finale");
    QTest::addColumn<QString>("gesture"); // after opening: "Calcul", then this
    QTest::addColumn<bool>("shown");      // the window can show the cup's numbers
    QTest::addColumn<bool>("written");    // the gesture is the organiser's pick
    QTest::newRow("finale de 34, Calcul") << 34 << QString() << false << false;
    QTest::newRow("finale de 34, finale changée") << 34 << "finale" << false << false;
    QTest::newRow("finale de 5, Calcul") << 5 << QString() << true << false;
    QTest::newRow("finale de 5, curseur") << 5 << "curseur" << true << true;
    QTest::newRow("finale de 8, Calcul") << 8 << QString() << true << false;
    QTest::newRow("finale de 8, curseur") << 8 << "curseur" << true << true;
    QTest::newRow("finale de 8, finale changée") << 8 << "finale" << true << true;
}

// "Calcul" alone never writes; a slider moved after it, or the final changed, is the
// organiser's pick, written into a cup whose numbers the window shows and never into one it
// cannot show.
void TestCupFollow::calculKeepsTheCup()
{
    QFETCH(int, finale);
    QFETCH(QString, gesture);
    QFETCH(bool, shown);
    QFETCH(bool, written);
    const CupSetup setup = cupWithFinal(finale);
    QVERIFY(setup.classNumber);
    QVERIFY(CupStore::create(m_path, setup).ok());
    const QByteArray before = digest(m_path);
    velmorin::CupSession &session = velmorin::CupSession::of(*m_window);
    QVERIFY(session.open(m_path));
    QCOMPARE(session.windowShowsCup(), shown);
    // A cup the window cannot show says so once, and keeps its plan.
    QCOMPARE(m_boxes->texts().size(), shown ? 0 : 1);
    if (!shown)
        QVERIFY(m_boxes->texts().first().contains(QString::number(finale)));
    QVERIFY(velmorin::testing::showActive(*m_window));

    clickCalcul();
    QCOMPARE(digest(m_path), before);
    if (gesture == QLatin1String("finale")) {
        QTest::mouseClick(get<velmorin::TUpDown>("UpFinale")->downArrow(), Qt::LeftButton);
        clickCalcul();
    } else if (gesture == QLatin1String("curseur")) {
        // A plan of another class or position than the one "Calcul" shows, which makes a cup.
        const std::optional<velmorin::Plan> calculated = m_window->shownPlan();
        velmorin::TTrackBar *bar = nullptr;
        int position = 0;
        for (int k = 1; k <= 3 && !bar; ++k) {
            for (int p = 1; trackBar(k)->isVisible() && p <= trackBar(k)->maximum() && !bar; ++p) {
                CupSetup pick = setup;
                pick.classNumber = k;
                pick.position = p;
                const bool shownAlready = calculated &&
                                          velmorin::classNumber(calculated->exemptionClass) == k &&
                                          calculated->position == p;
                if (!shownAlready && velmorin::planRefusalOf(pick).empty()) {
                    bar = trackBar(k);
                    position = p;
                }
            }
        }
        QVERIFY2(bar, "no other plan of these numbers makes a cup");
        // Moved there step by step, as the arrow keys do ("Calcul" leaves each slider at 1).
        if (bar->value() == position)
            bar->triggerAction(position > 1 ? QAbstractSlider::SliderSingleStepSub
                                            : QAbstractSlider::SliderSingleStepAdd);
        while (bar->value() != position)
            bar->triggerAction(bar->value() < position ? QAbstractSlider::SliderSingleStepAdd
                                                       : QAbstractSlider::SliderSingleStepSub);
    }
    const velmorin::CupOpening reader = CupStore::open(m_path, CupStore::Mode::ReadOnly);
    QVERIFY(reader.ok());
    const CupSetup now = reader.store->setup();
    if (!written) {
        QCOMPARE(now, velmorin::withListTeams(setup));
        QCOMPARE(m_boxes->texts().size(), shown ? 0 : 1);
        return;
    }
    // What the window shows is what the cup now holds.
    const std::optional<velmorin::Plan> picked = m_window->shownPlan();
    QCOMPARE(now.finale, m_window->currentProblem()->finale);
    QCOMPARE(now.position, picked ? std::optional<std::int32_t>(picked->position) : std::nullopt);
    QCOMPARE(now.classNumber,
             picked ? std::optional<int>(velmorin::classNumber(picked->exemptionClass))
                    : std::nullopt);
}

VELMORIN_WINDOW_TEST_MAIN(TestCupFollow)
#include "tst_cupfollow.moc"
