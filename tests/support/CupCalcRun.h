#pragma once

// Runs the calculator's cup lines (velmorin-calc --coupe) in the test's own process.

#include "CalcCup.h"
#include "CalcRun.h"

#include "ByteSink.h"

#include <QStringList>

#include <sstream>
#include <string>
#include <vector>

namespace velmorin::testing {

inline CalcRun runCup(const QStringList &args)
{
    std::vector<std::string> argv;
    for (const QString &a : args)
        argv.push_back(a.toStdString());
    std::ostringstream out;
    std::ostringstream err;
    OstreamSink sink(out);
    CalcRun result;
    result.status = cli::runCupCalc(argv, sink, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

} // namespace velmorin::testing
