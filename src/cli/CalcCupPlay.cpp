// velmorin-calc --coupe's actions on a played cup: draws, results, forfeits, the exempted teams.

#include "CalcCupPrivate.h"

#include "ByteSink.h"
#include "Calc.h"
#include "CalcOptions.h"
#include "CupCommand.h"
#include "CupStore.h"
#include "CupText.h"

#include <QDateTime>

#include <algorithm>
#include <charconv>
#include <ostream>

namespace velmorin::cli {

using namespace cupprivate;

namespace {

std::optional<int> roundOf(const std::string &text)
{
    return numberFrom1(text, kCupRounds);
}

enum class CupFormat { Table, Csv, Html };

std::string meetingsText(const Cup &cup, int round)
{
    std::string text;
    const auto &teams = cup.teams();
    for (const Meeting &m : cup.meetings(round)) {
        const CupTeam &a = teams[static_cast<std::size_t>(m.teamA)];
        const CupTeam &b = teams[static_cast<std::size_t>(m.teamB)];
        text += std::string(kProgram) + ": " +
                shownLines("Tour " + std::to_string(round) + ", poule " + std::to_string(m.group) +
                           " : « " + a.name + " » et « " + b.name + " », du club « " + a.club +
                           " », se rencontrent : le tirage n'a pas pu l'éviter.") +
                '\n';
    }
    return text;
}

// The teams of "A;B" (names or #N), or the refusal of the first unknown one.
std::optional<std::vector<int>> teamsOf(const Cup &cup, const std::string &text, std::string &error)
{
    std::vector<int> teams;
    for (const std::string &name : splitList(text, ';')) {
        const TeamReference found = resolveTeam(cup.teams(), name);
        if (!found.team) {
            error = found.error;
            return std::nullopt;
        }
        teams.push_back(*found.team);
    }
    return teams;
}

// "Tour 1 : 30 présentes, 2 absentes, 8 à pointer.": where the roll-call stands.
std::string rollCallCount(const Cup &cup, int round)
{
    int present = 0;
    int absent = 0;
    const std::vector<int> called = cup.rollCallTeams(round);
    for (const int team : called) {
        const std::optional<bool> answer = cup.rollCall(round, team);
        present += answer == true;
        absent += answer == false;
    }
    const int left = static_cast<int>(called.size()) - present - absent;
    const auto counted = [](int count, const char *word) {
        return std::to_string(count) + " " + word + (count > 1 ? "s" : "");
    };
    return "Tour " + std::to_string(round) + " : " + counted(present, "présente") + ", " +
           counted(absent, "absente") + ", " + std::to_string(left) + " à pointer.";
}

// The page's moment: now, on the organiser's clock.
LocalTime localNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
            now.time().minute()};
}

} // namespace

namespace cupprivate {

std::unique_ptr<CupStore> openForAction(const std::string &path, bool writes, std::ostream &err,
                                        int &status)
{
    CupOpening opening =
        CupStore::open(QString::fromStdString(path),
                       writes ? CupStore::Mode::ReadWrite : CupStore::Mode::ReadOnly);
    if (!opening.ok()) {
        status = openingFailed(err, opening);
        return nullptr;
    }
    if (writes && opening.store->readOnly()) {
        status = refuse(err, opening.notice);
        return nullptr;
    }
    return std::move(opening.store);
}

std::optional<int> numberFrom1(const std::string &text, int max)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > max)
        return std::nullopt;
    return value;
}

// The options of a played cup's actions: one action a run, with its modifiers.
bool takeActionOption(const std::vector<std::string> &args, std::size_t &k, CupArguments &cup,
                      std::string &error)
{
    CupAction &action = cup.action;
    const std::string &arg = args[k];
    if (arg == "--refaire" || arg == "--corriger" || arg == "--tableau" || arg == "--jetons" ||
        arg == "--absente") {
        if (arg == "--refaire")
            action.redo = true;
        else if (arg == "--corriger")
            action.correct = true;
        else if (arg == "--absente")
            action.absent = true;
        else if (action.kind == CupAction::Kind::None)
            action.kind = arg == "--jetons" ? CupAction::Kind::Tokens : CupAction::Kind::Board;
        else
            error = "Une seule action sur la coupe à la fois.";
        return true;
    }
    if (auto score = optionValue(args, k, "--score", error)) {
        action.score = *score;
        return true;
    }
    if (auto game = optionValue(args, k, "--partie", error)) {
        action.game = *game;
        return true;
    }
    const auto another = [&] {
        if (action.kind != CupAction::Kind::None && error.empty())
            error = "Une seule action sur la coupe à la fois.";
    };
    // --jeux [SALLE] 1-24: a hall's name when what follows it is not lanes.
    if (auto lanes = optionValue(args, k, "--jeux", error)) {
        another();
        action.kind = CupAction::Kind::Lanes;
        action.value = *lanes;
        if (error.empty() && !readLaneRange(*lanes).value && *lanes != "aucun" &&
            k + 1 < args.size()) {
            action.hall = *lanes;
            action.value = args[++k];
        }
        return true;
    }
    if (auto length = optionValue(args, k, "--duree", error)) {
        another();
        action.kind = CupAction::Kind::GameLength;
        action.value = *length;
        return true;
    }
    struct Named
    {
        const char *name;
        CupAction::Kind kind;
        bool round; // takes a round first
        bool team;  // then a team (or a list of them)
    };
    static constexpr Named named[] = {
        {"--tirage", CupAction::Kind::Draw, true, false},
        {"--annuler-tirage", CupAction::Kind::CancelDraw, true, false},
        {"--tour", CupAction::Kind::ShowRound, true, false},
        {"--gagnant", CupAction::Kind::Winner, true, true},
        {"--forfait", CupAction::Kind::Forfeit, true, true},
        {"--qualifiee", CupAction::Kind::Qualified, true, true},
        {"--exemptees", CupAction::Kind::Exempted, false, true},
        {"--jeton", CupAction::Kind::Token, true, true},
        {"--revoquer", CupAction::Kind::Revoke, false, true},
        {"--pointage", CupAction::Kind::RollCall, true, true},
        {"--horaire", CupAction::Kind::Start, true, true},
    };
    for (const Named &option : named) {
        const auto value = optionValue(args, k, option.name, error);
        if (!value)
            continue;
        another();
        action.kind = option.kind;
        const bool start = option.kind == CupAction::Kind::Start;
        if (option.round && option.team) {
            action.roundText = *value;
            if (k + 1 >= args.size()) {
                if (error.empty())
                    error = std::string("L'option ") + option.name +
                            (start ? " attend un tour puis une heure."
                             : option.kind == CupAction::Kind::Token
                                 ? " attend un tour puis une poule."
                                 : " attend un tour puis une équipe.");
            } else {
                (start ? action.value : action.team) = args[++k];
            }
        } else if (option.round) {
            action.roundText = *value;
        } else {
            action.team = *value;
        }
        return true;
    }
    return false;
}

} // namespace cupprivate

int runCupAction(const CupArguments &cup, ByteSink &out, std::ostream &err)
{
    using Kind = CupAction::Kind;
    const CupAction &action = cup.action;
    if (action.kind == Kind::Token || action.kind == Kind::Tokens || action.kind == Kind::Revoke)
        return runTokenAction(cup, out, err);
    CupFormat format = CupFormat::Table;
    std::optional<char> separator;
    for (std::size_t k = 0; k < cup.rest.size(); ++k) {
        std::string error;
        if (const auto given = optionValue(cup.rest, k, "--separateur", error)) {
            CalcRequest request;
            error = error.empty() ? applyValueOption("--separateur", *given, request) : error;
            if (!error.empty())
                return refuse(err, error);
            separator = request.separator;
            continue;
        }
        const auto value = optionValue(cup.rest, k, "--format", error);
        if (!error.empty())
            return refuse(err, error);
        if (!value)
            return refuse(err, "Option ou argument en trop " + quotedArgument(cup.rest[k]) +
                                   " avec cette action sur la coupe.");
        if (*value == "table")
            format = CupFormat::Table;
        else if (*value == "csv")
            format = CupFormat::Csv;
        else if (*value == "html" && action.kind == Kind::Board)
            format = CupFormat::Html;
        else
            return refuse(err, "Format inconnu " + quotedArgument(*value) +
                                   (action.kind == Kind::Board
                                        ? " : table, csv ou html."
                                        : " : table ou csv (html pour --tableau)."));
    }
    if (separator && format != CupFormat::Csv)
        return refuse(err, separatorWithoutCsv(format == CupFormat::Html ? "html" : "table"));
    if (action.redo && action.kind != Kind::Draw)
        return refuse(err, "L'option --refaire accompagne --tirage.");
    if (action.correct && action.kind != Kind::Winner && action.kind != Kind::Forfeit)
        return refuse(err, "L'option --corriger accompagne --gagnant ou --forfait.");
    if (action.absent && action.kind != Kind::RollCall)
        return refuse(err, "L'option --absente accompagne --pointage.");
    if (action.score && action.kind != Kind::Winner)
        return refuse(err, "l'option --score accompagne --gagnant");
    if (action.game && action.kind != Kind::Winner && action.kind != Kind::Forfeit &&
        action.kind != Kind::Qualified)
        return refuse(err, "l'option --partie accompagne --gagnant, --forfait ou --qualifiee");
    std::optional<int> game;
    if (action.game) {
        if (*action.game == "1" || *action.game == "2")
            game = std::stoi(*action.game);
        else if (*action.game == "barrage")
            game = kBarrage;
        else
            return refuse(err,
                          "la partie est 1, 2 ou barrage, pas " + quotedArgument(*action.game));
    }
    // The day's values, read before the cup is opened: a typing slip changes nothing.
    std::optional<LaneRange> lanes;
    std::optional<DayTime> start;
    std::optional<int> length;
    if (action.kind == Kind::Lanes && action.value != "aucun") {
        Reading<LaneRange> reading = readLaneRange(action.value);
        if (!reading.value)
            return refuse(err, action.hall || action.value.find_first_of("0123456789") == 0
                                   ? reading.refusal
                                   : reading.refusal + " Une salle se nomme avant ses jeux : "
                                                       "--jeux SALLE 1-24.");
        lanes = reading.value;
    } else if (action.kind == Kind::Start && action.value != "aucune") {
        Reading<DayTime> reading = readDayTime(action.value);
        if (!reading.value)
            return refuse(err, reading.refusal);
        start = reading.value;
    } else if (action.kind == Kind::GameLength) {
        Reading<int> reading = readDuration(action.value);
        if (!reading.value)
            return refuse(err, reading.refusal);
        length = reading.value;
    }
    std::optional<int> round;
    if (action.kind != Kind::Board && action.kind != Kind::Exempted &&
        action.kind != Kind::Lanes && action.kind != Kind::GameLength) {
        round = roundOf(action.roundText);
        if (!round)
            return refuse(err, "Le tour est un nombre de 1 à 6, pas " +
                                   quotedArgument(action.roundText) + '.');
    }
    std::optional<Score> score;
    if (action.score) {
        const ScoreReading reading = readScore(*action.score);
        if (!reading.score)
            return refuse(err, reading.refusal);
        score = reading.score;
    }

    int status = kExitSuccess;
    const std::unique_ptr<CupStore> opened = openForAction(
        cup.path, action.kind != Kind::ShowRound && action.kind != Kind::Board, err, status);
    if (!opened)
        return status;
    CupStore &store = *opened;
    CupCreation made = store.cup();
    if (!made.ok())
        return refuse(err, made.error);
    Cup &played = *made.cup;
    const bool csv = format == CupFormat::Csv;
    const char sep = separator.value_or(',');
    if (action.kind == Kind::ShowRound) {
        out.write(csv ? roundCsv(played, *round, sep) : roundTable(played, *round));
        return kExitSuccess;
    }
    if (action.kind == Kind::Board) {
        out.write(format == CupFormat::Html ? cupHtml(played, store.setup().name, localNow())
                  : csv                     ? cupCsv(played, sep)
                                            : cupTable(played));
        return kExitSuccess;
    }

    std::optional<int> team;
    if (action.kind == Kind::Winner || action.kind == Kind::Forfeit ||
        action.kind == Kind::Qualified || action.kind == Kind::RollCall) {
        const TeamReference found = resolveTeam(played.teams(), action.team);
        if (!found.team)
            return refuse(err, found.error);
        team = found.team;
    }
    // The game a team's result, forfeit, correction or qualification names, by the cup's rule.
    const auto teamGame = [&](TeamGameUse use) {
        return played.teamGame(*round, *team, game, use);
    };
    std::optional<CupCommand> command;
    switch (action.kind) {
    case Kind::Draw:
        if (action.redo)
            command.emplace(RedrawCommand{*round});
        else
            command.emplace(DrawCommand{*round});
        break;
    case Kind::CancelDraw:
        command = CancelDrawCommand{*round};
        break;
    case Kind::Exempted: {
        std::string error;
        const auto teams = teamsOf(played, action.team, error);
        if (!teams)
            return refuse(err, error);
        command = ExemptedCommand{*teams};
        break;
    }
    case Kind::Winner:
    case Kind::Forfeit:
    case Kind::Qualified: {
        const bool forfeit = action.kind == Kind::Forfeit;
        if (action.kind == Kind::Forfeit && !action.correct && !game) {
            command = WithdrawalCommand{*round, *team};
            break;
        }
        const GameChoice chosen =
            teamGame(action.kind == Kind::Qualified ? TeamGameUse::Qualification
                     : !action.correct              ? TeamGameUse::Result
                     : forfeit                      ? TeamGameUse::CorrectAsWithdrawn
                                                    : TeamGameUse::CorrectAsWinner);
        if (!chosen.game)
            return refuse(err, chosen.refusal);
        const auto sides = *played.gameTeams(*chosen.game);
        const int opponent = sides.first == *team ? sides.second : sides.first;
        const int winner = forfeit ? opponent : *team;
        if (action.kind == Kind::Qualified)
            command = QualificationCommand{*chosen.game, *team};
        else if (action.correct)
            command = CorrectionCommand{*chosen.game, winner, score, forfeit};
        else
            command = ResultCommand{*chosen.game, winner, score, forfeit};
        break;
    }
    case Kind::RollCall:
        command = RollCallCommand{*round, *team, !action.absent};
        break;
    case Kind::Lanes:
        command = lanes ? LanesCommand{action.hall.value_or(""), lanes->first, lanes->last}
                        : LanesCommand{action.hall.value_or(""), 1, 0};
        break;
    case Kind::Start:
        command = StartCommand{*round, start};
        break;
    case Kind::GameLength:
        command = GameLengthCommand{*length};
        break;
    default:
        break;
    }
    command->basedOn = played.version();
    CupApplied applied = store.apply(*command, &played);
    switch (applied.outcome) {
    case CupApplied::Outcome::Refused:
    case CupApplied::Outcome::Stale:
        return refuse(err, applied.answer.text);
    case CupApplied::Outcome::WriteFailed:
        err << kProgram << ": " << sentence(applied.answer.text) << '\n' << std::flush;
        return kExitWriteError;
    case CupApplied::Outcome::Done:
        break;
    }
    const CupAnswer &answer = applied.answer;
    if (!answer.changed) {
        out.write(answer.text + '\n');
        return kExitSuccess;
    }
    played = std::move(*applied.cup);
    if (!applied.notice.empty())
        err << kProgram << ": " << sentence(applied.notice) << '\n';
    if (action.kind == Kind::Draw) {
        err << meetingsText(played, *round) << std::flush;
        out.write(csv ? roundCsv(played, *round, sep) : roundTable(played, *round));
    } else {
        out.write(shownLines(answer.text) + '\n');
    }
    if (action.kind == Kind::RollCall)
        out.write(rollCallCount(played, *round) + '\n');
    return kExitSuccess;
}
} // namespace velmorin::cli
