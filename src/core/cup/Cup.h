#pragma once

// The cup as it is played: the draws of rounds 1 to 6 and their results, up to the teams of
// the final. Pure and deterministic: a seed, the teams and the plan's sizes decide every draw.
// Every operation either does all it says or nothing, and answers in one French sentence.

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

// The whole state of a cup beside its inputs: plain rows.
struct CupRecords
{
    std::vector<DrawRecord> draws;     // by round
    std::vector<ResultRecord> results; // by round, group, game
    std::vector<int> chosenExempted;   // the organiser's choice before round 4 is drawn

    friend bool operator==(const CupRecords &a, const CupRecords &b)
    {
        return a.draws == b.draws && a.results == b.results && a.chosenExempted == b.chosenExempted;
    }
};

// What an operation did, or why it did nothing.
struct CupAnswer
{
    bool done = false;
    std::string text; // a refusal, or what was done or discarded; may be empty when done

    static CupAnswer refused(std::string sentence) { return {false, std::move(sentence)}; }
    static CupAnswer ok(std::string sentence = {}) { return {true, std::move(sentence)}; }
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

struct CupCreation;

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

    CupAnswer draw(int round);
    CupAnswer redraw(int round);
    CupAnswer cancelDraw(int round);
    CupAnswer setExempted(const std::vector<int> &teams);
    CupAnswer recordWinner(int round, int team, std::optional<Score> score = std::nullopt);
    CupAnswer forfeit(int round, int withdrawnTeam);
    // Replaces a result; `withdrawn`: the loser declared forfeit (no score then).
    CupAnswer correct(const GameRef &game, int winner, std::optional<Score> score,
                      bool withdrawn = false);

    int drawnRounds() const { return static_cast<int>(m_rounds.size()); }
    bool isDrawn(int round) const { return round >= 1 && round <= drawnRounds(); }
    bool isComplete(int round) const;
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

private:
    struct RoundState
    {
        DrawRecord draw;
        std::vector<std::array<std::optional<ResultRecord>, 3>> results; // by group, game
        std::vector<int> groupOf; // by team: its group, 0-based, or -1

        RoundState(DrawRecord drawn, std::size_t teams);
    };

    Cup(std::vector<CupTeam> teams, const CupLayout &layout, std::uint64_t seed);

    std::string teamName(int team) const;
    std::optional<std::string> drawRefusal(int round) const;
    std::vector<int> defaultExempted() const;
    DrawRecord makeDraw(int round, int attempt, const std::vector<int> &exempted) const;
    std::optional<std::string> checkDrawRecord(const DrawRecord &record) const;
    std::optional<GameRef> pendingGameOf(int round, int team) const;
    std::optional<int> withdrawnLoser(const RoundState &state, int group, int game) const;
    std::string settleBarrage(int round, int group);
    std::string keepChoiceValid();
    int resultCount(int round) const;

    std::vector<CupTeam> m_teams;
    CupLayout m_layout;
    std::uint64_t m_seed = 0;
    std::vector<RoundState> m_rounds;
    std::vector<int> m_chosenExempted;
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
