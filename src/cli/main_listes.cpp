// velmorin-calc-listes: velmorin-calc's runs that read a team list, started by velmorin-calc
// in its place (see Sibling.h).

#include "CalcMain.h"
#include "CalcTeams.h"

#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    return velmorin::cli::calcMain(
        argc, argv,
        [](const std::vector<std::string> &args, velmorin::ByteSink &out, std::ostream &err) {
            return velmorin::cli::runCalcWithLists(args, out, err);
        });
}
