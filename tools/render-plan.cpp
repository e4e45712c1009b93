// Writes the plan sheet of the typical use (80 teams, 6 in the final, 24 entrants at round 1,
// the class-2 solution 3 of 4) to a PDF file, for the documentation.

#include "Plan.h"
#include "PlanSheetPainter.h"
#include "Version.h"

#include <QDate>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("plan.pdf");

    velmorin::Problem problem;
    problem.registered = 80;
    problem.finale = 6;
    problem.entrants1 = 24;
    const std::optional<velmorin::Plan> plan =
        velmorin::makePlan(velmorin::calculate(problem), velmorin::ExemptionClass::Class2, 3);
    if (!plan)
        return 1;

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) ||
        !velmorin::writePlanPdf(
            &file, velmorin::planSheet(*plan),
            velmorin::sheetStamp(QStringLiteral(VELMORIN_VERSION), QDate::currentDate())) ||
        !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
