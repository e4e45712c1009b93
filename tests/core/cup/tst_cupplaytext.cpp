// What the cup's window says around the cup's answers: counts in good French, a banner that
// follows every result, and questions that say, before the answer, all that the answer would
// undo: checked against what the cup then says it did.

#include "CupPlayText.h"
#include "CupSimulation.h"

#include <QRegularExpression>
#include <QtTest>

#include <map>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

constexpr std::array<Ratio, 3> kHalves{Ratio::Half, Ratio::Half, Ratio::Half};

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// A cup played at random for `steps` commands, the same for a seed.
Cup playedCup(std::uint64_t seed, int steps)
{
    Cup cup = inventedCup(40 + Count(seed % 3) * 8, seed % 4, kHalves, 0, seed);
    SeededDraw draw(seed * 31 + 7);
    for (int k = 0; k < steps; ++k)
        cup.apply(randomCommand(cup, draw));
    return cup;
}

// "3" from "… 3 résultats sont effacés": the count the cup's own answer gives, 0 when it
// names none.
int countIn(const QString &text, const QString &pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

class TestCupPlayText : public QObject
{
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void progress_data();
    void progress();
    void cancelSaysWhatGoes_data();
    void cancelSaysWhatGoes();
    void correctionSaysWhatGoes_data();
    void correctionSaysWhatGoes();
    void correctionOfAScoredGame();
};

void TestCupPlayText::counts_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("feminine");
    QTest::addColumn<QString>("expected");
    QTest::newRow("aucun") << 0 << false << "aucun résultat";
    QTest::newRow("aucune") << 0 << true << "aucune partie";
    QTest::newRow("un") << 1 << false << "1 résultat";
    QTest::newRow("une") << 1 << true << "1 partie";
    QTest::newRow("deux") << 2 << false << "2 résultats";
    QTest::newRow("beaucoup") << 1024 << true << "1024 parties";
}

void TestCupPlayText::counts()
{
    QFETCH(int, count);
    QFETCH(bool, feminine);
    QFETCH(QString, expected);
    const std::string_view singular = feminine ? "partie" : "résultat";
    const std::string_view plural = feminine ? "parties" : "résultats";
    QCOMPARE(q(countOf(count, singular, plural, feminine)), expected);
}

void TestCupPlayText::progress_data()
{
    QTest::addColumn<int>("results");      // -1: round 1 not drawn, 99: round 1 complete
    QTest::addColumn<QString>("expected"); // %1: round 1's games
    QTest::newRow("avant le tirage") << -1 << "Tirez le Tour 1 pour commencer la coupe.";
    QTest::newRow("tiré") << 0
                          << "Tour 1 : aucun résultat sur %1 parties — Tirage du Tour 2 quand "
                             "tous sont saisis.";
    QTest::newRow("un résultat")
        << 1 << "Tour 1 : 1 résultat sur %1 parties — Tirage du Tour 2 quand tous sont saisis.";
    QTest::newRow("trois résultats")
        << 3 << "Tour 1 : 3 résultats sur %1 parties — Tirage du Tour 2 quand tous sont saisis.";
    QTest::newRow("terminé") << 99 << "Tour 1 terminé — Tirez le Tour 2.";
}

void TestCupPlayText::progress()
{
    QFETCH(int, results);
    QFETCH(QString, expected);
    Cup cup = inventedCup(40, 2, kHalves, 0, 5);
    if (results >= 0)
        QVERIFY(drawRound(cup, 1).done);
    for (int k = 0; k < results && !cup.pendingGames(1).empty(); ++k)
        QVERIFY(recordWinner(cup, 1, cup.pendingGames(1).front().teamA).done);
    const int round = cup.isDrawn(1) && cup.isComplete(1) ? 2 : 1;
    QCOMPARE(q(cupProgress(cup, round)), expected.arg(cup.gameCount(1)));
}

void TestCupPlayText::cancelSaysWhatGoes_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("steps");
    for (quint64 seed = 1; seed <= 24; ++seed)
        QTest::addRow("graine %llu", seed) << seed << int(seed * 13 % 90);
}

// The question names the results and forfeits the cancellation then says it discarded, in
// the conditional and with its plurals right.
void TestCupPlayText::cancelSaysWhatGoes()
{
    QFETCH(quint64, seed);
    QFETCH(int, steps);
    Cup cup = playedCup(seed, steps);
    if (cup.drawnRounds() == 0)
        QVERIFY(drawRound(cup, 1).done);
    const int round = cup.drawnRounds();
    const QString question = q(cancelQuestion(cup, round));
    const QString done = q(cancelRound(cup, round).text);
    QVERIFY2(question.startsWith(QStringLiteral("Annuler le tirage du Tour %1 ? ").arg(round)),
             qPrintable(question));
    QVERIFY2(!question.contains(QStringLiteral(" est effacé")) &&
                 !question.contains(QStringLiteral(" sont effacés")),
             qPrintable(question));
    const int results = countIn(done, QStringLiteral("(\\d+) résultats? (?:est|sont) effacé"));
    const int forfeits = countIn(done, QStringLiteral("(\\d+) forfaits? déclarés? "));
    if (results == 0)
        QVERIFY2(question.contains(QStringLiteral("Aucun résultat n'y est saisi.")),
                 qPrintable(question));
    else if (results == 1)
        QVERIFY2(question.contains(QStringLiteral("Son seul résultat serait effacé.")),
                 qPrintable(question));
    else
        QVERIFY2(
            question.contains(QStringLiteral("Ses %1 résultats seraient effacés.").arg(results)),
            qPrintable(question + " / " + done));
    QCOMPARE(question.contains(QStringLiteral("Le forfait déclaré serait oublié.")), forfeits == 1);
    QCOMPARE(question.contains(QStringLiteral("forfaits déclarés seraient oubliés")), forfeits > 1);
}

void TestCupPlayText::correctionSaysWhatGoes_data()
{
    QTest::addColumn<quint64>("seed");
    for (quint64 seed = 1; seed <= 30; ++seed)
        QTest::addRow("graine %llu", seed) << seed;
}

// Every decided game of the last round corrected to its other team: the question names each
// result the correction would then be found to have erased, and the score, in the conditional.
void TestCupPlayText::correctionSaysWhatGoes()
{
    QFETCH(quint64, seed);
    Cup cup = playedCup(seed, int(20 + seed * 7 % 60));
    if (cup.drawnRounds() == 0)
        QVERIFY(drawRound(cup, 1).done);
    const int round = cup.drawnRounds();
    // Some results to correct, scored or not.
    for (int k = 0; k < 6 && !cup.pendingGames(round).empty(); ++k) {
        const PendingGame next =
            cup.pendingGames(round)[std::size_t(k) % cup.pendingGames(round).size()];
        recordWinner(cup, round, k % 2 ? next.teamA : next.teamB,
                     k % 3 ? std::optional<Score>(Score{13, k}) : std::nullopt);
    }
    int asked = 0;
    for (const ResultRecord &result : cup.records().results) {
        if (result.round != round)
            continue;
        const GameRef game{result.round, result.group, result.game};
        const auto sides = *cup.gameTeams(game);
        const int other = sides.first == result.winner ? sides.second : sides.first;
        Cup after = cup;
        if (!correctResult(after, game, other, std::nullopt).done)
            continue;
        ++asked;
        const QString question = q(correctionQuestion(cup, after, game));
        QVERIFY(question.startsWith(QStringLiteral("Corriger le résultat d")));
        QVERIFY2(!question.contains(QStringLiteral(" est effacé")), qPrintable(question));
        int erased = 0;
        for (const ResultRecord &was : cup.records().results) {
            const GameRef ref{was.round, was.group, was.game};
            const bool same =
                ref.round == game.round && ref.group == game.group && ref.game == game.game;
            if (!same && !after.result(ref)) {
                ++erased;
                const std::string label = gameLabel(cup.layout(), ref);
                QVERIFY2(question.contains(q(label.substr(label.find(' ') + 1))),
                         qPrintable(question));
            }
        }
        erased += result.winnerScore.has_value();
        QCOMPARE(int(question.count(QStringLiteral(" serait effacé"))), erased);
        QVERIFY2(question.contains(QStringLiteral(" la gagnerait à la place de ")) ||
                     question.contains(QStringLiteral(" la perdrait par forfait")) ||
                     question.contains(QStringLiteral("serait retiré")),
                 qPrintable(question));
    }
    QVERIFY(asked > 0);
}

void TestCupPlayText::correctionOfAScoredGame()
{
    Cup cup = inventedCup(40, 0, kHalves, 0, 9);
    QVERIFY(drawRound(cup, 1).done);
    const auto first = *cup.gameTeams({1, 1, 1});
    const auto second = *cup.gameTeams({1, 1, 2});
    QVERIFY(cup.apply(ResultCommand{{1, 1, 1}, first.first, Score{13, 7}, false}).done);
    QVERIFY(cup.apply(ResultCommand{{1, 1, 2}, second.first, std::nullopt, false}).done);
    const auto barrage = *cup.gameTeams({1, 1, kBarrage});
    QVERIFY(cup.apply(ResultCommand{{1, 1, kBarrage}, barrage.first, std::nullopt, false}).done);
    Cup after = cup;
    QVERIFY(correctResult(after, {1, 1, 1}, first.second, std::nullopt).done);
    const std::string a = quotedTeam(cup.teams()[std::size_t(first.first)]);
    const std::string b = quotedTeam(cup.teams()[std::size_t(first.second)]);
    QCOMPARE(q(correctionQuestion(cup, after, {1, 1, 1})),
             q("Corriger le résultat de la partie 1 de la poule 1 du Tour 1 ? " + b +
               " la gagnerait à la place de " + a +
               ". Son score 13-7 serait effacé. Le résultat du barrage de la poule 1 du Tour 1 "
               "serait effacé."));
}

QTEST_APPLESS_MAIN(TestCupPlayText)
#include "tst_cupplaytext.moc"
