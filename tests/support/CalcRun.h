#pragma once

// Runs the calculator in the test's own process, as a test of its output sees it: the runs
// that read a team list too, as velmorin-calc-listes does them.

#include "CalcTeams.h"

#include <QStringList>

#include <sstream>
#include <string>
#include <vector>

namespace velmorin::testing {

struct CalcRun
{
    int status = -1;
    std::string out;
    std::string err;
};

inline CalcRun runCalculator(const QStringList &args)
{
    std::vector<std::string> argv;
    for (const QString &a : args)
        argv.push_back(a.toStdString());
    std::ostringstream out;
    std::ostringstream err;
    CalcRun result;
    result.status = velmorin::cli::runCalcWithLists(argv, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

} // namespace velmorin::testing
