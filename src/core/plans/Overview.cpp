#include "Overview.h"

#include "CsvWriter.h"
#include "IntText.h"
#include "RoundOne.h"
#include "SolutionTable.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace velmorin {

Overview::Overview(const Problem &problem)
    : m_registered(problem.registered), m_bound(entrants1Bound(problem.registered, problem.finale)),
      m_last(lastExaminedEntrants1(problem.registered))
{
    const BackwardChain chain = backwardChain(problem);
    const Count lastE = m_last / 4;
    std::array<Entrants1Band, 3> bands;
    for (ExemptionClass k : kRunOrder) {
        m_tour4[classIndex(k)] = RequiredTour4(k, chain.T5, problem.round4);
        bands[classIndex(k)] = entrants1Band(problem.registered, m_tour4[classIndex(k)], lastE);
    }
    // The walk: the classes' bands in ascending order, overlapping ones merged, empty ones out.
    std::sort(bands.begin(), bands.end(),
              [](const Entrants1Band &a, const Entrants1Band &b) { return a.first < b.first; });
    for (const Entrants1Band &b : bands) {
        if (b.empty())
            continue;
        if (m_walkSize > 0 && b.first <= m_walk[m_walkSize - 1].last + 1)
            m_walk[m_walkSize - 1].last = std::max(m_walk[m_walkSize - 1].last, b.last);
        else
            m_walk[m_walkSize++] = b;
    }
    if (m_walkSize > 0)
        m_nextE = m_walk[0].first;
}

std::optional<OverviewRow> Overview::next()
{
    while (m_walkAt < m_walkSize) {
        const Entrants1Band &b = m_walk[m_walkAt];
        if (m_nextE > b.last) {
            if (++m_walkAt < m_walkSize)
                m_nextE = m_walk[m_walkAt].first;
            continue;
        }
        OverviewRow row;
        row.entrants1 = 4 * m_nextE++; // at most N, so it fits in 32 bits
        for (ExemptionClass k : kRunOrder)
            row.solutions[classIndex(k)] =
                searchClass(m_registered, static_cast<std::int32_t>(row.entrants1),
                            m_tour4[classIndex(k)])
                    .count();
        if (row.total() > 0)
            return row;
    }
    return std::nullopt;
}

namespace {

constexpr std::array<std::string_view, 4> kOverviewCsvColumns{"entrant1", "classe3", "classe2",
                                                              "classe1"};
constexpr std::array<std::string_view, 4> kOverviewTableHeaders{"Entrant 1", "Classe 3", "Classe 2",
                                                                "Classe 1"};

// One row's values in the columns' order: E1, then classes 3, 2, 1.
std::array<Count, 4> columns(const OverviewRow &row)
{
    std::array<Count, 4> values{row.entrants1};
    for (std::size_t i = 0; i < kRunOrder.size(); ++i)
        values[i + 1] = row.count(kRunOrder[i]);
    return values;
}

} // namespace

// French keeps the singular for 0 and 1.
std::string overviewSummary(const Overview &overview, Count withSolutions)
{
    const Count examined = overview.examined();
    std::string said = IntToStr(examined);
    said += examined > 1 ? " valeurs de E1 examinées" : " valeur de E1 examinée";
    if (examined > 0) {
        said += " (de 0 à " + IntToStr(overview.lastEntrants1());
        if (overview.upDownBound() < 0)
            said += " ; la fenêtre n'en propose aucune";
        else if (overview.upDownBound() < overview.lastEntrants1())
            said += " ; la fenêtre propose jusqu'à " + IntToStr(overview.upDownBound());
        said += ")";
    }
    said += ", " + IntToStr(withSolutions) + " avec au moins une solution";
    return said;
}

SolutionsScale solutionsScale(Count highest)
{
    if (highest < 1)
        return {};
    constexpr Count kLargest = std::numeric_limits<Count>::max();
    // 1, 2, 5, then ten times each, never past what a Count holds.
    for (Count decade = 1;; decade *= 10) {
        for (const Count factor : {1, 2, 5}) {
            const Count step = factor * decade;
            const Count steps = highest / step + (highest % step != 0 ? 1 : 0);
            if (steps <= kMostSolutionsSteps && steps <= kLargest / step)
                return {steps * step, step};
        }
        if (decade > kLargest / 10)
            return {highest, highest};
    }
}

bool writeOverviewCsv(const Problem &problem, ByteSink &sink, char separator)
{
    CsvWriter csv(sink, separator);
    if (!csv.header(kOverviewCsvColumns))
        return false;
    Overview overview(problem);
    while (const std::optional<OverviewRow> row = overview.next()) {
        if (!csv.numberRow(columns(*row)))
            return false;
    }
    return csv.flush();
}

bool writeOverviewTable(const Problem &problem, ByteSink &sink)
{
    LineBuffer line(sink);
    Overview overview(problem);
    // The rows are not known in advance: every column is as wide as the largest value any row
    // can hold, E1 and a count both up to the registered teams.
    const std::size_t valueWidth =
        std::max(decimalWidth(overview.lastEntrants1()), decimalWidth(problem.registered));
    std::array<std::size_t, 4> widths{};
    std::size_t rowWidth = 0;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        widths[c] = std::max(kOverviewTableHeaders[c].size(), valueWidth);
        line.spaces(c == 0 ? 0 : 2).paddedText(kOverviewTableHeaders[c], widths[c]);
        rowWidth += widths[c] + 2;
    }
    if (!line.endLine())
        return false;

    Count withSolutions = 0;
    while (const std::optional<OverviewRow> row = overview.next()) {
        const std::array<Count, 4> values = columns(*row);
        // Room for the columns even if a value outgrew its width, which it cannot.
        line.ensure(rowWidth + values.size() * LineBuffer::kNumberWidth + 1);
        line.putPadded(values[0], widths[0]);
        for (std::size_t c = 1; c < values.size(); ++c)
            line.putPadded(values[c], widths[c] + 2); // the two spaces between columns
        if (!line.endLine())
            return false;
        ++withSolutions;
    }
    line.text(overviewSummary(overview, withSolutions));
    if (!line.endLine())
        return false;
    return line.flush();
}

} // namespace velmorin
