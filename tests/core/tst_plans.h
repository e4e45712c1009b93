// The plan search against a brute force over every E1, class and solution; the interval texts;
// the sentences that say why a class, or every class, has no solution.

#pragma once

#include "Overview.h"
#include "PlanSearch.h"
#include "ReferencePlans.h"
#include "WhyNoSolution.h"
#include "Wishes.h"

#include <QtTest>

#include <limits>

using velmorin::Count;
using velmorin::ExemptionClass;
using velmorin::Interval;
using velmorin::Problem;
using velmorin::Quantity;
using velmorin::RankedPlan;
using velmorin::Wishes;
using velmorin::reference::problemWithRatios;

Q_DECLARE_METATYPE(std::optional<Count>)

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// "e4=8", "t2=..60": the calculator's option names without their dashes.
inline Wishes wishesOf(const QStringList &texts)
{
    static const QStringList names{"e1", "e2", "e3", "e4", "t2", "t3", "t4"};
    Wishes wishes;
    for (const QString &text : texts) {
        const QStringList parts = text.split('=');
        std::string error;
        const std::optional<Interval> interval =
            velmorin::parseInterval(parts.at(1).toStdString(), error);
        if (!interval)
            qFatal("bad wish %s", qPrintable(text));
        wishes.set(velmorin::kQuantities[std::size_t(names.indexOf(parts.at(0)))], *interval);
    }
    return wishes;
}

inline QString describe(const RankedPlan &p)
{
    return QStringLiteral("d%1 c%2 E1 %3 p%4/%5")
        .arg(p.deviation)
        .arg(velmorin::classNumber(p.exemptionClass))
        .arg(p.entrants1())
        .arg(p.position)
        .arg(p.solutions);
}

inline QString describe(const std::vector<RankedPlan> &plans)
{
    QStringList lines;
    for (const RankedPlan &p : plans)
        lines << describe(p);
    return lines.join(", ");
}

// Compares with the brute force and says where they part.
inline bool sameAsBruteForce(const Problem &p, const Wishes &wishes, std::size_t limit, bool strict,
                             QString &difference)
{
    const std::vector<RankedPlan> found = velmorin::findPlans(p, wishes, limit, strict);
    const std::vector<RankedPlan> expected = velmorin::reference::plans(p, wishes, limit, strict);
    if (found == expected)
        return true;
    difference = QStringLiteral("N %1 F %2 RG %3%4%5 limit %6 strict %7\nfound    %8\nexpected %9")
                     .arg(p.registered)
                     .arg(p.finale)
                     .arg(int(p.round4))
                     .arg(int(p.quarterFinal))
                     .arg(int(p.semiFinal))
                     .arg(limit)
                     .arg(strict)
                     .arg(describe(found).left(600))
                     .arg(describe(expected).left(600));
    return false;
}

} // namespace

class TestPlans : public QObject
{
    Q_OBJECT

private slots:
    void parseInterval_data();
    void parseInterval();
    void emptyIntervalIsNoWish();
    void sameAsBruteForce_data();
    void sameAsBruteForce();
    void largestInputs_data();
    void largestInputs();
    void whySentence_data();
    void whySentence();
    void nearestAgainstOverview();
};
