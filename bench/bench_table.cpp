// Streaming the solution table: rows per second of the CSV and aligned-table writers, beside a
// plain to_chars loop that produces the same CSV bytes, the floor any writer can reach. The
// problem is the calculator's largest: N = 2 147 483 647, F = 200 000 000, E1 = 0, some 896
// million rows; each iteration streams the first 64 MiB into a sink that then refuses more.

#include "ByteSink.h"
#include "Calculation.h"
#include "SolutionTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

using velmorin::Count;

constexpr std::size_t kBudget = std::size_t{64} << 20;

// Takes bytes until its budget is spent, as a pipe whose reader stops reading.
class BudgetSink : public velmorin::ByteSink
{
public:
    bool write(std::string_view bytes) override
    {
        if (m_taken >= kBudget)
            return false;
        benchmark::DoNotOptimize(bytes.data());
        m_taken += bytes.size();
        m_lines += static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
        return true;
    }
    std::size_t taken() const { return m_taken; }
    std::size_t lines() const { return m_lines; }

private:
    std::size_t m_taken = 0;
    std::size_t m_lines = 0;
};

velmorin::Calculation largest()
{
    velmorin::Problem problem;
    problem.registered = 2147483647;
    problem.finale = 200000000;
    problem.entrants1 = 0;
    return velmorin::calculate(problem);
}

template <typename Write> void stream(benchmark::State &state, Write write)
{
    const velmorin::Calculation calculation = largest();
    std::size_t bytes = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        BudgetSink sink;
        write(calculation, sink);
        bytes += sink.taken();
        lines += sink.lines();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}

void csvWriter(benchmark::State &state)
{
    stream(state,
           [](const velmorin::Calculation &c, BudgetSink &sink) { velmorin::writeCsv(c, sink); });
}

void tableWriter(benchmark::State &state)
{
    stream(state,
           [](const velmorin::Calculation &c, BudgetSink &sink) { velmorin::writeTable(c, sink); });
}

// The floor: the same CSV bytes from a bare loop, to_chars into a buffer written when full.
void plainLoop(benchmark::State &state)
{
    stream(state, [](const velmorin::Calculation &c, BudgetSink &sink) {
        static std::vector<char> buffer(std::size_t{1} << 20);
        std::size_t used = 0;
        constexpr std::string_view header =
            "classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4\n";
        std::memcpy(buffer.data(), header.data(), header.size());
        used = header.size();
        for (const velmorin::ClassResult &r : c.classes) {
            for (Count i = 0; i < r.solutions.count(); ++i) {
                if (buffer.size() - used < 256) {
                    if (!sink.write({buffer.data(), used}))
                        return;
                    used = 0;
                }
                const velmorin::TSolution s = r.solutions.at(i);
                const std::array<Count, 9> row{velmorin::classNumber(r.exemptionClass),
                                               i + 1,
                                               s.Tour1,
                                               s.Tour2,
                                               s.Tour3,
                                               r.tour4,
                                               s.Entrant2,
                                               s.Entrant3,
                                               s.Entrant4};
                char *at = buffer.data() + used;
                char *const end = buffer.data() + buffer.size();
                for (std::size_t k = 0; k < row.size(); ++k) {
                    if (k > 0)
                        *at++ = ',';
                    at = std::to_chars(at, end, row[k]).ptr;
                }
                *at++ = '\n';
                used = static_cast<std::size_t>(at - buffer.data());
            }
        }
        sink.write({buffer.data(), used});
    });
}

} // namespace

BENCHMARK(csvWriter)->Unit(benchmark::kMillisecond);
BENCHMARK(tableWriter)->Unit(benchmark::kMillisecond);
BENCHMARK(plainLoop)->Unit(benchmark::kMillisecond);
