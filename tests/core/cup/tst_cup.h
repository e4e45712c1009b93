
#pragma once
#include "Cup.h"
#include "CupDraw.h"
#include "CupSimulation.h"
#include "TeamCsv.h"

#include <QtTest>

#include <fstream>
#include <sstream>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

constexpr std::array<Ratio, 3> kHalves{Ratio::Half, Ratio::Half, Ratio::Half};

// The fewest pairs of one club that groups can hold: the club spread evenly.
inline long long fewestMeetings(long long teams, long long groups)
{
    const long long each = teams / groups;
    const long long more = teams % groups;
    return more * (each + 1) * each / 2 + (groups - more) * each * (each - 1) / 2;
}

// Runs the steps of a scenario on round 1 of a small cup, by places: "1A" is group 1's place A.
class Scenario
{
public:
    Scenario() : m_cup(inventedCup(40, 0, kHalves, 0, 7)) {}

    Cup &cup() { return m_cup; }

    int place(const QString &at) const
    {
        const DrawRecord &drawn = *m_cup.drawnRound(1);
        return drawn.groups[static_cast<std::size_t>(at.left(at.size() - 1).toInt() - 1)]
                           [static_cast<std::size_t>(at.back().toLatin1() - 'A')];
    }

    static std::optional<Score> score(const QStringList &words, int at)
    {
        if (words.size() <= at || !words[at].contains('-'))
            return std::nullopt;
        const QStringList parts = words[at].split('-');
        return Score{parts[0].toInt(), parts[1].toInt()};
    }

    CupAnswer run(const QString &step)
    {
        const QStringList words = step.split(' ');
        const QString &op = words[0];
        const int round = 1; // the scenarios play round 1
        if (op == "draw")
            return drawRound(m_cup, words[1].toInt());
        if (op == "redraw")
            return redrawRound(m_cup, words[1].toInt());
        if (op == "cancel")
            return cancelRound(m_cup, words[1].toInt());
        if (op == "inputs")
            return m_cup.changeInputs(m_cup.teams(), m_cup.layout(), m_cup.seed() + 1);
        if (op == "playall") {
            playRound(m_cup, round, m_draw, false);
            return CupAnswer::ok();
        }
        if (op == "win")
            return recordWinner(m_cup, round, place(words[1]), score(words, 2));
        if (op == "forfeit")
            return declareForfeit(m_cup, round, place(words[1]));
        if (op == "correct") {
            const GameRef ref{round, words[1].toInt(), words[2].toInt()};
            return correctResult(m_cup, ref, place(words[1] + words[3]), score(words, 4),
                                 words.size() > 4 && words[4] == "forfait");
        }
        if (op == "barrage") // the barrage of group 1 won by the team at a place
            return correctResult(m_cup, {round, 1, kBarrage}, place(words[1]), std::nullopt);
        if (op == "qualify") // of its game between two withdrawn teams
            return command(
                m_cup.teamGame(round, place(words[1]), std::nullopt, TeamGameUse::Qualification),
                [&](const GameRef &game) {
                    return QualificationCommand{game, place(words[1])};
                });
        if (op == "fix") { // "fix 1A 13-8": a correction by the calculator's rule, as winner
            const int team = place(words[1]);
            return command(m_cup.teamGame(round, team, std::nullopt, TeamGameUse::CorrectAsWinner),
                           [&](const GameRef &game) {
                               return CorrectionCommand{game, team, score(words, 2), false};
                           });
        }
        if (op == "better") { // the team at the first place ranks before the one at the second
            const CupTeam &a = m_cup.teams()[std::size_t(place(words[1]))];
            const CupTeam &b = m_cup.teams()[std::size_t(place(words[2]))];
            return a.strength < b.strength ? CupAnswer::ok("mieux classée")
                                           : CupAnswer::refused("moins bien classée");
        }
        qFatal("unknown step %s", qPrintable(step));
    }

    template <typename Make> CupAnswer command(const GameChoice &choice, Make make)
    {
        if (!choice.game)
            return CupAnswer::refused(choice.refusal);
        return m_cup.apply(make(*choice.game));
    }

    // Group 1's teams that went through, as places.
    QString group1Through() const
    {
        const DrawRecord &drawn = *m_cup.drawnRound(1);
        QString places;
        for (const int team : m_cup.qualified(1)) {
            const auto &group = drawn.groups[0];
            const auto at = std::find(group.begin(), group.end(), team);
            if (at != group.end())
                places += QChar('A' + static_cast<int>(at - group.begin()));
        }
        return places;
    }

private:
    Cup m_cup;
    SeededDraw m_draw{99};
};

} // namespace

class TestCup : public QObject
{
    Q_OBJECT

private slots:
    void drawConstraints_data();
    void drawConstraints();
    void results_data();
    void results();
    void exempted_data();
    void exempted();
    void refusedInputs_data();
    void refusedInputs();
    void roundNotSplitting();
    void simulation_data();
    void simulation();
    void commands_data();
    void commands();
    void damagedRecords_data();
    void damagedRecords();
};
