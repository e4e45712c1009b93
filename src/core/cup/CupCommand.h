#pragma once

// What an organiser does to a played cup, as one value: the window and the calculator make the
// same commands, Cup::apply checks and applies them and answers in the one sentence that is
// also the journal's line. Team numbers are indices in the cup's list.

#include "Cup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace velmorin {

struct DrawCommand
{
    int round = 0;
};

struct RedrawCommand
{
    int round = 0;
};

struct CancelDrawCommand
{
    int round = 0;
};

// Round 4's exempted teams chosen before its draw.
struct ExemptedCommand
{
    std::vector<int> teams;
};

// A pending game's result. `withdrawal`: the loser declared forfeit in this game (no score);
// it is then withdrawn for the rest of the cup.
struct ResultCommand
{
    GameRef game;
    int winner = 0;
    std::optional<Score> score;
    bool withdrawal = false;
};

// A recorded result replaced, in the last drawn round.
struct CorrectionCommand
{
    GameRef game;
    int winner = 0;
    std::optional<Score> score;
    bool withdrawal = false;
};

// A team withdraws at any moment of its round: each game left to it is lost by forfeit as soon
// as its opponent is known, in this round and the next ones.
struct WithdrawalCommand
{
    int round = 0;
    int team = 0;
};

// Of a game whose two teams both withdrew, the one that goes through instead of the one the
// rule chose (the better ranked).
struct QualificationCommand
{
    GameRef game;
    int team = 0;
};

// A team's answer at the roll-call of a round not drawn yet: an absent team is drawn like the
// others and loses its games by forfeit at once.
struct RollCallCommand
{
    int round = 0;
    int team = 0;
    bool present = true;
};

// The lanes of one hall (the one hall: no name), numbered `first` to `last`; none when
// `last` < `first`.
struct LanesCommand
{
    std::string hall;
    int first = 1;
    int last = 0;
};

// The time a round's first games start; none: not known yet.
struct StartCommand
{
    int round = 0;
    std::optional<DayTime> time;
};

struct GameLengthCommand
{
    int minutes = kDefaultGameMinutes;
};

// One game given another lane or time than the schedule's; neither: the schedule's again.
struct SlotCommand
{
    GameRef game;
    std::optional<LaneRef> lane;
    std::optional<DayTime> time;
};

struct CupCommand
{
    using Action =
        std::variant<DrawCommand, RedrawCommand, CancelDrawCommand, ExemptedCommand, ResultCommand,
                     CorrectionCommand, WithdrawalCommand, QualificationCommand, RollCallCommand,
                     LanesCommand, StartCommand, GameLengthCommand, SlotCommand>;

    template <typename A, typename = std::enable_if_t<std::is_constructible_v<Action, A>>>
    CupCommand(A action, std::optional<std::uint64_t> basedOn = std::nullopt)
        : action(std::move(action)), basedOn(basedOn)
    {}

    Action action;
    // The cup's version() the organiser saw when deciding it; none from callers that do not
    // know it. The store may refuse a command decided on an older cup.
    std::optional<std::uint64_t> basedOn;
};

// A score as the organiser types it, the winner's points first: "13-7" (also "13 7", "13/7",
// "13:7"). The refusal says whether the text is no score at all or a score out of the rules.
struct ScoreReading
{
    std::optional<Score> score;
    std::string refusal;
};

ScoreReading readScore(std::string_view text);

} // namespace velmorin
