#include "CalcPlans.h"

#include "ByteSink.h"
#include "CsvWriter.h"
#include "IntText.h"
#include "PlanSearch.h"
#include "VisibleText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace velmorin::cli {

namespace {

constexpr std::array<std::pair<std::string_view, Quantity>, kQuantityCount> kWishOptions{{
    {"--e1", Quantity::Entrants1},
    {"--e2", Quantity::Entrants2},
    {"--e3", Quantity::Entrants3},
    {"--e4", Quantity::Entrants4},
    {"--t2", Quantity::Tour2},
    {"--t3", Quantity::Tour3},
    {"--t4", Quantity::Tour4},
}};

std::optional<Quantity> wishOption(std::string_view name)
{
    for (const auto &[option, quantity] : kWishOptions)
        if (option == name)
            return quantity;
    return std::nullopt;
}

void noteStray(std::string_view name, PlanOptions &options)
{
    if (options.strayOption.empty())
        options.strayOption = name;
}

constexpr std::size_t kColumns = 12;
constexpr std::array<std::string_view, kColumns> kCsvHeader{
    "rang",     "ecart",    "entrant1", "classe", "position", "solutions",
    "entrant2", "entrant3", "entrant4", "tour2",  "tour3",    "tour4"};
constexpr std::array<std::string_view, kColumns> kTableHeader{
    "Rang",      "Écart",     "Entrant 1", "Classe", "Position", "Solutions",
    "Entrant 2", "Entrant 3", "Entrant 4", "Tour 2", "Tour 3",   "Tour 4"};

using PlanRow = std::array<Count, kColumns>;

PlanRow rowOf(std::size_t rank, const RankedPlan &p)
{
    return {static_cast<Count>(rank),
            p.deviation,
            p.entrants1(),
            classNumber(p.exemptionClass),
            p.position,
            p.solutions,
            p.solution.Entrant2,
            p.solution.Entrant3,
            p.solution.Entrant4,
            p.solution.Tour2,
            p.solution.Tour3,
            p.tour4};
}

bool writeCsvPlans(const std::vector<RankedPlan> &plans, CsvWriter &csv)
{
    if (!csv.header(kCsvHeader))
        return false;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (!csv.numberRow(rowOf(i + 1, plans[i])))
            return false;
    }
    return csv.flush();
}

// "20 plans, écart de 0 à 4"; when nothing is listed, why.
std::string summary(const Problem &problem, const PlanOptions &options,
                    const std::vector<RankedPlan> &plans)
{
    if (plans.empty()) {
        const std::optional<Count> best =
            options.strict ? bestDeviation(problem, options.wishes) : std::nullopt;
        if (best)
            return "Aucun plan ne respecte tous les souhaits ; le plus proche a un écart de " +
                   IntToStr(*best);
        return "Aucun plan : aucune valeur de E1 ne donne de solution";
    }
    const Count first = plans.front().deviation;
    const Count last = plans.back().deviation;
    return IntToStr(static_cast<Count>(plans.size())) + (plans.size() > 1 ? " plans" : " plan") +
           ", écart " +
           (first == last ? IntToStr(first) : "de " + IntToStr(first) + " à " + IntToStr(last));
}

bool writeTablePlans(const Problem &problem, const PlanOptions &options,
                     const std::vector<RankedPlan> &plans, LineBuffer &line)
{
    std::array<std::size_t, kColumns> widths{};
    for (std::size_t c = 0; c < kColumns; ++c)
        widths[c] = displayWidth(kTableHeader[c]);
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const PlanRow row = rowOf(i + 1, plans[i]);
        for (std::size_t c = 0; c < kColumns; ++c)
            widths[c] = std::max(widths[c], decimalWidth(row[c]));
    }
    std::size_t rowWidth = 0;
    for (std::size_t c = 0; c < kColumns; ++c) {
        line.spaces((c == 0 ? 0 : 2) + widths[c] - displayWidth(kTableHeader[c]))
            .text(kTableHeader[c]);
        rowWidth += widths[c] + 2;
    }
    if (!line.endLine())
        return false;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const PlanRow row = rowOf(i + 1, plans[i]);
        line.ensure(rowWidth + 1);
        line.putPadded(row[0], widths[0]);
        for (std::size_t c = 1; c < kColumns; ++c)
            line.putPadded(row[c], widths[c] + 2);
        if (!line.endLine())
            return false;
    }
    return line.text(summary(problem, options, plans)).endLine();
}

} // namespace

bool isPlanFlag(std::string_view name)
{
    return name == "--plans" || name == "--strict";
}

bool isPlanValueOption(std::string_view name)
{
    return name == "--limite" || wishOption(name).has_value();
}

void applyPlanFlag(std::string_view name, PlanOptions &options)
{
    if (name == "--plans") {
        options.enabled = true;
        return;
    }
    options.strict = true;
    noteStray(name, options);
}

std::string applyPlanValue(std::string_view name, std::string_view value, PlanOptions &options)
{
    noteStray(name, options);
    if (name == "--limite") {
        std::int32_t limit = 0;
        if (!tryStrToInt(value, limit) || limit < 1 ||
            static_cast<std::size_t>(limit) > kMaxPlanLimit)
            return "limite incorrecte " + quotedText(value) + " (de 1 à " +
                   IntToStr(static_cast<Count>(kMaxPlanLimit)) + " attendu)";
        options.limit = static_cast<std::size_t>(limit);
        return {};
    }
    std::string error;
    const std::optional<Interval> interval = parseInterval(value, error);
    if (!interval)
        return std::string(name) + " : " + error;
    options.wishes.set(*wishOption(name), *interval);
    return {};
}

std::string checkPlanOptions(const PlanOptions &options)
{
    if (options.enabled || options.strayOption.empty())
        return {};
    return "l'option " + options.strayOption + " ne sert qu'avec --plans";
}

bool writePlans(const Problem &problem, const PlanOptions &options, bool csv, char separator,
                ByteSink &sink)
{
    const std::vector<RankedPlan> plans =
        findPlans(problem, options.wishes, options.limit, options.strict);
    if (csv) {
        CsvWriter writer(sink, separator);
        return writeCsvPlans(plans, writer);
    }
    LineBuffer line(sink);
    return writeTablePlans(problem, options, plans, line) && line.flush();
}

} // namespace velmorin::cli
