#include "CupPlayText.h"
#include "CupPlayWindow.h"
#include "CupText.h"
#include "FeatureTestWindow.h"
#include "MemoryCup.h"
#include "ModalAnswers.h"
#include "RoundGamesModel.h"
#include "RoundPage.h"
#include "RoundSheets.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

constexpr std::array<Ratio, 3> kHalves{Ratio::Half, Ratio::Half, Ratio::Half};

// The first line where two listings differ, for a readable failure.
void compareListings(const std::string &actual, const std::string &expected)
{
    const QStringList a = QString::fromStdString(actual).split(QLatin1Char('\n'));
    const QStringList e = QString::fromStdString(expected).split(QLatin1Char('\n'));
    for (qsizetype k = 0; k < std::min(a.size(), e.size()); ++k)
        QCOMPARE(a[k], e[k]);
    QCOMPARE(a.size(), e.size());
}

// The score's editor open in the table, if any.
QLineEdit *scoreEditor(QTableView *view)
{
    for (QLineEdit *open : view->findChildren<QLineEdit *>()) {
        if (open->isVisible())
            return open;
    }
    return nullptr;
}

// Every Qt warning, to fail the test that caused it; the offscreen platform's own are not the
// window's.
QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg &&
        !message.startsWith(QStringLiteral("This plugin does not support")))
        g_warnings << message;
    g_previousHandler(type, context, message);
}

void answerQuestion(QMessageBox::StandardButton button)
{
    whenModal<QMessageBox>([button](QMessageBox *box) { box->button(button)->click(); });
}

} // namespace

class TestCupPlayWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(keepSettingsIn(m_settingsDir)); }
    void init();
    void cleanup();
    void withoutCup();
    void keyboardCup_data();
    void keyboardCup();
    void scoreText_data();
    void scoreText();
    void withdrawnBarrage();
    void exports();
    void roundKeys_data();
    void roundKeys();
    void tabLeavesTheTable();
    void mnemonicsAreUnique();
    void redraw_data();
    void redraw();
    void sharedWidths_data();
    void sharedWidths();
    void fitsASmallScreen();
    void placementRemembered();

private:
    CupPlayWindow *openWith(std::optional<Cup> cup);
    QString label(const char *name) const
    {
        return m_window->findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
    bool click(const char *name)
    {
        auto *button = m_window->findChild<QPushButton *>(QString::fromLatin1(name));
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }

    QTemporaryDir m_settingsDir;
    std::unique_ptr<TVlmFPrg> m_host;
    std::unique_ptr<MemoryCup> m_source;
    CupPlayWindow *m_window = nullptr;
};

void TestCupPlayWindow::init()
{
    g_warnings.clear();
    g_previousHandler = qInstallMessageHandler(recordWarnings);
    m_host = std::make_unique<TVlmFPrg>();
    QVERIFY(showActive(*m_host));
}

void TestCupPlayWindow::cleanup()
{
    m_window = nullptr;
    m_host.reset(); // takes the cup's window with it
    m_source.reset();
    qInstallMessageHandler(g_previousHandler);
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
}

CupPlayWindow *TestCupPlayWindow::openWith(std::optional<Cup> cup)
{
    m_source = std::make_unique<MemoryCup>(std::move(cup));
    installCupPlay(*m_host, [this] { return m_source.get(); });
    auto *action = m_host->findChild<QAction *>(QStringLiteral("actionDeroulement"));
    if (!action || action->shortcut() != QKeySequence(Qt::Key_F5))
        return nullptr;
    action->trigger();
    m_window = FeatureWindow::find<CupPlayWindow>(*m_host, QStringLiteral("Deroulement"));
    // Active, as under the organiser's hands: a score's editor that loses the focus closes.
    if (m_window && !showActive(*m_window))
        return nullptr;
    return m_window;
}

void TestCupPlayWindow::withoutCup()
{
    QVERIFY(openWith(std::nullopt));
    auto *stack = m_window->findChild<QStackedWidget *>();
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("AucuneCoupe"));
    QVERIFY(label("AucuneCoupe").contains(QStringLiteral("(Ctrl+N)")));
    QVERIFY(!m_window->exportPageTo(QDir::temp().filePath(QStringLiteral("rien.html"))));
}

void TestCupPlayWindow::keyboardCup_data()
{
    QTest::addColumn<int>("teams");
    QTest::addColumn<int>("clubs");
    QTest::addColumn<int>("ratio4"); // 0: halves, 1: three quarters at round 4
    QTest::addColumn<int>("exempted");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("40 équipes, 3 clubs") << 40 << 3 << 0 << 0 << quint64(1);
    QTest::newRow("3/4 au Tour 4, une exemptée") << 56 << 2 << 1 << 1 << quint64(2);
    QTest::newRow("sans club") << 48 << 0 << 0 << 0 << quint64(3);
    QTest::newRow("deux exemptées") << 64 << 4 << 1 << 2 << quint64(4);
}

// The whole cup played from the keyboard, every key mirrored on a cup of reference through
// the model's own calls: the window must leave the same cup, listing and CSV.
void TestCupPlayWindow::keyboardCup()
{
    QFETCH(int, teams);
    QFETCH(int, clubs);
    QFETCH(int, ratio4);
    QFETCH(int, exempted);
    QFETCH(quint64, seed);
    std::array<Ratio, 3> ratios = kHalves;
    if (ratio4)
        ratios[0] = Ratio::ThreeQuarters;
    Cup reference = inventedCup(teams, std::size_t(clubs), ratios, exempted, seed);
    QVERIFY(openWith(reference));
    SeededDraw draw(seed * 7919);

    for (int round = 1; round <= kCupRounds; ++round) {
        QCOMPARE(m_window->shownRound(), round);
        if (round == 4 && exempted == 1) {
            // Another team exempted, checked in the list before the draw.
            auto *list = m_window->findChild<QListWidget *>(QStringLiteral("ExempteesTour4"));
            QVERIFY(list->isVisible() && list->count() > 1);
            const std::vector<int> playing = reference.participants(4);
            const int pick = int(draw.below(std::uint64_t(list->count())));
            if (list->item(pick)->checkState() == Qt::Unchecked) {
                list->item(pick)->setCheckState(Qt::Checked);
                QVERIFY(chooseExempted(reference, {playing[std::size_t(pick)]}).done);
            }
        }
        QVERIFY(click("BoutonTirage"));
        QVERIFY(drawRound(reference, round).done);
        compareListings(cupTable(*m_source->cup()), cupTable(reference));
        if (QTest::currentTestFailed())
            return;
        QTableView *view = m_window->table(round);
        RoundGamesModel *games = m_window->model(round);
        QCOMPARE(m_window->focusWidget(), view); // the keys go to the round just drawn
        QCOMPARE(label("BandeauDeroulement"),
                 QString::fromStdString(cupProgress(reference, round)));
        QVERIFY(label("BandeauDeroulement")
                    .contains(QStringLiteral("sur %1 partie").arg(games->rowCount())));
        int guard = 0;
        while (!reference.isComplete(round) && ++guard < 1000) {
            const int row = view->currentIndex().row();
            const GameRef game = games->gameAt(row);
            const auto sides = *reference.gameTeams(game);
            const int side = int(draw.below(2));
            const int team = side ? sides.second : sides.first;
            const int other = side ? sides.first : sides.second;
            switch (draw.below(6)) {
            case 0: { // a forfeit: F, then the side
                QTest::keyClick(view, Qt::Key_F);
                QTest::keyClick(view, side ? Qt::Key_2 : Qt::Key_A);
                QVERIFY(declareForfeit(reference, round, team).done);
                break;
            }
            case 1:
            case 2: { // the winner chosen, then its score: S opens it, the winner's points first
                QTest::keyClick(view, side ? Qt::Key_B : Qt::Key_A);
                QVERIFY(recordWinner(reference, round, team).done);
                if (reference.isComplete(round))
                    break; // its tab has given its place to the next round's
                const int loserPoints = int(draw.below(13));
                const QString typed =
                    QStringLiteral("13%1%2")
                        .arg(draw.below(2) ? QStringLiteral("-") : QStringLiteral(" "))
                        .arg(loserPoints);
                if (draw.below(3) == 0) {
                    // A slip: refused, nothing recorded, the game still current.
                    QTest::keyClick(view, Qt::Key_S);
                    QVERIFY(scoreEditor(view));
                    QTest::keyClicks(scoreEditor(view), QStringLiteral("2"));
                    QTest::keyClick(scoreEditor(view), Qt::Key_Return);
                    QTRY_VERIFY(label("MessageDeroulement").contains("n'est pas un score"));
                    QCOMPARE(view->currentIndex().row(), row);
                    QVERIFY(!m_source->cup()->result(game)->winnerScore);
                }
                QTest::keyClick(view, Qt::Key_S);
                QVERIFY(scoreEditor(view));
                QTest::keyClicks(scoreEditor(view), typed);
                QTest::keyClick(scoreEditor(view), Qt::Key_Return);
                QTRY_VERIFY(m_source->cup()->result(game)->winnerScore); // once the editor closed
                QCOMPARE(view->currentIndex().row(), row);
                QVERIFY(correctResult(reference, game, team, Score{13, loserPoints}).done);
                // Still in the score's column, the winner's key names the winner again: no
                // score opens, nothing changes.
                QTest::keyClick(view, side ? Qt::Key_2 : Qt::Key_1);
                QVERIFY(!scoreEditor(view));
                break;
            }
            default: // the winner's number or letter
                QTest::keyClick(view, draw.below(2) ? (side ? Qt::Key_2 : Qt::Key_1)
                                                    : (side ? Qt::Key_B : Qt::Key_A));
                QVERIFY(recordWinner(reference, round, team).done);
            }
            if (draw.below(5) == 0 && reference.result(game)->winner == team &&
                !reference.isComplete(round)) {
                // A correction: refused once, then accepted with what it discards said (a completed
                // round has given its place to the next one's tab).
                answerQuestion(QMessageBox::No);
                QTest::keyClick(view, side ? Qt::Key_A : Qt::Key_B);
                QCOMPARE(m_source->cup()->result(game)->winner, team);
                answerQuestion(QMessageBox::Yes);
                QTest::keyClick(view, side ? Qt::Key_1 : Qt::Key_2);
                const CupAnswer corrected = correctResult(reference, game, other, std::nullopt);
                QVERIFY(corrected.done);
                QCOMPARE(label("MessageDeroulement"), QString::fromStdString(corrected.text));
            }
            compareListings(cupCsv(*m_source->cup()), cupCsv(reference));
            if (QTest::currentTestFailed())
                return;
            if (!reference.isComplete(round))
                QCOMPARE(label("BandeauDeroulement"),
                         QString::fromStdString(cupProgress(reference, round)));
            QTest::keyClick(view, Qt::Key_Return);
            if (!reference.isComplete(round))
                QVERIFY(!games->hasResult(view->currentIndex().row()));
        }
        QVERIFY(reference.isComplete(round));
    }
    compareListings(cupTable(*m_source->cup()), cupTable(reference));
    if (QTest::currentTestFailed())
        return;
    auto *finalTeams = m_window->findChild<QLabel *>(QStringLiteral("EquipesFinale"));
    QVERIFY(finalTeams->isVisible());
    for (const int team : reference.finalTeams())
        QVERIFY(finalTeams->text().contains(
            QString::fromStdString(reference.teams()[std::size_t(team)].name)));

    // Cancelling round 6 asks, says what it discards, and leaves round 5 complete.
    answerQuestion(QMessageBox::No);
    QVERIFY(click("BoutonAnnulerTirage"));
    QVERIFY(m_source->cup()->isDrawn(kCupRounds));
    answerQuestion(QMessageBox::Yes);
    QVERIFY(click("BoutonAnnulerTirage"));
    const CupAnswer cancelled = cancelRound(reference, kCupRounds);
    QCOMPARE(label("MessageDeroulement"), QString::fromStdString(cancelled.text));
    compareListings(cupCsv(*m_source->cup()), cupCsv(reference));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!finalTeams->isVisible());
    QVERIFY(m_window->findChild<QPushButton *>(QStringLiteral("BoutonTirage"))->isEnabled());
}

void TestCupPlayWindow::scoreText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("winner"); // -1: refused as no score, -2: refused by the score's rule
    QTest::addColumn<int>("loser");
    QTest::newRow("tiret") << "13-7" << 13 << 7;
    QTest::newRow("espace") << "13 5" << 13 << 5;
    QTest::newRow("espaces autour") << " 13 - 11 " << 13 << 11;
    QTest::newRow("barre") << "13/0" << 13 << 0;
    QTest::newRow("tiret long") << "13–9" << 13 << 9;
    QTest::newRow("un seul nombre") << "13" << -1 << 0;
    QTest::newRow("lettres") << "treize-sept" << -1 << 0;
    QTest::newRow("négatif") << "-3-13" << -1 << 0;
    QTest::newRow("deux tirets") << "13--7" << -1 << 0;
    QTest::newRow("perdant d'abord") << "5 13" << -2 << 0;
    QTest::newRow("égalité") << "13-13" << -2 << 0;
    QTest::newRow("trop grand") << "1300-7" << -2 << 0;
    QTest::newRow("mille") << "1000-0" << -2 << 0;
    QTest::newRow("plus grand qu'un entier") << "99999999999999999999-1" << -2 << 0;
}

// One reading of a score for the window and the calculator: the winner's points first; a
// text that is a score out of the rules is told the rule, not the form.
void TestCupPlayWindow::scoreText()
{
    QFETCH(QString, typed);
    QFETCH(int, winner);
    QFETCH(int, loser);
    const ScoreReading reading = readScore(typed.toStdString());
    QCOMPARE(reading.score.has_value(), winner >= 0);
    if (reading.score)
        QCOMPARE(*reading.score, (Score{winner, loser}));
    else
        QCOMPARE(QString::fromStdString(reading.refusal).startsWith(QStringLiteral("Un score")),
                 winner == -2);
}

// A barrage between two withdrawn teams goes to the better ranked; the key of the other side
// names it instead, as the calculator's --qualifiee does.
void TestCupPlayWindow::withdrawnBarrage()
{
    Cup cup = inventedCup(40, 0, kHalves, 0, 7);
    QVERIFY(drawRound(cup, 1).done);
    const std::vector<int> group = cup.drawnRound(1)->groups[0];
    QVERIFY(declareForfeit(cup, 1, group[0]).done);
    QVERIFY(declareForfeit(cup, 1, group[2]).done);
    QVERIFY(openWith(cup));
    const GameRef barrage{1, 1, kBarrage};
    const auto sides = *m_source->cup()->gameTeams(barrage);
    const int chosen = m_source->cup()->result(barrage)->winner;
    const int other = chosen == sides.first ? sides.second : sides.first;
    QTableView *view = m_window->table(1);
    view->setCurrentIndex(m_window->model(1)->index(2, RoundGamesModel::TeamA));
    QTest::keyClick(view, other == sides.first ? Qt::Key_A : Qt::Key_B);
    QCOMPARE(m_source->cup()->result(barrage)->winner, other);
    QVERIFY2(label("MessageDeroulement").contains(QStringLiteral("à la place de")),
             qPrintable(label("MessageDeroulement")));
}

// The results page is the cup's, whole, and fits a phone's width in a real browser; the
// sheets' PDF has a page per group.
void TestCupPlayWindow::exports()
{
    Cup cup = inventedCup(40, 3, kHalves, 0, 11);
    std::vector<CupTeam> renamed = cup.teams();
    renamed[0].name = "Association bouliste des Amis de la Pétanque de Saint-Barthélemy-d'Anjou";
    renamed[0].club = "Entente sportive intercommunale des Coteaux-de-la-Loire-et-du-Layon";
    QVERIFY(cup.changeInputs(renamed, cup.layout(), cup.seed()).done);
    QVERIFY(drawRound(cup, 1).done);
    SeededDraw draw(5);
    playRound(cup, 1, draw, false);
    QVERIFY(drawRound(cup, 2).done);
    QVERIFY(openWith(cup));
    QCOMPARE(m_window->shownRound(), 2);
    QCOMPARE(m_window->focusWidget(), m_window->table(2)); // the winners' keys work at once

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("feuilles.pdf"));
    m_window->showRound(1);
    QVERIFY(m_window->exportSheetsPdfTo(pdf));
    QCOMPARE(label("MessageDeroulement"),
             QString::fromStdString(sheetsSaved(1, QDir::toNativeSeparators(pdf).toStdString())));
    QFile pdfFile(pdf);
    QVERIFY(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdfFile.readAll();
    QVERIFY(pdfBytes.startsWith("%PDF"));
    QCOMPARE(int(pdfBytes.count("/Type /Page\n") + pdfBytes.count("/Type /Page\r")) +
                 int(pdfBytes.count("/Type /Page ")) + int(pdfBytes.count("/Type /Page>")),
             roundSheetPages(cup, 1));

    const QString page = dir.filePath(QStringLiteral("resultats.html"));
    QVERIFY(m_window->exportPageTo(page, QDateTime(QDate(2026, 5, 1), QTime(9, 5))));
    QCOMPARE(label("MessageDeroulement"),
             QString::fromStdString(pageSaved(QDir::toNativeSeparators(page).toStdString())));
    QFile pageFile(page);
    QVERIFY(pageFile.open(QIODevice::ReadOnly));
    QCOMPARE(pageFile.readAll(),
             QByteArray::fromStdString(cupHtml(cup, "Coupe d'essai", {2026, 5, 1, 9, 5})));

    const QString chromium = QStringLiteral("/usr/bin/chromium");
    if (!QFileInfo::exists(chromium))
        QSKIP("chromium absent: the page's width on a phone is not measured");
    // The page has no script of its own: a wrapper page measures it in a phone-wide frame.
    QFile wrapper(dir.filePath(QStringLiteral("mesure.html")));
    QVERIFY(wrapper.open(QIODevice::WriteOnly));
    wrapper.write(R"(<!doctype html><html><body style="margin:0">
<iframe id="page" src="resultats.html" style="width:360px;height:800px;border:0"></iframe>
<script>
document.getElementById('page').addEventListener('load', function () {
  var root = this.contentDocument.documentElement;
  var p = document.createElement('p');
  p.textContent = 'largeur=' + root.scrollWidth + ' texte=' + root.innerText.length;
  document.body.appendChild(p);
});
</script></body></html>)");
    wrapper.close();
    QProcess browser;
    browser.start(chromium,
                  {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                   QStringLiteral("--disable-gpu"),
                   QStringLiteral("--allow-file-access-from-files"),
                   QStringLiteral("--virtual-time-budget=5000"), QStringLiteral("--dump-dom"),
                   QUrl::fromLocalFile(wrapper.fileName()).toString()});
    QVERIFY(browser.waitForFinished(120000));
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    const QRegularExpressionMatch measured =
        QRegularExpression(QStringLiteral("largeur=(\\d+) texte=(\\d+)")).match(dom);
    QVERIFY2(measured.hasMatch(), qPrintable(dom.left(500)));
    QVERIFY2(measured.captured(1).toInt() <= 360, qPrintable(measured.captured(0)));
    QVERIFY(measured.captured(2).toInt() > 100); // the page was read, not an empty frame
}

// A cup at round 3 in play, rounds 1 and 2 complete.
Cup cupAtRound3(std::uint64_t seed)
{
    Cup cup = inventedCup(48, 3, kHalves, 0, seed);
    SeededDraw draw(seed);
    for (int round = 1; round <= 2; ++round) {
        if (!drawRound(cup, round).done)
            qFatal("round not drawn");
        playRound(cup, round, draw, false);
    }
    if (!drawRound(cup, 3).done)
        qFatal("round 3 not drawn");
    return cup;
}

void TestCupPlayWindow::roundKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << ctrl << 2 << 3;
    QTest::newRow("Ctrl+Tab au dernier") << int(Qt::Key_Tab) << ctrl << 6 << 1;
    QTest::newRow("Ctrl+Maj+Tab") << int(Qt::Key_Backtab) << ctrlShift << 3 << 2;
    QTest::newRow("Ctrl+Maj+Tab au premier") << int(Qt::Key_Backtab) << ctrlShift << 1 << 6;
    QTest::newRow("Ctrl+Page suivante") << int(Qt::Key_PageDown) << ctrl << 1 << 2;
    QTest::newRow("Ctrl+Page précédente") << int(Qt::Key_PageUp) << ctrl << 3 << 2;
    QTest::newRow("Alt+1") << int(Qt::Key_1) << int(Qt::AltModifier) << 3 << 1;
    QTest::newRow("Alt+5") << int(Qt::Key_5) << int(Qt::AltModifier) << 2 << 5;
    QTest::newRow("Alt+6") << int(Qt::Key_6) << int(Qt::AltModifier) << 6 << 6;
}

// From the games' table or from a button, the keys change the round shown, its table taking
// the keys, and enter nothing.
void TestCupPlayWindow::roundKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, from);
    QFETCH(int, expected);
    QVERIFY(openWith(cupAtRound3(21)));
    const std::string before = cupCsv(*m_source->cup());
    for (QWidget *start : {static_cast<QWidget *>(nullptr),
                           static_cast<QWidget *>(m_window->findChild<QPushButton *>(
                               QStringLiteral("BoutonFeuillesPdf")))}) {
        m_window->showRound(from);
        if (start)
            start->setFocus();
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        QTest::keyClick(focused, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_window->shownRound(), expected);
        QCOMPARE(QApplication::focusWidget(), m_window->table(expected));
    }
    QCOMPARE(cupCsv(*m_source->cup()), before);
}

// Tab goes from the table through every button that can be used and comes back to it;
// Shift+Tab from the first button goes back to the table.
void TestCupPlayWindow::tabLeavesTheTable()
{
    QVERIFY(openWith(cupAtRound3(22)));
    QTableView *view = m_window->table(3);
    QCOMPARE(QApplication::focusWidget(), view);
    QSet<QString> reached;
    QWidget *first = nullptr;
    for (int k = 0; k < 20; ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        if (now == view)
            break;
        if (auto *button = qobject_cast<QPushButton *>(now)) {
            reached << button->objectName();
            if (!first)
                first = button;
        }
    }
    QCOMPARE(QApplication::focusWidget(), view);
    QSet<QString> usable;
    for (const QPushButton *button : m_window->findChildren<QPushButton *>())
        if (button->isEnabled() && button->isVisible())
            usable << button->objectName();
    QCOMPARE(reached, usable);
    QVERIFY(usable.contains(QStringLiteral("BoutonAnnulerTirage")));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), view);
    QCOMPARE(view->currentIndex().row(), 0); // the game it held
}

// Every button has its letter, one of its own in the window, and none is a round's digit.
void TestCupPlayWindow::mnemonicsAreUnique()
{
    QVERIFY(openWith(cupAtRound3(23)));
    QSet<QKeySequence> taken;
    for (int round = 1; round <= kCupRounds; ++round)
        taken << QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + round));
    const QList<QPushButton *> buttons = m_window->findChildren<QPushButton *>();
    QVERIFY(buttons.size() >= 6);
    for (const QPushButton *button : buttons) {
        const QKeySequence letter = QKeySequence::mnemonic(button->text());
        QVERIFY2(!letter.isEmpty(), qPrintable(button->text()));
        QVERIFY2(!taken.contains(letter), qPrintable(button->text()));
        taken << letter;
    }
    // Alt and a button's letter presses it: Alt+A asks whether to cancel the round's draw.
    QString asked;
    whenModal<QMessageBox>([&asked](QMessageBox *box) {
        asked = box->text();
        box->button(QMessageBox::No)->click();
    });
    QTest::keyClick(m_window->table(3), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(asked, QString::fromStdString(cancelQuestion(*m_source->cup(), 3)));
    QVERIFY(m_source->cup()->isDrawn(3));
}

void TestCupPlayWindow::redraw_data()
{
    QTest::addColumn<bool>("withResult");
    QTest::addColumn<bool>("yes");
    QTest::newRow("sans résultat, oui") << false << true;
    QTest::newRow("sans résultat, non") << false << false;
    QTest::newRow("avec un résultat") << true << true;
}

// "Nouveau tirage du tour" does what the calculator's --refaire does, after a question, and
// only while the round has no result.
void TestCupPlayWindow::redraw()
{
    QFETCH(bool, withResult);
    QFETCH(bool, yes);
    Cup cup = cupAtRound3(24);
    if (withResult)
        QVERIFY(recordWinner(cup, 3, cup.pendingGames(3).front().teamA).done);
    Cup reference = cup;
    QVERIFY(openWith(cup));
    auto *button = m_window->findChild<QPushButton *>(QStringLiteral("BoutonNouveauTirage"));
    QCOMPARE(button->text(), QStringLiteral("&Nouveau tirage du Tour 3"));
    QCOMPARE(button->isEnabled(), !withResult);
    if (withResult) {
        QVERIFY(!m_window->redrawShownRound()); // the cup's own refusal, said
        QCOMPARE(label("MessageDeroulement"),
                 QString::fromStdString(redrawRound(reference, 3).text));
        return;
    }
    QString asked;
    whenModal<QMessageBox>([&asked, yes](QMessageBox *box) {
        asked = box->text();
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    button->click();
    QCOMPARE(asked, QString::fromStdString(redrawQuestion(reference, 3)));
    if (yes)
        QCOMPARE(label("MessageDeroulement"),
                 QString::fromStdString(redrawRound(reference, 3).text));
    QCOMPARE(cupCsv(*m_source->cup()), cupCsv(reference));
    QCOMPARE(m_source->cup()->drawnRound(3)->attempt, yes ? 2 : 1);
    QTRY_COMPARE(QApplication::focusWidget(), m_window->table(3));
}

void TestCupPlayWindow::sharedWidths_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("minimum");
    QTest::addColumn<QList<int>>("weight");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("la place à partager")
        << 100 << QList<int>{10, 20, 10} << QList<int>{0, 3, 1} << QList<int>{10, 65, 25};
    QTest::newRow("le reste au premier des plus lourds")
        << 101 << QList<int>{0, 0, 0} << QList<int>{1, 2, 2} << QList<int>{20, 41, 40};
    QTest::newRow("juste les minimums")
        << 40 << QList<int>{10, 20, 10} << QList<int>{0, 3, 1} << QList<int>{10, 20, 10};
    QTest::newRow("trop étroit : les minimums")
        << 5 << QList<int>{10, 20, 10} << QList<int>{0, 3, 1} << QList<int>{10, 20, 10};
    QTest::newRow("aucun poids") << 500 << QList<int>{10, 20} << QList<int>{0, 0}
                                 << QList<int>{10, 20};
}

void TestCupPlayWindow::sharedWidths()
{
    QFETCH(int, width);
    QFETCH(QList<int>, minimum);
    QFETCH(QList<int>, weight);
    QFETCH(QList<int>, expected);
    const std::vector<int> widths = velmorin::sharedWidths(width, {minimum.begin(), minimum.end()},
                                                           {weight.begin(), weight.end()});
    QCOMPARE(QList<int>(widths.begin(), widths.end()), expected);
}

// On a 1024×600 screen beside the main window: at most 560 pixels wide and 520 tall at the
// least, with round 4's list of exempted teams and long names; its columns fill the table, the
// names wider than the clubs, and a long club is not cut at a wide window.
void TestCupPlayWindow::fitsASmallScreen()
{
    Cup cup = inventedCup(56, 2, {Ratio::ThreeQuarters, Ratio::Half, Ratio::Half}, 1, 2);
    std::vector<CupTeam> renamed = cup.teams();
    renamed[0].club = "Entente sportive intercommunale des Coteaux-de-la-Loire";
    QVERIFY(cup.changeInputs(renamed, cup.layout(), cup.seed()).done);
    SeededDraw draw(2);
    for (int round = 1; round <= 3; ++round) {
        QVERIFY(drawRound(cup, round).done);
        playRound(cup, round, draw, false);
    }
    QVERIFY(openWith(cup));
    QCOMPARE(m_window->shownRound(), 4);
    QVERIFY(m_window->findChild<QListWidget *>(QStringLiteral("ExempteesTour4"))->isVisible());
    const QSize least = m_window->minimumSizeHint().expandedTo(m_window->minimumSize());
    QVERIFY2(least.width() <= 560 && least.height() <= 520,
             qPrintable(QStringLiteral("%1×%2").arg(least.width()).arg(least.height())));
    const QRect available = m_window->screen()->availableGeometry();
    QVERIFY(available.contains(m_window->frameGeometry()));

    m_window->showRound(1);
    QTableView *view = m_window->table(1);
    for (const int width : {560, 1000}) {
        m_window->resize(width, 500);
        QCoreApplication::processEvents();
        int total = 0;
        for (int c = 0; c < RoundGamesModel::ColumnCount; ++c)
            total += view->columnWidth(c);
        QVERIFY2(total >= view->viewport()->width(), qPrintable(QString::number(total)));
        QVERIFY(view->columnWidth(RoundGamesModel::TeamA) >
                view->columnWidth(RoundGamesModel::ClubA));
        if (width == 1000) {
            QCOMPARE(total, view->viewport()->width());
            QVERIFY(!view->horizontalScrollBar()->isVisible());
        }
    }
}

// Its place and size come back in the next session, whole on the screen.
void TestCupPlayWindow::placementRemembered()
{
    QVERIFY(openWith(cupAtRound3(25)));
    const QRect available = m_window->screen()->availableGeometry();
    const QRect chosen(available.topLeft() + QPoint(20, 30), QSize(600, 420));
    m_window->setGeometry(chosen);
    QCoreApplication::processEvents();
    const QRect left = m_window->geometry();
    m_window->close();
    m_window = nullptr;
    m_host = std::make_unique<TVlmFPrg>();
    QVERIFY(showActive(*m_host));
    QVERIFY(openWith(cupAtRound3(25)));
    QCOMPARE(m_window->geometry(), left);

    // Left larger than the screen it comes back on: shrunk and moved onto it.
    m_window->setGeometry(QRect(available.topLeft() + QPoint(300, 200), available.size()));
    m_window->close();
    m_window = nullptr;
    m_host = std::make_unique<TVlmFPrg>();
    QVERIFY(showActive(*m_host));
    QVERIFY(openWith(cupAtRound3(25)));
    QVERIFY2(available.contains(m_window->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3×%4")
                            .arg(m_window->frameGeometry().x())
                            .arg(m_window->frameGeometry().y())
                            .arg(m_window->frameGeometry().width())
                            .arg(m_window->frameGeometry().height())));
}

QTEST_MAIN(TestCupPlayWindow)
#include "tst_cupplaywindow.moc"
