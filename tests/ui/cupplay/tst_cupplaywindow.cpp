#include "CupPlayText.h"
#include "CupPlayWindow.h"
#include "CupText.h"
#include "MemoryCup.h"
#include "ModalAnswers.h"
#include "RoundGamesModel.h"
#include "RoundSheets.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
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
    void init();
    void cleanup();
    void withoutCup();
    void keyboardCup_data();
    void keyboardCup();
    void scoreText_data();
    void scoreText();
    void withdrawnBarrage();
    void exports();

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
    QFile pdfFile(pdf);
    QVERIFY(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdfFile.readAll();
    QVERIFY(pdfBytes.startsWith("%PDF"));
    QCOMPARE(int(pdfBytes.count("/Type /Page\n") + pdfBytes.count("/Type /Page\r")) +
                 int(pdfBytes.count("/Type /Page ")) + int(pdfBytes.count("/Type /Page>")),
             roundSheetPages(cup, 1));

    const QString page = dir.filePath(QStringLiteral("resultats.html"));
    QVERIFY(m_window->exportPageTo(page, QDateTime(QDate(2026, 5, 1), QTime(9, 5))));
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

QTEST_MAIN(TestCupPlayWindow)
#include "tst_cupplaywindow.moc"
