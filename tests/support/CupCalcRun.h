#pragma once

// Runs the calculator's cup lines (velmorin-calc --coupe) in the test's own process.

#include "CalcCup.h"
#include "CalcRun.h"

#include "ByteSink.h"

#include <QFile>
#include <QStringList>

#include <sstream>
#include <string>
#include <vector>

namespace velmorin::testing {

// The first `teams` teams of the sample list (its header kept), written to `to`.
inline bool writeSampleTeams(const QString &sample, const QString &to, int teams)
{
    QFile from(sample);
    QFile list(to);
    if (!from.open(QIODevice::ReadOnly) || !list.open(QIODevice::WriteOnly))
        return false;
    for (int line = 0; line <= teams; ++line)
        list.write(from.readLine());
    return true;
}

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
