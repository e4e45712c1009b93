// Importing and assigning a team list of 10 000 teams, from CSV, ODS and XLSX: the file read
// from disk, the list checked, the levels mapped and every team given its entry round, as the
// window's "Ouvrir une liste…" and the calculator's --equipes do.

#include "EntriesOds.h"
#include "SheetFiles.h"
#include "TeamAssignment.h"
#include "TeamFile.h"
#include "TeamLists.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kTeams = 10000;

// The invented list written once as a CSV, an ODS and an XLSX file.
class ListFiles
{
public:
    ListFiles()
    {
        const std::string csv = velmorin::testing::inventedTeamsCsv(kTeams);
        m_csv = write("equipes.csv", QByteArray::fromStdString(csv));
        const velmorin::TeamList list = velmorin::testing::teamListFromCsv(csv);
        m_ods = write("equipes.ods", QByteArray::fromStdString(velmorin::teamListOds(list)));
        m_xlsx =
            write("equipes.xlsx", QByteArray::fromStdString(velmorin::testing::teamListXlsx(list)));
    }
    const std::string &csv() const { return m_csv; }
    const std::string &ods() const { return m_ods; }
    const std::string &xlsx() const { return m_xlsx; }

private:
    std::string write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size())
            std::abort();
        return file.fileName().toStdString();
    }

    QTemporaryDir m_dir;
    std::string m_csv;
    std::string m_ods;
    std::string m_xlsx;
};

const ListFiles &files()
{
    static const ListFiles instance;
    return instance;
}

void importAndAssign(benchmark::State &state, const std::string &path)
{
    std::uint64_t seed = 1;
    for (auto _ : state) {
        const velmorin::TeamListResult read = velmorin::readTeamList(path);
        if (!read.ok())
            state.SkipWithError(read.error.c_str());
        const velmorin::LevelMapping mapping = velmorin::LevelMapping::defaults(*read.list);
        const velmorin::AssignmentResult assigned =
            velmorin::assignTeams(*read.list, mapping, mapping.entrantsPerRound(), seed++);
        benchmark::DoNotOptimize(assigned.assignment->outOfLevelCount);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kTeams));
}

void BM_ImportAssignCsv(benchmark::State &state)
{
    importAndAssign(state, files().csv());
}
BENCHMARK(BM_ImportAssignCsv)->Unit(benchmark::kMillisecond);

void BM_ImportAssignOds(benchmark::State &state)
{
    importAndAssign(state, files().ods());
}
BENCHMARK(BM_ImportAssignOds)->Unit(benchmark::kMillisecond);

void BM_ImportAssignXlsx(benchmark::State &state)
{
    importAndAssign(state, files().xlsx());
}
BENCHMARK(BM_ImportAssignXlsx)->Unit(benchmark::kMillisecond);

// The assignment alone, the list already read: what a new draw or another plan costs.
void BM_AssignOnly(benchmark::State &state)
{
    const velmorin::TeamList list =
        velmorin::testing::teamListFromCsv(velmorin::testing::inventedTeamsCsv(kTeams));
    const velmorin::LevelMapping mapping = velmorin::LevelMapping::defaults(list);
    std::uint64_t seed = 1;
    for (auto _ : state) {
        const velmorin::AssignmentResult assigned =
            velmorin::assignTeams(list, mapping, mapping.entrantsPerRound(), seed++);
        benchmark::DoNotOptimize(assigned.assignment->outOfLevelCount);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kTeams));
}
BENCHMARK(BM_AssignOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
