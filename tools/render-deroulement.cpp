// Renders the cup's window at round 2 (48 invented teams over 3 clubs, round 1 played, round 2
// drawn and a few of its results entered) into a PNG file, for the documentation.

#include "CupPlayWindow.h"
#include "MemoryCup.h"
#include "RenderWindow.h"

int main(int argc, char *argv[])
{
    using namespace velmorin;
    Cup cup = testing::inventedCup(48, 3, {Ratio::Half, Ratio::Half, Ratio::Half}, 0, 2026);
    SeededDraw draw(2026);
    velmorin::testing::drawRound(cup, 1);
    testing::playRound(cup, 1, draw, false);
    velmorin::testing::drawRound(cup, 2);
    const std::vector<PendingGame> pending = cup.pendingGames(2);
    for (std::size_t k = 0; k < pending.size() && k < 5; ++k)
        velmorin::testing::recordWinner(cup, 2, k % 2 ? pending[k].teamB : pending[k].teamA,
                                        Score{13, int(draw.below(13))});
    testing::MemoryCup source(std::move(cup));
    return renderFromMainWindow(argc, argv, "deroulement.png", [&](TVlmFPrg &window) {
        installCupPlay(window, [&]() -> CupRunSource * { return &source; });
        CupPlayWindow *shown = openCupPlay(window, [&]() -> CupRunSource * { return &source; });
        // As on a desktop beside the main window, not squeezed into the offscreen screen.
        shown->resize(1000, 560);
        return static_cast<QWidget *>(shown);
    });
}
