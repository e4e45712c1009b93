// The cup window's keys and actions: winners, forfeits and scores entered, draws made or cancelled.

#include "DeroulementWindow.h"

#include "DeroulementPrivate.h"

#include "RoundGamesModel.h"

#include <QKeyEvent>
#include <QTableView>

#include <algorithm>

namespace velmorin {

using namespace deroulementprivate;

namespace {

const QString kWinnerFirst = QStringLiteral(
    "Choisissez d'abord le gagnant (1 ou A, 2 ou B) : le score donne ses points en premier.");

int sideKey(int key)
{
    switch (key) {
    case Qt::Key_1:
    case Qt::Key_A:
        return 0;
    case Qt::Key_2:
    case Qt::Key_B:
        return 1;
    default:
        return -1;
    }
}

} // namespace

bool DeroulementWindow::replaceResult(int row, int winner, std::optional<Score> score,
                                      bool withdrawn)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    const ResultRecord before = *c->result(game);
    const std::string winnerName = c->teams()[std::size_t(before.winner)].name;
    const CorrectionCommand correction{game, winner, score, withdrawn};
    if (before.winner == winner)
        // The same winner: the score or the forfeit change and nothing else goes.
        if (before.withdrawn.has_value() == withdrawn)
            return applyToCup(correction).done;
    return confirm(
        QStringLiteral("Corriger le résultat"),
        QStringLiteral("%1 a gagné cette partie. Corriger son résultat ?").arg(text(winnerName)),
        correction);
}

std::optional<std::pair<int, int>> DeroulementWindow::playableSides(int row)
{
    const Cup *c = cup();
    const auto sides = c ? c->gameTeams(model(shownRound())->gameAt(row)) : std::nullopt;
    if (!sides)
        say(QStringLiteral("Cette partie attend les résultats des parties 1 et 2 de la poule."),
            true);
    return sides;
}

bool DeroulementWindow::markWinner(int row, int side)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    const auto sides = playableSides(row);
    if (!sides)
        return false;
    const int winner = side == 0 ? sides->first : sides->second;
    if (const auto before = c->result(game)) {
        // Between two withdrawn teams, the organiser names the one that goes through.
        if (c->isWithdrawn(sides->first, game.round) && c->isWithdrawn(sides->second, game.round))
            return applyToCup(QualificationCommand{game, winner}).done;
        if (before->winner == winner && !before->withdrawn)
            return false;
        return replaceResult(row, winner, std::nullopt, false);
    }
    return applyToCup(ResultCommand{game, winner, std::nullopt, false}).done;
}

bool DeroulementWindow::markForfeit(int row, int side)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    const auto sides = playableSides(row);
    if (!sides)
        return false;
    const int withdrawn = side == 0 ? sides->first : sides->second;
    const int winner = side == 0 ? sides->second : sides->first;
    if (const auto before = c->result(game)) {
        if (before->withdrawn == withdrawn)
            return false;
        return replaceResult(row, winner, std::nullopt, true);
    }
    return applyToCup(ResultCommand{game, winner, std::nullopt, true}).done;
}

bool DeroulementWindow::enterScore(int row, const QString &typed)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    if (!c || !c->gameTeams(game))
        return false;
    const ScoreReading reading = readScore(typed.toStdString());
    if (!reading.score) {
        say(text(reading.refusal), true);
        return false;
    }
    // The score gives the winner's points first: the winner is the one already chosen.
    const auto before = c->result(game);
    if (!before) {
        say(kWinnerFirst, true);
        return false;
    }
    return replaceResult(row, before->winner, reading.score, false);
}

void DeroulementWindow::openScore(int row)
{
    const Cup *c = cup();
    if (!c || !playableSides(row))
        return;
    if (!c->result(model(shownRound())->gameAt(row))) {
        say(kWinnerFirst, true);
        return;
    }
    QTableView *view = table(shownRound());
    const QModelIndex score = model(shownRound())->index(row, RoundGamesModel::ScoreColumn);
    view->setCurrentIndex(score);
    view->edit(score);
}

bool DeroulementWindow::drawShownRound()
{
    const int round = shownRound();
    const bool drawn = applyToCup(DrawCommand{round}).done;
    if (drawn) {
        QTableView *view = table(round);
        if (view->model()->rowCount() > 0)
            view->setCurrentIndex(view->model()->index(0, RoundGamesModel::TeamA));
        view->setFocus();
    }
    return drawn;
}

bool DeroulementWindow::cancelShownRound()
{
    const int round = shownRound();
    return confirm(QStringLiteral("Annuler le tirage"),
                   QStringLiteral("Annuler le tirage du %1 ?").arg(roundLabel(round)),
                   CancelDrawCommand{round});
}

bool DeroulementWindow::goToNextOpenGame()
{
    RoundGamesModel *games = model(shownRound());
    const int rows = games->rowCount();
    const int from = selectedRow();
    for (int step = 1; step <= rows; ++step) {
        const int row = (from + step) % rows;
        if (games->isPlayable(row) && !games->hasResult(row)) {
            QTableView *view = table(shownRound());
            const int column = view->currentIndex().isValid() ? view->currentIndex().column()
                                                              : int(RoundGamesModel::TeamA);
            view->setCurrentIndex(games->index(row, column));
            return true;
        }
    }
    say(QStringLiteral("Toutes les parties du tour qui peuvent se jouer ont leur résultat."));
    return false;
}

bool DeroulementWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return FeatureWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const bool entry = sideKey(key->key()) >= 0 || key->key() == Qt::Key_F ||
                       key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched != table(shownRound()))
        // A table left behind when its round completed: its keys do nothing, and Enter must
        // not reach the buttons.
        return entry;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const int row = selectedRow();
    const int side = sideKey(key->key());
    // Read-only: the keys that would enter a result say why they do nothing.
    if (const QString reason = readOnlyReason();
        !reason.isEmpty() && (side >= 0 || key->key() == Qt::Key_F)) {
        m_forfeitPending = false;
        say(reason, true);
        return true;
    }
    if (m_forfeitPending) {
        m_forfeitPending = false;
        if (side >= 0 && row >= 0)
            runGuarded([&] { markForfeit(row, side); });
        else
            say(QStringLiteral("Forfait abandonné."));
        return true; // Esc ends the forfeit, not the window
    }
    QTableView *view = table(shownRound());
    if (view->indexWidget(view->currentIndex())) {
        // A key the score's editor let through (Enter once the score is read): the game stays
        // current, whether the score is taken or refused.
        return entry;
    }
    // Whatever the column: a score has its own key.
    if (side >= 0 && row >= 0) {
        runGuarded([&] { markWinner(row, side); });
        return true;
    }
    if (key->key() == Qt::Key_S && row >= 0) {
        openScore(row);
        return true;
    }
    if (key->key() == Qt::Key_F && row >= 0) {
        m_forfeitPending = true;
        say(QStringLiteral("Forfait : 1 ou A si l'équipe A déclare forfait, 2 ou B si c'est "
                           "l'équipe B, Échap pour y renoncer."));
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        goToNextOpenGame();
        return true;
    }
    return false;
}

} // namespace velmorin
