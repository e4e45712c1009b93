#pragma once

// Everything a cup file holds, as one value: the window edits it, the store writes each
// change of it, the calculator prints it. No Qt, no SQL.

#include "Calculation.h"
#include "TeamList.h"
#include "Wishes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmorin {

constexpr std::size_t kRatioGroups = 6; // RG1..RG6

// The team list as it was opened: its file's name and its rows, header first. The list is
// rebuilt from them with teamListFromRows, so a cup reads back the list it was given.
struct ImportedList
{
    std::string fileName;
    std::vector<SourceRow> rows;

    friend bool operator==(const ImportedList &a, const ImportedList &b)
    {
        if (a.fileName != b.fileName || a.rows.size() != b.rows.size())
            return false;
        for (std::size_t k = 0; k < a.rows.size(); ++k) {
            if (a.rows[k].line != b.rows[k].line || a.rows[k].cells != b.rows[k].cells)
                return false;
        }
        return true;
    }
    friend bool operator!=(const ImportedList &a, const ImportedList &b) { return !(a == b); }
};

// The round a level's teams enter at. The key is the level as text ("1", "Nationale 1"; ""
// for the teams without a level), so that levels given as names fit too.
struct LevelRoundChoice
{
    std::string level;
    int round = 1;

    friend bool operator==(const LevelRoundChoice &a, const LevelRoundChoice &b)
    {
        return a.level == b.level && a.round == b.round;
    }
};

struct CupSetup
{
    std::string name;
    std::string date; // "2026-05-01"
    std::int32_t registered = 0;
    std::int32_t finale = 0;
    std::int32_t entrants1 = 0;
    // The radio groups' item indices, RG1 at [0]: 0 is "1/2", anything else "3/4". Rounds 1
    // to 3 always let three quarters through.
    std::array<int, kRatioGroups> ratioChoices{1, 1, 1, 0, 0, 0};
    std::optional<int> classNumber;       // 1 to 3: the plan shown
    std::optional<std::int32_t> position; // from 1
    std::array<Interval, kQuantityCount> wishes{};
    std::optional<ImportedList> list;
    // The list's teams as they were read when the cup was given the list, kept with it so that
    // a later reader never changes how an old cup reads; none: read from `list` now.
    std::optional<TeamList> teams;
    std::vector<LevelRoundChoice> levelRounds; // by level key, as the file gives them back
    std::optional<std::uint64_t> seed;
    std::vector<std::string> levelOrder; // level keys, strongest first; empty: by number

    Problem problem() const
    {
        Problem p;
        p.registered = registered;
        p.finale = finale;
        p.entrants1 = entrants1;
        p.round4 = ratioFromIndex(ratioChoices[3]);
        p.quarterFinal = ratioFromIndex(ratioChoices[4]);
        p.semiFinal = ratioFromIndex(ratioChoices[5]);
        return p;
    }

    friend bool operator==(const CupSetup &a, const CupSetup &b)
    {
        return a.name == b.name && a.date == b.date && a.registered == b.registered &&
               a.finale == b.finale && a.entrants1 == b.entrants1 &&
               a.ratioChoices == b.ratioChoices && a.classNumber == b.classNumber &&
               a.position == b.position && a.wishes == b.wishes && a.list == b.list &&
               a.teams == b.teams && a.levelRounds == b.levelRounds && a.seed == b.seed &&
               a.levelOrder == b.levelOrder;
    }
    friend bool operator!=(const CupSetup &a, const CupSetup &b) { return !(a == b); }
};

} // namespace velmorin
