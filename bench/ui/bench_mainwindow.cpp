// How long "Calcul" takes in the window, for the default count and the largest one.

#include "VlmPrg.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

void calcul(benchmark::State &state)
{
    TVlmFPrg window;
    window.show();
    auto *effectif = window.findChild<QLineEdit *>(QStringLiteral("Effectif"));
    effectif->setText(QString::number(state.range(0)));
    // Leaving the field proposes the round-1 entrants the run then uses.
    window.EffectifExit();
    for (auto _ : state)
        window.Button1Click();
    state.SetLabel("E1 " +
                   window.findChild<QLineEdit *>(QStringLiteral("E1"))->text().toStdString());
}

BENCHMARK(calcul)->Arg(71)->Arg(2147483647)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
