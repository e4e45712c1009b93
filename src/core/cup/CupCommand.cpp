// The one entry of a played cup's changes, and the scores as organisers type them.

#include "CupCommand.h"

#include "CupPrivate.h"
#include "VisibleText.h"

#include <charconv>

namespace velmorin {

using namespace cupprivate;

CupAnswer Cup::apply(const CupCommand &command)
{
    struct Run
    {
        Cup &cup;
        CupAnswer operator()(const DrawCommand &c) const { return cup.draw(c.round); }
        CupAnswer operator()(const RedrawCommand &c) const { return cup.redraw(c.round); }
        CupAnswer operator()(const CancelDrawCommand &c) const { return cup.cancelDraw(c.round); }
        CupAnswer operator()(const ExemptedCommand &c) const { return cup.setExempted(c.teams); }
        CupAnswer operator()(const ResultCommand &c) const { return cup.recordResult(c); }
        CupAnswer operator()(const CorrectionCommand &c) const { return cup.correct(c); }
        CupAnswer operator()(const WithdrawalCommand &c) const
        {
            return cup.withdraw(c.round, c.team);
        }
        CupAnswer operator()(const QualificationCommand &c) const { return cup.qualify(c); }
        CupAnswer operator()(const RollCallCommand &c) const { return cup.markRollCall(c); }
        CupAnswer operator()(const LanesCommand &c) const { return cup.setLanes(c); }
        CupAnswer operator()(const StartCommand &c) const { return cup.setStart(c.round, c.time); }
        CupAnswer operator()(const GameLengthCommand &c) const
        {
            return cup.setGameLength(c.minutes);
        }
        CupAnswer operator()(const SlotCommand &c) const { return cup.moveGame(c); }
    };
    // Each operation checks everything before it changes anything: a refusal leaves the cup
    // as it was.
    CupAnswer answer = std::visit(Run{*this}, command.action);
    if (answer.done && answer.changed) {
        pruneRollCalls(1);
        ++m_version;
    }
    return answer;
}

ScoreReading readScore(std::string_view text)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t k = 0;
    const auto skipSpaces = [&] {
        while (k < text.size() && isSpace(text[k]))
            ++k;
    };
    // Digits only; a number too long for an int is out of range, not out of form.
    const auto points = [&](long long &value) {
        const std::size_t from = k;
        while (k < text.size() && isDigit(text[k]))
            ++k;
        if (k == from)
            return false;
        const auto [end, error] = std::from_chars(text.data() + from, text.data() + k, value);
        if (error == std::errc::result_out_of_range)
            value = kMaxScore + 1LL;
        return end == text.data() + k || error == std::errc::result_out_of_range;
    };
    long long winner = 0;
    long long loser = 0;
    skipSpaces();
    bool formed = points(winner);
    const std::size_t before = k;
    skipSpaces();
    if (formed && k < text.size() && (text[k] == '-' || text[k] == '/' || text[k] == ':'))
        ++k;
    else if (formed && text.substr(k, 3) == "\xE2\x80\x93") // en dash
        k += 3;
    else
        formed = formed && k > before; // spaces alone part the two numbers
    skipSpaces();
    formed = formed && points(loser);
    skipSpaces();
    if (!formed || k != text.size())
        return {std::nullopt, "« " + withVisibleControls(std::string(text)) +
                                  " » n'est pas un score : il s'écrit points du gagnant, tiret, "
                                  "points du perdant, par exemple 13-7."};
    if (winner > kMaxScore || loser > kMaxScore)
        return {std::nullopt, std::string(kScoreRule)};
    const Score score{static_cast<int>(winner), static_cast<int>(loser)};
    if (!scoreValid(score))
        return {std::nullopt, std::string(kScoreRule)};
    return {score, {}};
}

} // namespace velmorin
