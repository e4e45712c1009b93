// The calculator's CSV output as it runs: the writers into standard output's sink (FdSink,
// which keeps what a write-error message needs), beside a bare loop of to_chars and write(2)
// producing the same bytes, both into /dev/null. The scan (--scan --format csv) of
// N = 20 000 000, F = 2 000 000 (1.7 million rows, 53 MB) and the solution table
// (--format csv) of N = 5 000 000, F = 500 000, E1 = 0.

#include "ByteSink.h"
#include "Calculation.h"
#include "FdSink.h"
#include "Overview.h"
#include "SolutionTable.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using velmorin::Count;

velmorin::Problem problem(std::int32_t registered, std::int32_t finale)
{
    velmorin::Problem p;
    p.registered = registered;
    p.finale = finale;
    p.entrants1 = 0;
    return p;
}

const velmorin::Problem kScan = problem(20000000, 2000000);
const velmorin::Problem kTable = problem(5000000, 500000);

// /dev/null, opened once for every iteration.
int devNull()
{
    static const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    return fd;
}

// The bare loop's output: a 1 MiB buffer handed to write(2) whole, as LineBuffer does.
class BareOutput
{
public:
    BareOutput() : m_buffer(std::size_t{1} << 20) {}
    ~BareOutput() { flush(); }
    template <std::size_t N> void row(const std::array<Count, N> &values)
    {
        if (m_buffer.size() - m_used < 256)
            flush();
        char *at = m_buffer.data() + m_used;
        char *const end = m_buffer.data() + m_buffer.size();
        for (std::size_t k = 0; k < N; ++k) {
            if (k > 0)
                *at++ = ',';
            at = std::to_chars(at, end, values[k]).ptr;
        }
        *at++ = '\n';
        m_used = static_cast<std::size_t>(at - m_buffer.data());
    }
    void text(std::string_view s)
    {
        std::memcpy(m_buffer.data() + m_used, s.data(), s.size());
        m_used += s.size();
    }
    void flush()
    {
        if (m_used > 0)
            benchmark::DoNotOptimize(::write(devNull(), m_buffer.data(), m_used));
        m_used = 0;
    }

private:
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

void scanWriter(benchmark::State &state)
{
    for (auto _ : state) {
        velmorin::cli::FdSink sink(devNull());
        benchmark::DoNotOptimize(velmorin::writeOverviewCsv(kScan, sink));
    }
}

void scanBareLoop(benchmark::State &state)
{
    for (auto _ : state) {
        BareOutput out;
        out.text("entrant1,classe3,classe2,classe1\n");
        velmorin::Overview overview(kScan);
        while (const std::optional<velmorin::OverviewRow> row = overview.next())
            out.row(std::array<Count, 4>{row->entrants1, row->solutions[2], row->solutions[1],
                                         row->solutions[0]}); // classes 3, 2, 1
    }
}

void tableWriter(benchmark::State &state)
{
    const velmorin::Calculation calculation = velmorin::calculate(kTable);
    for (auto _ : state) {
        velmorin::cli::FdSink sink(devNull());
        benchmark::DoNotOptimize(velmorin::writeCsv(calculation, sink));
    }
}

void tableBareLoop(benchmark::State &state)
{
    const velmorin::Calculation c = velmorin::calculate(kTable);
    for (auto _ : state) {
        BareOutput out;
        out.text("classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4\n");
        for (const velmorin::ClassResult &r : c.classes) {
            for (Count i = 0; i < r.solutions.count(); ++i) {
                const velmorin::TSolution s = r.solutions.at(i);
                out.row(std::array<Count, 9>{velmorin::classNumber(r.exemptionClass), i + 1,
                                             s.Tour1, s.Tour2, s.Tour3, r.tour4, s.Entrant2,
                                             s.Entrant3, s.Entrant4});
            }
        }
    }
}

} // namespace

BENCHMARK(scanWriter)->Unit(benchmark::kMillisecond);
BENCHMARK(scanBareLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(tableWriter)->Unit(benchmark::kMillisecond);
BENCHMARK(tableBareLoop)->Unit(benchmark::kMillisecond);
