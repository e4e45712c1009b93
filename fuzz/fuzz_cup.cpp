// The cup driven by any sequence of commands (draws, results, withdrawals, qualifications,
// corrections, cancellations, exempted choices), changed inputs, scores as typed and restores
// of damaged records: after every step the
// cup keeps its rules, a refusal changes nothing, and its records restore to the same cup.

#include "Cup.h"
#include "CupCommand.h"
#include "CupSimulation.h"
#include "CupText.h"
#include "FuzzInput.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

using namespace velmorin;
using velmorin::fuzz::check;
using velmorin::fuzz::take;

// One int of the records, chosen and replaced by the input: a damaged file.
void damage(CupRecords &records, std::uint32_t where, int value)
{
    std::vector<int *> cells;
    for (DrawRecord &draw : records.draws) {
        cells.push_back(&draw.round);
        cells.push_back(&draw.attempt);
        for (int &team : draw.exempted)
            cells.push_back(&team);
        for (auto &group : draw.groups) {
            for (int &team : group)
                cells.push_back(&team);
        }
        for (Meeting &meeting : draw.meetings)
            cells.push_back(&meeting.teamA);
    }
    for (ResultRecord &result : records.results) {
        for (int *cell : {&result.round, &result.group, &result.game, &result.winner})
            cells.push_back(cell);
        if (result.winnerScore)
            cells.push_back(&*result.winnerScore);
        if (result.withdrawn)
            cells.push_back(&*result.withdrawn);
    }
    if (cells.empty() || where % 7 == 0) {
        records.results.push_back({value % 8, value % 5, value % 4, value, {}, {}, value});
        return;
    }
    *cells[where % cells.size()] = value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto shape = take<std::uint32_t>(data, size);
    const std::array<Ratio, 3> ratios{ratioFromIndex(shape & 1), ratioFromIndex(shape & 2),
                                      ratioFromIndex(shape & 4)};
    const int exempted = static_cast<int>((shape >> 3) % 3);
    const Count teams = 8 + static_cast<Count>((shape >> 5) % 120);
    SeededDraw invent(shape);
    const auto entrants = testing::entrantsFor(teams, ratios, exempted, invent);
    if (!entrants)
        return 0;
    CupCreation made = Cup::create(testing::inventedTeams(*entrants, (shape >> 12) % 9, invent),
                                   *testing::layoutFor(*entrants, ratios, exempted), shape);
    check(made.ok(), "an invented cup refused");
    Cup &cup = *made.cup;

    for (int steps = 0; size > 0 && steps < 64; ++steps) {
        const auto op = take<std::uint8_t>(data, size);
        const auto a = take<std::uint16_t>(data, size);
        const auto b = take<std::uint16_t>(data, size);
        const int round = 1 + a % 7;
        const int team = static_cast<int>(b % (cup.teams().size() + 2)) - 1;
        const std::optional<Score> score =
            b & 0x8000 ? std::nullopt : std::optional<Score>(Score{(a >> 4) % 20, b % 16});
        const CupRecords before = cup.records();
        CupAnswer answer;
        switch (op % 13) {
        case 0:
            answer = velmorin::testing::drawRound(cup, round);
            break;
        case 1:
            answer = velmorin::testing::redrawRound(cup, round);
            break;
        case 2:
            answer = velmorin::testing::cancelRound(cup, round);
            break;
        case 3:
            answer = velmorin::testing::recordWinner(cup, round, team, score);
            break;
        case 4:
            answer = velmorin::testing::declareForfeit(cup, round, team);
            break;
        case 5:
            answer = velmorin::testing::correctResult(cup, {round, (a >> 3) % 40, (a >> 9) % 5},
                                                      team, score, op & 0x80);
            break;
        case 6:
            answer = velmorin::testing::chooseExempted(
                cup, {team, static_cast<int>(a % cup.teams().size())});
            break;
        case 7: {
            CupLayout layout = cup.layout();
            layout.sizes[a % kCupRounds] += static_cast<std::int16_t>(b) % 9;
            answer = cup.changeInputs(cup.teams(), layout, cup.seed() + b);
            break;
        }
        case 10: // a command an organiser could give now
            answer = cup.apply(testing::randomCommand(cup, invent));
            break;
        case 11: // a withdrawal, a qualification or a result of any game, named by the input
            answer = cup.apply(
                op & 0x80 ? CupCommand(WithdrawalCommand{round, team})
                : op & 0x40
                    ? CupCommand(QualificationCommand{{round, (a >> 3) % 40, (a >> 9) % 5}, team})
                    : CupCommand(ResultCommand{
                          {round, (a >> 3) % 40, (a >> 9) % 5}, team, score, (op & 0x20) != 0}));
            break;
        case 12: { // a score as typed, then the command it makes
            std::string typed(reinterpret_cast<const char *>(data),
                              std::min<std::size_t>(size, a % 12));
            const ScoreReading reading = readScore(typed);
            check(reading.score.has_value() == reading.refusal.empty(), "a score and a refusal");
            answer = velmorin::testing::recordWinner(cup, round, team, reading.score);
            break;
        }
        case 8: {
            // Whole rounds played at once, to reach the later rounds.
            for (int r = 1; r <= cup.drawnRounds(); ++r)
                testing::playRound(cup, r, invent, op & 0x80);
            answer.done = true;
            break;
        }
        default: {
            CupRecords records = cup.records();
            damage(records, a, static_cast<std::int16_t>(b));
            const CupCreation restored =
                Cup::restore(cup.teams(), cup.layout(), cup.seed(), records);
            check(restored.ok() || !restored.error.empty(), "a refusal without a reason");
            if (restored.ok()) {
                check(testing::cupProblem(*restored.cup).empty(), "a restored cup breaks a rule");
            }
            answer.done = true;
        }
        }
        if (!answer.done) {
            check(!answer.text.empty(), "a refusal without a reason");
            check(cup.records() == before, "a refusal changed the cup");
        }
        // A command counts one change when it changed the cup; the records restore to it.
        if (op % 13 != 7 && op % 13 != 8 && op % 13 != 9)
            check(cup.version() == before.version + (answer.done && answer.changed ? 1 : 0) ||
                      (answer.done && !answer.changed && cup.records() == before),
                  "the version does not count the changes");
        const std::string problem = testing::cupProblem(cup);
        if (!problem.empty()) {
            std::fputs(problem.c_str(), stderr);
            check(false, "the cup broke a rule");
        }
    }
    // The listings of whatever the cup has become.
    check(!cupHtml(cup, "Coupe <d'essai> & co", LocalTime{}).empty() && !cupCsv(cup).empty() &&
              !cupTable(cup).empty(),
          "no listing");
    return 0;
}
