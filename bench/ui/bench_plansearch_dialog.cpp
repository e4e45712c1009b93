// How long the plan search dialog takes to follow one keystroke in its form: the wishes
// read, the 100 best plans found and the table rebuilt and laid out, for a small cup, a large
// one and the largest count. The table shows its 100 rows each time.

#include "FeatureWindow.h"
#include "Features.h"
#include "PlanSearchDialog.h"
#include "VlmPrg.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// Round 4 takes in 8 teams and round 2 holds at most 6…, the digit the loop types or erases.
void keystroke(benchmark::State &state)
{
    TVlmFPrg window;
    velmorin::installFeatures(window);
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("Effectif"))
        ->setText(QString::number(state.range(0)));
    window.findChild<QLineEdit *>(QStringLiteral("Finale"))
        ->setText(QString::number(state.range(1)));
    window.findChild<QAction *>(QStringLiteral("actionRecherchePlans"))->trigger();
    auto *dialog = velmorin::FeatureWindow::find<velmorin::PlanSearchDialog>(
        window, QStringLiteral("RecherchePlans"));
    for (const char *field : {"MinEntrants4", "MaxEntrants4"})
        dialog->findChild<QLineEdit *>(QLatin1String(field))->setText(QStringLiteral("8"));
    auto *maxTour2 = dialog->findChild<QLineEdit *>(QStringLiteral("MaxTour2"));
    maxTour2->setText(QStringLiteral("6"));
    maxTour2->setFocus();
    QCoreApplication::processEvents();

    bool typed = false;
    for (auto _ : state) {
        typed = !typed;
        QTest::keyClick(maxTour2, typed ? Qt::Key_0 : Qt::Key_Backspace);
        QCoreApplication::processEvents();
    }
    state.counters["plans"] = static_cast<double>(dialog->plans().size());
}

} // namespace

// Registered teams and final, as the core's plan benchmark names them: a final of 700 leaves
// 10 000 teams some 1 750 E1 values with solutions, one of 200 000 000 the largest count some
// 2.4 × 10⁸.
BENCHMARK(keystroke)
    ->Args({71, 6})
    ->Args({10000, 700})
    ->Args({2147483647, 200000000})
    ->Unit(benchmark::kMicrosecond);
