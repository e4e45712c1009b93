#pragma once

// The cup as it is played: the draws of rounds 1 to 6 and their results, up to the teams of
// the final. Pure and deterministic: a seed, the teams and the plan's sizes decide every draw.
// Every operation either does all it says or nothing, and answers in one French sentence.

#include "CupDay.h"
#include "VlmDec.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

struct Plan;
struct TeamList;
struct Assignment;

constexpr int kCupRounds = 6; // rounds 1 to 6; the teams that go through round 6 play the final
constexpr int kBarrage = 3;   // the game number of a group's barrage (after games 1 and 2)

struct CupTeam
{
    std::string name;
    std::string club;   // empty: no club, never counted as meeting anyone
    int entryRound = 1; // 1 to 4
    int strength = 0;   // 0 = strongest; equal strengths go by list order

    // The list's line, as the organiser sees it; 0 when unknown.
    std::size_t line = 0;
};

struct CupLayout
{
    // T1 to T6 as the plan gives them; round 4 counts its exempted teams.
    std::array<Count, kCupRounds> sizes{};
    std::array<Ratio, 3> ratios{Ratio::Half, Ratio::Half, Ratio::Half}; // rounds 4, 5, 6
    int exempted = 0;                                                   // at round 4: 0 to 2

    Ratio ratio(int round) const;
    // 4 for a round in groups ("3/4"), 2 for a round in games of two ("1/2").
    int groupSize(int round) const { return ratio(round) == Ratio::ThreeQuarters ? 4 : 2; }
    // The games of one group: two and a barrage in a group of four, one in a game of two.
    int gamesPerGroup(int round) const { return groupSize(round) == 4 ? 3 : 1; }
    int exemptedAt(int round) const { return round == 4 ? exempted : 0; }

    friend bool operator==(const CupLayout &a, const CupLayout &b)
    {
        return a.sizes == b.sizes && a.ratios == b.ratios && a.exempted == b.exempted;
    }
};

CupLayout layoutFromPlan(const Plan &plan);
// The list's teams with their entry rounds and their ranking positions as strengths.
std::vector<CupTeam> cupTeams(const TeamList &list, const Assignment &assignment);

// Two teams of one club in one group or game.
struct Meeting
{
    int group = 0; // 1-based
    int teamA = 0; // team indices, teamA < teamB
    int teamB = 0;

    friend bool operator==(const Meeting &a, const Meeting &b)
    {
        return a.group == b.group && a.teamA == b.teamA && a.teamB == b.teamB;
    }
};

// One drawn round, as it is stored.
struct DrawRecord
{
    int round = 0;
    int attempt = 1;                      // 1 for the first draw, one more for each redraw
    std::vector<int> exempted;            // round 4 only: team indices
    std::vector<std::vector<int>> groups; // team indices in places A, B, C, D order
    std::vector<Meeting> meetings;        // the club meetings the draw could not avoid

    friend bool operator==(const DrawRecord &a, const DrawRecord &b)
    {
        return a.round == b.round && a.attempt == b.attempt && a.exempted == b.exempted &&
               a.groups == b.groups && a.meetings == b.meetings;
    }
};

struct Score
{
    int winner = 0; // higher than the loser's
    int loser = 0;

    friend bool operator==(const Score &a, const Score &b)
    {
        return a.winner == b.winner && a.loser == b.loser;
    }
};

constexpr int kMaxScore = 999;

// One game's result, as it is stored.
struct ResultRecord
{
    int round = 0;
    int group = 0; // 1-based: the group, or the game of two
    int game = 1;  // 1, 2 or kBarrage
    int winner = 0;
    std::optional<int> winnerScore;
    std::optional<int> loserScore;
    std::optional<int> withdrawn; // the team that declared forfeit

    friend bool operator==(const ResultRecord &a, const ResultRecord &b)
    {
        return a.round == b.round && a.group == b.group && a.game == b.game &&
               a.winner == b.winner && a.winnerScore == b.winnerScore &&
               a.loserScore == b.loserScore && a.withdrawn == b.withdrawn;
    }
};

// A team that withdrew: from that round on, every game left to it is lost by forfeit.
struct WithdrawalRecord
{
    int team = 0;
    int round = 0;

    friend bool operator==(const WithdrawalRecord &a, const WithdrawalRecord &b)
    {
        return a.team == b.team && a.round == b.round;
    }
};

// The whole state of a cup beside its inputs: plain rows.
struct CupRecords
{
    std::vector<DrawRecord> draws;             // by round
    std::vector<ResultRecord> results;         // by round, group, game
    std::vector<int> chosenExempted;           // the organiser's choice before round 4 is drawn
    std::vector<WithdrawalRecord> withdrawals; // by team
    std::uint64_t version = 0;                 // see Cup::version()
    DayRecords day;                            // the roll-calls, lanes and times

    friend bool operator==(const CupRecords &a, const CupRecords &b)
    {
        return a.draws == b.draws && a.results == b.results &&
               a.chosenExempted == b.chosenExempted && a.withdrawals == b.withdrawals &&
               a.version == b.version && a.day == b.day;
    }
};

// What an operation did, or why it did nothing.
struct CupAnswer
{
    bool done = false;
    std::string text;    // a refusal, or what was done or discarded (the journal's line)
    bool changed = true; // done but nothing to change: nothing is written

    static CupAnswer refused(std::string sentence) { return {false, std::move(sentence), false}; }
    static CupAnswer ok(std::string sentence = {}) { return {true, std::move(sentence), true}; }
    static CupAnswer unchanged(std::string sentence) { return {true, std::move(sentence), false}; }
};

struct GameRef
{
    int round = 0;
    int group = 0;
    int game = 1;
};

struct PendingGame
{
    GameRef game;
    int teamA = 0;
    int teamB = 0;
};

// The game of a team a command names, or why there is none.
struct GameChoice
{
    std::optional<GameRef> game;
    std::string refusal;
};

// What the game of a team is looked for: a result to enter, a result to correct with the team
// as winner or as the side that declared forfeit, two withdrawn teams to choose between.
enum class TeamGameUse { Result, CorrectAsWinner, CorrectAsWithdrawn, Qualification };

struct CupCommand;
struct CupCreation;
struct ResultCommand;
struct CorrectionCommand;
struct QualificationCommand;
struct RollCallCommand;
struct LanesCommand;
struct SlotCommand;

class Cup
{
public:
    // Refused when two teams share a name (identityKey), a team has no name or no entry round
    // 1 to 4, the teams entering each round do not fill the plan's sizes, or a later round
    // does not split into its groups (unplayableRound).
    static CupCreation create(std::vector<CupTeam> teams, const CupLayout &layout,
                              std::uint64_t seed);
    // The cup the records describe; records that do not hold together are refused.
    static CupCreation restore(std::vector<CupTeam> teams, const CupLayout &layout,
                               std::uint64_t seed, const CupRecords &records);

    const std::vector<CupTeam> &teams() const { return m_teams; }
    const CupLayout &layout() const { return m_layout; }
    std::uint64_t seed() const { return m_seed; }

    // Round 1 drawn: the teams, the plan and the seed may not change.
    bool isFrozen() const { return !m_rounds.empty(); }
    static std::string_view frozenSentence();
    CupAnswer changeInputs(std::vector<CupTeam> teams, const CupLayout &layout, std::uint64_t seed);

    // The one way a played cup changes (CupCommand.h). Refused: nothing changed. Done: the
    // answer's sentence says what was done and discarded, in the same words for every caller.
    CupAnswer apply(const CupCommand &command);
    // The changes applied since the cup was made: one more for each command that changed it.
    // Kept in the records, so that a cup read back from its file carries on counting.
    std::uint64_t version() const { return m_version; }

    // The game of `team` in `round` a command names: `game` (1, 2 or kBarrage) in its group,
    // or when none is given, the rule of `use`: its pending game for a result; for a
    // correction, its most recent decided game it won (as winner) or lost (as withdrawn),
    // else its most recent decided game; for a qualification, its most recent game between
    // two withdrawn teams.
    GameChoice teamGame(int round, int team, std::optional<int> game, TeamGameUse use) const;
    // Why the round cannot be drawn now; none when it can.
    std::optional<std::string> drawRefusal(int round) const;

    int drawnRounds() const { return static_cast<int>(m_rounds.size()); }
    bool isDrawn(int round) const { return round >= 1 && round <= drawnRounds(); }
    bool isComplete(int round) const;
    // The results a drawn round has, and the results it needs to be complete.
    int resultCount(int round) const;
    int gameCount(int round) const;
    // The round a team withdrew at; none when it did not.
    std::optional<int> withdrawalRound(int team) const;
    // The forfeits declared at a round, which cancelling its draw forgets: the withdrawals
    // from it but those of the teams absent at its roll-call, which stay for the next draw.
    int declaredForfeits(int round) const;
    bool isWithdrawn(int team, int round) const;
    const DrawRecord *drawnRound(int round) const;
    // The teams of a drawn round, or of the next round once the last drawn is complete;
    // empty otherwise. Ascending team indices.
    std::vector<int> participants(int round) const;
    std::vector<PendingGame> pendingGames(int round) const;
    // The teams of the two sides of a game, when they are known.
    std::optional<std::pair<int, int>> gameTeams(const GameRef &game) const;
    std::optional<ResultRecord> result(const GameRef &game) const;
    // The teams that have gone through a round so far, exempted teams first, then group by
    // group.
    std::vector<int> qualified(int round) const;
    std::vector<int> finalTeams() const; // once round 6 is complete
    std::vector<Meeting> meetings(int round) const;
    // Round 4's exempted teams: drawn, chosen, or by default once round 3 is complete.
    std::vector<int> exemptedTeams() const;

    CupRecords records() const;

    // The cup's day: roll-calls, lanes, start times, game length, games moved (CupDay.h).
    const DayRecords &day() const { return m_day; }
    // A team's answer at a round's roll-call: present, absent, or none yet.
    std::optional<bool> rollCall(int round, int team) const;
    bool isAbsent(int round, int team) const { return rollCall(round, team) == false; }
    // The teams a round's roll-call calls: its teams once drawn; before, its entrants and the
    // teams through the round before so far. Ascending team indices.
    std::vector<int> rollCallTeams(int round) const;

private:
    struct RoundState
    {
        DrawRecord draw;
        std::vector<std::array<std::optional<ResultRecord>, 3>> results; // by group, game
        std::vector<int> groupOf; // by team: its group, 0-based, or -1

        RoundState(DrawRecord drawn, std::size_t teams);
    };

    Cup(std::vector<CupTeam> teams, const CupLayout &layout, std::uint64_t seed);

    CupAnswer draw(int round);
    CupAnswer redraw(int round);
    CupAnswer cancelDraw(int round);
    CupAnswer setExempted(const std::vector<int> &teams);
    CupAnswer recordResult(const ResultCommand &command);
    CupAnswer withdraw(int round, int team);
    CupAnswer correct(const CorrectionCommand &command);
    CupAnswer qualify(const QualificationCommand &command);
    CupAnswer markRollCall(const RollCallCommand &command);
    CupAnswer setLanes(const LanesCommand &command);
    CupAnswer setStart(int round, const std::optional<DayTime> &time);
    CupAnswer setGameLength(int minutes);
    CupAnswer moveGame(const SlotCommand &command);
    // The teams absent at the roll-call of a round just drawn withdraw from it.
    void withdrawAbsentees(int round);
    // A forfeit the draw settled (a team withdrawn before, or absent at the roll-call): no
    // result of the organiser's.
    bool settledByDraw(const ResultRecord &result) const;
    std::optional<std::string> checkDayRecords(const DayRecords &day) const;
    // The answers of the teams a round no longer calls (a result corrected, a draw), in the
    // rounds from `first` on.
    void pruneRollCalls(int first);
    // A round drawn again or cancelled: its games moved by the organiser are no more.
    void dropMovedGames(int round);

    std::string teamName(int team) const;
    std::string gameName(const GameRef &game) const;
    // Why a command cannot name the game; `decided`: to change its result, which the next
    // round's draw freezes.
    std::optional<std::string> gameRefusal(const GameRef &game, bool decided = false) const;
    std::string playedBetween(const GameRef &game, const std::pair<int, int> &sides) const;
    // The barrage of a first game whose winner changed loses its result: its teams change.
    std::string discardBarrage(const GameRef &game);
    std::optional<std::string> teamRefusal(int round, int team) const;
    // Settles every game of the round whose teams are known and one of them withdrew; what it
    // settled, as sentences after the answer's.
    std::string settleWithdrawals(int round);
    // Of two withdrawn teams, the one that goes through by default.
    int betterRanked(int round, int a, int b) const;
    std::vector<int> defaultExempted() const;
    // The teams through the round before so far, and the round's entrants; ascending.
    std::vector<int> comingTo(int round) const;
    DrawRecord makeDraw(int round, int attempt, const std::vector<int> &exempted) const;
    std::optional<std::string> checkDrawRecord(const DrawRecord &record) const;
    std::optional<GameRef> pendingGameOf(int round, int team) const;
    std::optional<ResultRecord> &resultSlot(const GameRef &game);
    std::string keepChoiceValid();

    std::vector<CupTeam> m_teams;
    CupLayout m_layout;
    std::uint64_t m_seed = 0;
    std::vector<RoundState> m_rounds;
    std::vector<int> m_chosenExempted;
    std::vector<int> m_withdrawnAt; // by team: the round it withdrew at, 0 when it did not
    DayRecords m_day;
    std::uint64_t m_version = 0;
};

struct CupCreation
{
    std::optional<Cup> cup;
    std::string error;

    bool ok() const { return cup.has_value(); }
};

// The rules a cup's inputs are held to: a cup being made, or one whose round 1 was drawn under
// the rules of its day (its names then differ byte for byte, its plan is not checked again).
enum class InputsRules { New, Played };

// The refusal of a layout or list, empty when the cup can be made from them.
std::string cupInputsRefusal(const std::vector<CupTeam> &teams, const CupLayout &layout,
                             InputsRules rules = InputsRules::New);

// The seed of one draw of one round.
std::uint64_t drawSeed(std::uint64_t cupSeed, int round, int attempt);

// The meetings of a round's groups: the pairs of teams of one club (identityKey) in one group.
std::vector<Meeting> clubMeetings(const std::vector<CupTeam> &teams,
                                  const std::vector<std::vector<int>> &groups);

// "Tour 4 (1/8 Finale)": a round's title for the listings.
std::string_view roundTitle(int round);

} // namespace velmorin
