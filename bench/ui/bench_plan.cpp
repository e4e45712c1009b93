// How long the plan takes to leave the window: the CSV of every solution and the PDF sheet,
// each written atomically to a file, as the actions do after their dialogs.

#include "Features.h"
#include "PlanExport.h"
#include "VlmPrg.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A window after "Calcul" for the given registered teams and final, showing a solution.
struct CalculatedWindow
{
    CalculatedWindow(std::int64_t registered, std::int64_t finale)
    {
        velmorin::installFeatures(window);
        window.show();
        window.findChild<QLineEdit *>(QStringLiteral("Effectif"))
            ->setText(QString::number(registered));
        window.findChild<QLineEdit *>(QStringLiteral("Finale"))->setText(QString::number(finale));
        window.EffectifExit();
        window.Button1Click();
        feature = window.findChild<velmorin::PlanExport *>();
    }
    TVlmFPrg window;
    velmorin::PlanExport *feature = nullptr;
};

void saveSolutions(benchmark::State &state)
{
    CalculatedWindow calculated(state.range(0), state.range(1));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("solutions.csv"));
    for (auto _ : state) {
        if (!calculated.feature->saveSolutionsTo(fileName, ','))
            state.SkipWithError("not saved");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(fileName).size());
    state.SetLabel(std::to_string(calculated.window.lastCalculation()->totalSolutions()) +
                   " solutions");
}

void exportPdf(benchmark::State &state)
{
    CalculatedWindow calculated(80, 6);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("plan.pdf"));
    for (auto _ : state) {
        if (!calculated.feature->exportPdfTo(fileName))
            state.SkipWithError("not exported");
    }
    state.SetLabel(std::to_string(QFileInfo(fileName).size()) + " bytes");
}

// The defaults (21 solutions), and about the most a window can hold: the final is at most 32.
BENCHMARK(saveSolutions)->Args({71, 6})->Args({400, 32})->Unit(benchmark::kMillisecond);
BENCHMARK(exportPdf)->Unit(benchmark::kMillisecond);

} // namespace
