#include "Plan.h"

namespace velmorin {

namespace {

constexpr std::array<std::string_view, kPlanRounds> kRoundNames{
    "Tour 1", "Tour 2", "Tour 3", "Tour 4 (1/8 Finale)", "1/4 Finale", "1/2 Finale", "Finale"};

std::string number(Count value)
{
    return std::to_string(value);
}

std::string htmlEscaped(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&#39;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

// A cell never breaks the spreadsheet's rows and columns.
std::string tsvCell(std::string_view text)
{
    std::string cell(text);
    for (char &c : cell) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return cell;
}

template <typename Cells> std::string tsvLine(const Cells &cells)
{
    std::string line;
    bool first = true;
    for (const auto &cell : cells) {
        line += (first ? "" : "\t") + tsvCell(cell);
        first = false;
    }
    return line + '\n';
}

template <typename Cells> std::string htmlRow(const Cells &cells, std::string_view tag)
{
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    std::string row = "<tr>";
    for (const auto &cell : cells)
        row += open + htmlEscaped(cell) + close;
    return row + "</tr>\n";
}

} // namespace

Count Plan::entrantsTotal() const
{
    Count total = 0;
    for (const PlanRound &round : rounds)
        total += round.entering;
    return total;
}

std::optional<Plan> makePlan(const Calculation &calculation, ExemptionClass exemptionClass,
                             Count position)
{
    const ClassResult &result = calculation.of(exemptionClass);
    if (position < 1 || position > result.solutions.count())
        return std::nullopt;
    const TSolution s = result.solutions.at(position - 1);
    const Problem &problem = calculation.problem;

    Plan plan;
    plan.problem = problem;
    plan.exemptionClass = exemptionClass;
    plan.position = position;
    plan.solutionCount = result.solutions.count();

    const std::array<Count, kPlanRounds> playing{s.Tour1,
                                                 s.Tour2,
                                                 s.Tour3,
                                                 result.tour4,
                                                 calculation.chain.T5,
                                                 calculation.chain.T6,
                                                 calculation.chain.T7};
    const std::array<Count, kPlanRounds> entering{s.Tour1, s.Entrant2, s.Entrant3, s.Entrant4,
                                                  0,       0,          0};
    const std::array<Ratio, kPlanRounds - 1> ratios{Ratio::ThreeQuarters, Ratio::ThreeQuarters,
                                                    Ratio::ThreeQuarters, problem.round4,
                                                    problem.quarterFinal, problem.semiFinal};
    for (std::size_t r = 0; r < kPlanRounds; ++r) {
        PlanRound &round = plan.rounds[r];
        round.name = kRoundNames[r];
        round.playing = playing[r];
        round.entering = entering[r];
        if (r + 1 < kPlanRounds) {
            // Whoever plays the next round and did not enter there came through this one.
            round.through = playing[r + 1] - entering[r + 1];
            round.ratio = ratios[r];
        }
    }
    return plan;
}

std::string_view ratioText(Ratio ratio)
{
    return ratio == Ratio::Half ? "1/2" : "3/4";
}

std::string problemInputsText(const Problem &problem)
{
    return "Équipes inscrites : " + number(problem.registered) +
           " — Finale : " + number(problem.finale) +
           " — Tour 4 : " + std::string(ratioText(problem.round4)) + " (quart de finale " +
           std::string(ratioText(problem.quarterFinal)) + ", demi-finale " +
           std::string(ratioText(problem.semiFinal)) + ")";
}

std::string positionText(const Plan &plan)
{
    return "solution " + number(plan.position) + " sur " + number(plan.solutionCount);
}

std::string checkText(const Plan &plan)
{
    std::string sum;
    for (std::size_t r = 0; r < 4; ++r)
        sum += (r == 0 ? "" : " + ") + number(plan.rounds[r].entering);
    return "Contrôle : " + sum + " = " + number(plan.entrantsTotal()) + " entrantes " +
           (plan.entrantsAddUp() ? "=" : "≠") + " " + number(plan.problem.registered) +
           " inscrites";
}

std::string exemptionNote(const Plan &plan)
{
    const Count exempted = plan.exempted();
    if (exempted == 0)
        return {};
    const PlanRound &round4 = plan.rounds[3];
    const bool one = exempted == 1;
    return "Au Tour 4, " + number(exempted) +
           (one ? " équipe exemptée passe" : " équipes exemptées passent") +
           " directement en 1/4 Finale : " + number(round4.playing - exempted) +
           " équipes jouent, " + number(*round4.through - exempted) + " sont qualifiées.";
}

PlanSheet planSheet(const Plan &plan)
{
    PlanSheet sheet;
    sheet.title = "Plan de la coupe";
    const Problem &problem = plan.problem;
    sheet.details = {
        {"Équipes inscrites", number(problem.registered)},
        {"Équipes en finale", number(problem.finale)},
        {"Entrantes au Tour 1", number(problem.entrants1)},
        {"Rapport du Tour 4", std::string(ratioText(problem.round4))},
        {"Classe", std::string(wording(plan.exemptionClass).description)},
        {"Position", positionText(plan)},
    };
    sheet.header = {"Tour", "En jeu", "Entrantes", "Qualifiées", "Rapport"};
    for (std::size_t r = 0; r < kPlanRounds; ++r) {
        const PlanRound &round = plan.rounds[r];
        const std::string none = "—"; // an em dash: the final has no next round
        sheet.rows[r] = {std::string(round.name), number(round.playing), number(round.entering),
                         round.through ? number(*round.through) : none,
                         round.ratio ? std::string(ratioText(*round.ratio)) : none};
    }
    sheet.note = exemptionNote(plan);
    sheet.check = checkText(plan);
    return sheet;
}

std::string sheetTsv(const PlanSheet &sheet)
{
    std::string result = tsvLine(std::array<std::string, 1>{sheet.title}) + '\n';
    for (const auto &[label, value] : sheet.details)
        result += tsvLine(std::array<std::string, 2>{label, value});
    result += '\n' + tsvLine(sheet.header);
    for (const auto &row : sheet.rows)
        result += tsvLine(row);
    result += '\n';
    if (!sheet.note.empty())
        result += tsvLine(std::array<std::string, 1>{sheet.note});
    return result + tsvLine(std::array<std::string, 1>{sheet.check});
}

std::string sheetHtml(const PlanSheet &sheet)
{
    // The charset keeps the accents whole in applications that read the fragment as bytes.
    std::string result = "<meta charset=\"utf-8\">\n<h2>" + htmlEscaped(sheet.title) + "</h2>\n";
    result += "<table>\n";
    for (const auto &[label, value] : sheet.details)
        result += "<tr><td>" + htmlEscaped(label) + "</td><td><b>" + htmlEscaped(value) +
                  "</b></td></tr>\n";
    result += "</table>\n<p></p>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    result += htmlRow(sheet.header, "th");
    for (const auto &row : sheet.rows)
        result += htmlRow(row, "td");
    result += "</table>\n";
    if (!sheet.note.empty())
        result += "<p>" + htmlEscaped(sheet.note) + "</p>\n";
    return result + "<p>" + htmlEscaped(sheet.check) + "</p>\n";
}

std::string planTsv(const Plan &plan)
{
    return sheetTsv(planSheet(plan));
}

std::string planHtml(const Plan &plan)
{
    return sheetHtml(planSheet(plan));
}

} // namespace velmorin
