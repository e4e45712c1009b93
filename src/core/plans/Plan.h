#pragma once

// The plan of the cup for one solution: the seven rounds with the teams playing, entering and
// going through, and the check that every registered team enters once. The clipboard copy and
// the printed sheet are both made from it, so they cannot disagree.

#include "Calculation.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmorin {

constexpr std::size_t kPlanRounds = 7;

// A solution of a calculation: its class and its 1-based position in that class.
struct ShownSolution
{
    ExemptionClass exemptionClass = ExemptionClass::Class1;
    Count position = 0;

    friend bool operator==(const ShownSolution &a, const ShownSolution &b)
    {
        return a.exemptionClass == b.exemptionClass && a.position == b.position;
    }
    friend bool operator!=(const ShownSolution &a, const ShownSolution &b) { return !(a == b); }
};

struct PlanRound
{
    std::string_view name; // "Tour 1" … "Finale"
    // The round's size as the window shows it; round 4 counts its exempted teams.
    Count playing = 0;
    Count entering = 0; // teams entering the cup at this round
    // The next round's teams that come from this one (round 4: its winners and its exempted
    // teams) and the share of its games' teams that win; neither for the final.
    std::optional<Count> through;
    std::optional<Ratio> ratio;
};

struct Plan
{
    Problem problem;
    ExemptionClass exemptionClass = ExemptionClass::Class1;
    Count position = 0; // 1-based, in discovery order
    Count solutionCount = 0;
    std::array<PlanRound, kPlanRounds> rounds;

    Count exempted() const { return exemptedTeams(exemptionClass); }
    Count entrantsTotal() const;
    bool entrantsAddUp() const { return entrantsTotal() == problem.registered; }
};

// The plan of the class's solution at a 1-based position; none when the class has no solution
// there.
std::optional<Plan> makePlan(const Calculation &calculation, ExemptionClass exemptionClass,
                             Count position);

std::string_view ratioText(Ratio ratio); // "1/2", "3/4"
// The inputs a dialog works on, on one line: "Équipes inscrites : 71 — Finale : 6 — Tour 4 : 1/2
// (quart de finale 1/2, demi-finale 1/2)". E1 is not part of it.
std::string problemInputsText(const Problem &problem);
std::string positionText(const Plan &plan); // "solution 3 sur 4"
// "Contrôle : 24 + 38 + 10 + 8 = 80 entrantes = 80 inscrites", with "≠" when they differ.
std::string checkText(const Plan &plan);
// What round 4 does with its exempted teams; empty when there are none.
std::string exemptionNote(const Plan &plan);

constexpr std::size_t kSheetColumns = 5;

// Everything the printed sheet says, as text; the window only lays it out.
struct PlanSheet
{
    std::string title;
    std::vector<std::pair<std::string, std::string>> details; // label, value
    std::array<std::string, kSheetColumns> header;
    std::array<std::array<std::string, kSheetColumns>, kPlanRounds> rows;
    std::string note; // the exemption note, may be empty
    std::string check;
};

PlanSheet planSheet(const Plan &plan);

// The sheet for the clipboard, all that the printed sheet says in its order: the title, the
// inputs and the solution (label, value), the rounds table, the exemption note and the check.
// Tab-separated for spreadsheets, a blank line between the parts; HTML for word processors
// and mail, every text escaped.
std::string sheetTsv(const PlanSheet &sheet);
std::string sheetHtml(const PlanSheet &sheet);
// The same of planSheet(plan): the clipboard and the printed sheet cannot disagree.
std::string planTsv(const Plan &plan);
std::string planHtml(const Plan &plan);

} // namespace velmorin
