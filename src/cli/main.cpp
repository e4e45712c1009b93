#include "Calc.h"
#include "CalcMain.h"
#include "CalcTeams.h"
#include "Sibling.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // A team list is read by the sibling program: the runs that read none load no reader.
    if (velmorin::cli::usesTeamList(std::vector<std::string>(argv + 1, argv + argc))) {
        const std::string reason = velmorin::cli::execSibling("velmorin-calc-listes", argv);
        std::cerr << "velmorin-calc: " << reason << ".\n";
        return velmorin::cli::kExitUsage;
    }
    return velmorin::cli::calcMain(
        argc, argv,
        [](const std::vector<std::string> &args, velmorin::ByteSink &out, std::ostream &err) {
            return velmorin::cli::runCalc(args, out, err);
        });
}
