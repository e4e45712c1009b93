#pragma once

// Team lists for the tests and the benchmarks: a list from CSV text, and a large invented
// list with every kind of level and points.

#include "TeamCsv.h"
#include "TeamList.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace velmorin::testing {

// A hand-made list: levels 1 to 4 and none, points or none; ties on level and points
// between A2 and A3, and between B2 and B3.
constexpr const char *kHandList = "Équipe;Club;Niveau;Points\n"
                                  "A1;C;1;100\nA2;C;1;90\nA3;C;1;90\nB1;C;2;\nB2;C;2;50\n"
                                  "B3;C;2;50\nC1;C;3;10\nC2;C;;5\nC3;C;;\nC4;C;3;\nD1;C;4;0\n"
                                  "D2;C;4;-3\n";

// The list the text gives; stops the program when it is refused, since every caller passes
// a list it knows to be good.
inline TeamList teamListFromCsv(std::string_view csv)
{
    TeamListResult result = readTeamListCsv(csv, "test.csv");
    if (!result.ok()) {
        std::fprintf(stderr, "test list refused: %s\n", result.error.c_str());
        std::abort();
    }
    return std::move(*result.list);
}

// `count` teams in `;`-separated UTF-8: levels 1 to 4 growing in size, one team in eleven
// without a level, two in three with points (many of them equal), and an other column.
inline std::string inventedTeamsCsv(std::size_t count)
{
    std::string csv = "Équipe;Club;Niveau;Points;Dossier\n";
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t tenth = k * 10 / (count ? count : 1);
        const int level = tenth < 1 ? 1 : tenth < 2 ? 2 : tenth < 4 ? 3 : 4;
        csv += "Équipe n° " + std::to_string(k + 1) + ";Club de Vaugrelle " +
               std::to_string(k % 97) + ';' + (k % 11 == 5 ? "" : std::to_string(level)) + ';' +
               (k % 3 == 0 ? "" : std::to_string((k * 7919) % 400)) + ";D-" +
               std::to_string(k + 1) + '\n';
    }
    return csv;
}

} // namespace velmorin::testing
