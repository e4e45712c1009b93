// How long the registered teams' dialog takes to open a list of invented teams (CSV, or the
// same list as ODS or XLSX): the file read, the levels and the table shown, Effectif taken in, and
// the dialog painted again.

#include "EntriesOds.h"
#include "FeatureWindow.h"
#include "Features.h"
#include "SheetFiles.h"
#include "TeamFile.h"
#include "TeamLists.h"
#include "TeamsDialog.h"
#include "VlmPrg.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

enum Kind { Csv, Ods, Xlsx };

constexpr const char *kKindNames[] = {"csv", "ods", "xlsx"};

// The list written once as the kind of file asked for; empty when it could not be.
QString writeList(const QTemporaryDir &dir, std::size_t teams, Kind kind)
{
    const std::string csv = velmorin::testing::inventedTeamsCsv(teams);
    QByteArray bytes(csv.data(), qsizetype(csv.size()));
    if (kind == Ods)
        bytes = QByteArray::fromStdString(
            velmorin::teamListOds(velmorin::testing::teamListFromCsv(csv)));
    else if (kind == Xlsx)
        bytes = QByteArray::fromStdString(
            velmorin::testing::teamListXlsx(velmorin::testing::teamListFromCsv(csv)));
    const QString fileName = dir.filePath(QStringLiteral("equipes.") + kKindNames[kind]);
    QFile file(fileName);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return fileName;
}

void teamsDialogOpensList(benchmark::State &state)
{
    const auto teams = static_cast<std::size_t>(state.range(0));
    const auto kind = static_cast<Kind>(state.range(1));
    const QTemporaryDir dir;
    const QString fileName = writeList(dir, teams, kind);
    if (fileName.isEmpty()) {
        state.SkipWithError("cannot write the list");
        return;
    }
    TVlmFPrg window;
    velmorin::installFeatures(window);
    window.show();
    window.findChild<QAction *>(QStringLiteral("actionEquipes"))->trigger();
    auto *dialog =
        velmorin::FeatureWindow::find<velmorin::TeamsDialog>(window, QStringLiteral("Equipes"));
    for (auto _ : state) {
        if (!dialog->openList(fileName)) {
            state.SkipWithError("list refused");
            return;
        }
        QCoreApplication::processEvents(); // laid out and painted
    }
    state.counters["teams"] = static_cast<double>(dialog->list()->teams.size());
    state.SetLabel(kKindNames[kind]);
}

} // namespace

BENCHMARK(teamsDialogOpensList)
    ->Args({80, Csv})
    ->Args({10000, Csv})
    ->Args({10000, Ods})
    ->Args({10000, Xlsx})
    ->Unit(benchmark::kMillisecond);
