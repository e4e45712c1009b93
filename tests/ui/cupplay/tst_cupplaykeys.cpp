// A whole cup played in its window from the keyboard alone, as on the day: each round drawn
// from its button reached by Tab or by its mnemonic, winners, scores, forfeits, slips and
// corrections typed; after every key the calculator reads the cup file and lists the cup the
// keys said, and the banner counts it.

#include "CupCalcRun.h"
#include "CupPlayText.h"
#include "CupPlayWindow.h"
#include "CupSession.h"
#include "CupSetups.h"
#include "CupSimulation.h"
#include "CupStore.h"
#include "CupText.h"
#include "FeatureTestWindow.h"
#include "ModalAnswers.h"
#include "RoundGamesModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace velmorin;
using namespace velmorin::testing;

class TestCupPlayKeys : public QObject, public WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(keepSettingsIn(m_settingsDir)); }
    void wholeCup_data();
    void wholeCup();

private:
    // One key to the widget with the focus, then the file read back by the calculator.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString &text);
    void checkFile();
    QString label(const char *name) const
    {
        return m_cupWindow->findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
    QWidget *focused() const { return QApplication::focusWidget(); }
    QLineEdit *scoreEditor() const { return qobject_cast<QLineEdit *>(focused()); }

    QTemporaryDir m_settingsDir;
    QString m_path;
    std::optional<Cup> m_reference;
    CupSession *m_session = nullptr;
    QString m_asked; // the last question's text
    CupPlayWindow *m_cupWindow = nullptr;
    int m_round = 1;
    int m_checks = 0;
};

void TestCupPlayKeys::press(int key, Qt::KeyboardModifiers modifiers)
{
    QTRY_VERIFY2(focused(), "no widget has the keyboard"); // a question's box just closed
    QWidget *target = focused();
    QTest::keyClick(target, Qt::Key(key), modifiers);
    QCoreApplication::processEvents();
}

void TestCupPlayKeys::type(const QString &text)
{
    QLineEdit *editor = scoreEditor();
    QVERIFY2(editor, "no score's editor open");
    QTest::keyClicks(editor, text);
}

void TestCupPlayKeys::checkFile()
{
    ++m_checks;
    const CalcRun listed = runCup({QStringLiteral("--coupe"), m_path, QStringLiteral("--tableau")});
    QCOMPARE(listed.status, 0);
    const QStringList read = QString::fromStdString(listed.out).split(QLatin1Char('\n'));
    const QStringList expected =
        QString::fromStdString(cupTable(*m_reference)).split(QLatin1Char('\n'));
    for (qsizetype k = 0; k < std::min(read.size(), expected.size()); ++k)
        QVERIFY2(read[k] == expected[k], // the first line that differs
                 qPrintable(read[k] + QStringLiteral(" / ") + expected[k] + QStringLiteral(" / ") +
                            label("MessageDeroulement")));
    QCOMPARE(read.size(), expected.size());
    const int round = m_cupWindow->currentRound();
    QCOMPARE(label("BandeauDeroulement"), QString::fromStdString(cupProgress(*m_reference, round)));
}

void TestCupPlayKeys::wholeCup_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("teams");
    QTest::newRow("24 équipes") << quint64(3) << 24;
    QTest::newRow("30 équipes") << quint64(8) << 30;
}

void TestCupPlayKeys::wholeCup()
{
    QFETCH(quint64, seed);
    QFETCH(int, teams);
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MessageBoxCatcher> boxes;
    std::unique_ptr<TVlmFPrg> window;
    QVERIFY(startFeatureWindow(dir, boxes, window));
    boxes.reset(); // the questions are answered here, each as the organiser would
    setWindow(window.get());
    m_path = dir->filePath(QStringLiteral("coupe.velmorin"));
    QVERIFY(CupStore::create(m_path, playableCup(seed, std::size_t(teams))).ok());
    m_session = &CupSession::of(*window);
    QVERIFY(m_session->open(m_path));
    m_reference = *m_session->cup();

    QTest::keyClick(window.get(), Qt::Key_F5);
    m_cupWindow = get<CupPlayWindow>("Deroulement");
    QVERIFY(m_cupWindow && showActive(*m_cupWindow));
    SeededDraw draw(seed * 104729);

    for (m_round = 1; m_round <= kCupRounds; ++m_round) {
        QCOMPARE(m_cupWindow->shownRound(), m_round);
        auto *drawButton = m_cupWindow->findChild<QPushButton *>(QStringLiteral("BoutonTirage"));
        if (m_round % 2 == 1) {
            // Tab leaves the games' table for the buttons; Space presses the one reached.
            for (int k = 0; k < 12 && focused() != drawButton; ++k)
                press(Qt::Key_Tab);
            QCOMPARE(focused(), drawButton);
            press(Qt::Key_Space);
        } else {
            press(Qt::Key_T, Qt::AltModifier);
            QTRY_VERIFY(m_session->cup()->isDrawn(m_round)); // a mnemonic clicks a moment later
        }
        QVERIFY(drawRound(*m_reference, m_round).done);
        checkFile();
        if (QTest::currentTestFailed())
            return;
        QTableView *view = m_cupWindow->table(m_round);
        RoundGamesModel *games = m_cupWindow->model(m_round);
        QCOMPARE(focused(), view); // the keys go to the round just drawn
        int guard = 0;
        while (!m_reference->isComplete(m_round) && ++guard < 400) {
            const int row = view->currentIndex().row();
            const GameRef game = games->gameAt(row);
            // The keys stand on a game without a result: after a draw that decided some by
            // forfeit, and after Enter.
            QVERIFY(!m_reference->result(game));
            const auto sides = *m_reference->gameTeams(game);
            // A team that withdrew earlier in the round loses its games: the other one wins.
            const bool aOut = m_reference->isWithdrawn(sides.first, m_round);
            const bool bOut = m_reference->isWithdrawn(sides.second, m_round);
            const int side = aOut != bOut ? int(aOut) : int(draw.below(2));
            const int team = side ? sides.second : sides.first;
            const int other = side ? sides.first : sides.second;
            if (aOut && bOut) {
                press(side ? Qt::Key_2 : Qt::Key_1); // the organiser names the one that goes
                QVERIFY(m_reference->apply(QualificationCommand{game, team}).done);
                checkFile();
                press(Qt::Key_Return);
                continue;
            }
            switch (aOut || bOut ? 2 : draw.below(5)) {
            case 0: // a forfeit: F, then the side that withdraws
                press(Qt::Key_F);
                press(side ? Qt::Key_2 : Qt::Key_A);
                QVERIFY(declareForfeit(*m_reference, m_round, team).done);
                break;
            case 1: { // the winner, then its score; a slip first, refused and recording nothing
                press(side ? Qt::Key_B : Qt::Key_1);
                QVERIFY(recordWinner(*m_reference, m_round, team).done);
                checkFile();
                if (m_reference->isComplete(m_round))
                    break;
                press(Qt::Key_S);
                type(QStringLiteral("7"));
                press(Qt::Key_Return);
                QTRY_VERIFY(label("MessageDeroulement").contains("n'est pas un score"));
                QCOMPARE(view->currentIndex().row(), row);
                checkFile();
                press(Qt::Key_S);
                const int loser = int(draw.below(13));
                type(QStringLiteral("13-%1").arg(loser));
                press(Qt::Key_Return);
                // Read once its editor has closed.
                QTRY_VERIFY(m_session->cup()->result(game)->winnerScore);
                QVERIFY(correctResult(*m_reference, game, team, Score{13, loser}).done);
                break;
            }
            default:
                press(side ? Qt::Key_2 : Qt::Key_A);
                QVERIFY2(recordWinner(*m_reference, m_round, team).done,
                         qPrintable(label("MessageDeroulement")));
            }
            checkFile();
            if (QTest::currentTestFailed())
                return;
            if (draw.below(4) == 0 && !m_reference->isComplete(m_round) &&
                m_reference->result(game)->winner == team) {
                // A correction: the question says, in the conditional, what would go; No keeps
                // the cup, Yes changes it.
                m_asked.clear();
                whenModal<QMessageBox>([this](QMessageBox *box) {
                    m_asked = box->text();
                    box->button(QMessageBox::No)->click();
                });
                press(side ? Qt::Key_A : Qt::Key_B);
                const QString asked = m_asked;
                QVERIFY2(asked.startsWith(QStringLiteral("Corriger le résultat d")) &&
                             asked.contains(QStringLiteral("la gagnerait à la place de")),
                         qPrintable(asked + QStringLiteral(" / ") + label("MessageDeroulement")));
                checkFile();
                whenModal<QMessageBox>(
                    [](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
                press(side ? Qt::Key_1 : Qt::Key_2);
                QVERIFY(correctResult(*m_reference, game, other, std::nullopt).done);
                checkFile();
            }
            if (QTest::currentTestFailed())
                return;
            if (!m_reference->isComplete(m_round)) {
                press(Qt::Key_Return); // the next game without a result
                QVERIFY(!games->hasResult(view->currentIndex().row()));
            }
        }
        QVERIFY(m_reference->isComplete(m_round));
    }
    QVERIFY(label("EquipesFinale").startsWith(QStringLiteral("Équipes de la finale : ")));
    QVERIFY(m_checks > 40);
    QVERIFY(!QApplication::activeModalWidget()); // no question left unanswered
}

VELMORIN_WINDOW_TEST_MAIN(TestCupPlayKeys)
#include "tst_cupplaykeys.moc"
