// How long the overview dialog takes to follow the window's inputs: a refresh with the same
// rows, and one after the final changed (new rows, the chart laid out and painted).

#include "FeatureWindow.h"
#include "Features.h"
#include "OverviewDialog.h"
#include "VlmPrg.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

namespace {

velmorin::OverviewDialog *openOverview(TVlmFPrg &window, std::int64_t registered)
{
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("Effectif"))->setText(QString::number(registered));
    window.findChild<QAction *>(QStringLiteral("actionVueEnsemble"))->trigger();
    QCoreApplication::processEvents();
    return velmorin::FeatureWindow::find<velmorin::OverviewDialog>(window,
                                                                   QStringLiteral("VueEnsemble"));
}

void overviewRefresh(benchmark::State &state)
{
    TVlmFPrg window;
    velmorin::installFeatures(window);
    velmorin::OverviewDialog *dialog = openOverview(window, state.range(0));
    for (auto _ : state)
        dialog->refresh();
    state.counters["rows"] = static_cast<double>(dialog->rows().size());
}

// The final's text changes as UpFinale writes it; the dialog follows the change.
void overviewFollowsFinale(benchmark::State &state)
{
    TVlmFPrg window;
    velmorin::installFeatures(window);
    velmorin::OverviewDialog *dialog = openOverview(window, state.range(0));
    auto *finale = window.findChild<QLineEdit *>(QStringLiteral("Finale"));
    bool eight = false;
    for (auto _ : state) {
        eight = !eight;
        finale->setText(eight ? QStringLiteral("8") : QStringLiteral("6"));
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(dialog->rows().size());
}

} // namespace

BENCHMARK(overviewRefresh)->Arg(71)->Arg(600)->Arg(2147483647)->Unit(benchmark::kMicrosecond);
BENCHMARK(overviewFollowsFinale)->Arg(71)->Arg(600)->Arg(2147483647)->Unit(benchmark::kMicrosecond);
