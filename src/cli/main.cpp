#include "Calc.h"
#include "CalcMain.h"
#include "CalcTeams.h"
#include "Sibling.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // A cup file and a team list are read by sibling programs: the runs that read neither load
    // no reader and no database.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const char *sibling = velmorin::cli::usesCupFile(args)    ? "velmorin-calc-coupe"
                          : velmorin::cli::usesTeamList(args) ? "velmorin-calc-listes"
                                                              : nullptr;
    if (sibling) {
        const std::string reason = velmorin::cli::execSibling(sibling, argv);
        std::cerr << "velmorin-calc: " << reason << ".\n";
        return velmorin::cli::kExitUsage;
    }
    return velmorin::cli::calcMain(
        argc, argv,
        [](const std::vector<std::string> &args, velmorin::ByteSink &out, std::ostream &err) {
            return velmorin::cli::runCalc(args, out, err);
        });
}
