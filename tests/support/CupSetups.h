#pragma once

// Cups for the tests, the benchmarks and the fuzz corpus: every field filled from a seed,
// with the texts a file must keep exactly (accents, quotes, separators, empty cells).

#include "CupContents.h"
#include "CupSetup.h"
#include "Plan.h"
#include "TeamLists.h"

#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace velmorin::testing {

// A cup of `teams` invented teams whose plan exists: the round numbers of a real cup.
inline CupSetup inventedCup(std::uint64_t seed, std::size_t teams = 80)
{
    std::mt19937_64 random(seed);
    const auto pick = [&](std::uint64_t bound) { return random() % bound; };
    const char *const texts[] = {
        "Coupe d'été", "Coupe « Jean-Pierre »", "a,b;c\td",       "",
        " x ",         "Nationale 1",           "\"guillemets\"", "ligne\nsuivante"};
    CupSetup setup;
    setup.name = texts[pick(8)] + std::to_string(seed);
    setup.date = "2026-0" + std::to_string(1 + pick(9)) + "-1" + std::to_string(pick(10));
    TeamList list = teamListFromCsv(inventedTeamsCsv(teams));
    for (Team &team : list.teams) {
        if (pick(4) == 0)
            team.extra.front() = texts[pick(8)];
    }
    setup.list = importedListOf(list, texts[pick(8)] + std::string(".csv"));
    setup.levelRounds = levelRoundsOf(LevelMapping::defaults(list));
    if (!setup.levelRounds.empty() && pick(2) == 0)
        setup.levelRounds.front().round = 1 + static_cast<int>(pick(4));
    setup.registered = static_cast<std::int32_t>(teams);
    setup.finale = 6;
    setup.entrants1 = static_cast<std::int32_t>(teams) / 4 * 1 + 4;
    setup.entrants1 -= setup.entrants1 % 4;
    for (int &choice : setup.ratioChoices)
        choice = static_cast<int>(pick(2));
    if (pick(3) != 0) {
        setup.classNumber = 1 + static_cast<int>(pick(3));
        setup.position = 1 + static_cast<std::int32_t>(pick(3));
    }
    for (Interval &wish : setup.wishes) {
        if (pick(2) == 0)
            continue;
        const auto lo = static_cast<std::int32_t>(pick(50));
        wish.lo = pick(3) == 0 ? std::nullopt : std::optional<std::int32_t>(lo);
        wish.hi = pick(3) == 0 ? std::nullopt : std::optional<std::int32_t>(lo + pick(40));
    }
    const std::uint64_t seeds[] = {0, 1, std::numeric_limits<std::uint64_t>::max(),
                                   std::uint64_t{1} << 63, random()};
    if (pick(4) != 0)
        setup.seed = seeds[pick(5)];
    if (pick(2) == 0)
        setup.levelOrder = {"Nationale 1", "2", "Régionale", ""};
    return setup;
}

// The first plan of the setup's numbers (class 1 to 3, solution 1) that its teams fill, set
// in it; false when there is none.
inline bool takeFirstPlan(CupSetup &setup)
{
    const Calculation calculation = calculate(setup.problem());
    for (int number = 1; number <= 3; ++number) {
        if (!makePlan(calculation, exemptionClassFromNumber(number), 1))
            continue;
        setup.classNumber = number;
        setup.position = 1;
        if (cupInputsOf(setup, rebuildCup(setup)).inputs)
            return true;
    }
    return false;
}

// A cup that can be played: an invented one of about `teams` teams with the first plan its
// numbers have, and a seed, whose teams fill it.
inline CupSetup playableCup(std::uint64_t seed, std::size_t teams)
{
    for (std::uint64_t k = seed; k < seed + 40000; k += 1000) {
        CupSetup setup = inventedCup(k, teams + k / 1000 % 40);
        setup.seed = k;
        setup.finale = static_cast<std::int32_t>(1 + k / 1000 % 8);
        for (std::int32_t entrants = setup.registered / 2; entrants >= 4; --entrants) {
            setup.entrants1 = entrants;
            if (takeFirstPlan(setup))
                return setup;
        }
    }
    return {}; // never met by the sizes the tests use
}

// A cup of `teams` teams as big cups are played (thousands of teams, a final of a few
// hundred, most teams entering at round 1): the plan of the first final from `finale` up and
// the largest round 1 that has one, with a seed, whose teams fill it.
inline CupSetup bigPlayableCup(std::uint64_t seed, std::size_t teams, std::int32_t finale)
{
    CupSetup setup = inventedCup(seed, teams);
    setup.seed = seed;
    setup.ratioChoices = {1, 1, 1, 0, 0, 0};
    for (setup.finale = finale; setup.finale < finale + 100; ++setup.finale) {
        for (setup.entrants1 = setup.registered - setup.registered % 4; setup.entrants1 >= 4;
             setup.entrants1 -= 4) {
            if (takeFirstPlan(setup))
                return setup;
        }
    }
    return {};
}

} // namespace velmorin::testing
