// The cup's day as the organiser types and reads it: moments of the week, lengths of games,
// ranges of lanes.

#include "CupDay.h"

#include "VisibleText.h"

#include <cctype>

namespace velmorin {

namespace {

constexpr std::array<std::string_view, 7> kDays{"lundi",    "mardi",  "mercredi", "jeudi",
                                                "vendredi", "samedi", "dimanche"};
constexpr int kMinutesPerWeek = 7 * kMinutesPerDay;

std::string two(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string quoted(std::string_view text)
{
    return "« " + withVisibleControls(std::string(text)) + " »";
}

// A cursor over typed text: spaces skipped where the reader allows them.
struct Cursor
{
    std::string_view text;
    std::size_t at = 0;

    bool done() const { return at == text.size(); }
    char peek() const { return done() ? '\0' : text[at]; }
    void spaces()
    {
        while (!done() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
    }
    // Up to `most` digits; none when there is no digit.
    std::optional<int> digits(std::size_t most, std::size_t *count = nullptr)
    {
        const std::size_t from = at;
        int value = 0;
        while (!done() && at - from < most && std::isdigit(static_cast<unsigned char>(peek()))) {
            value = value * 10 + (peek() - '0');
            ++at;
        }
        if (count)
            *count = at - from;
        if (at == from)
            return std::nullopt;
        return value;
    }
    bool take(char c)
    {
        if (peek() != c && !(c == 'h' && peek() == 'H'))
            return false;
        ++at;
        return true;
    }
    bool take(std::string_view word)
    {
        if (text.substr(at, word.size()) != word)
            return false;
        at += word.size();
        return true;
    }
};

std::optional<int> readDay(Cursor &cursor)
{
    std::string word;
    std::size_t end = cursor.at;
    while (end < cursor.text.size() && std::isalpha(static_cast<unsigned char>(cursor.text[end])))
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(cursor.text[end++])));
    if (word.empty())
        return std::nullopt;
    for (std::size_t d = 0; d < kDays.size(); ++d) {
        if (word == kDays[d] || (word.size() == 3 && kDays[d].substr(0, 3) == word)) {
            cursor.at = end;
            if (word.size() == 3)
                cursor.take('.');
            return static_cast<int>(d);
        }
    }
    return std::nullopt;
}

// "14:00", "14h", "14 h 05".
std::optional<int> readClock(Cursor &cursor)
{
    const std::optional<int> hours = cursor.digits(2);
    if (!hours || *hours > 23)
        return std::nullopt;
    cursor.spaces();
    int minutes = 0;
    if (cursor.take(':')) {
        std::size_t count = 0;
        const std::optional<int> read = cursor.digits(2, &count);
        if (!read || count != 2)
            return std::nullopt;
        minutes = *read;
    } else if (cursor.take('h')) {
        cursor.spaces();
        std::size_t count = 0;
        if (const std::optional<int> read = cursor.digits(2, &count)) {
            if (count != 2)
                return std::nullopt;
            minutes = *read;
        }
    } else {
        return std::nullopt;
    }
    if (minutes > 59)
        return std::nullopt;
    return *hours * 60 + minutes;
}

} // namespace

int minuteOfWeek(const DayTime &moment)
{
    return moment.day.value_or(0) * kMinutesPerDay + moment.minute;
}

DayTime later(const DayTime &from, int minutes)
{
    if (!from.day) {
        const int total = ((from.minute + minutes) % kMinutesPerDay + kMinutesPerDay) %
                          kMinutesPerDay;
        return {std::nullopt, total};
    }
    const int total =
        ((minuteOfWeek(from) + minutes) % kMinutesPerWeek + kMinutesPerWeek) % kMinutesPerWeek;
    return {total / kMinutesPerDay, total % kMinutesPerDay};
}

std::string dayTimeText(const DayTime &moment)
{
    std::string text;
    if (moment.day && *moment.day >= 0 && *moment.day < 7)
        text = std::string(kDays[static_cast<std::size_t>(*moment.day)]) + " ";
    return text + two(moment.minute / 60) + ":" + two(moment.minute % 60);
}

std::string durationText(int minutes)
{
    if (minutes < 60)
        return std::to_string(minutes) + " min";
    return std::to_string(minutes / 60) + " h" + (minutes % 60 ? " " + two(minutes % 60) : "");
}

Reading<DayTime> readDayTime(std::string_view text)
{
    Cursor cursor{text};
    cursor.spaces();
    DayTime moment;
    moment.day = readDay(cursor);
    cursor.spaces();
    const std::optional<int> minute = readClock(cursor);
    cursor.spaces();
    if (!minute || !cursor.done())
        return {std::nullopt, quoted(text) + " n'est pas une heure : elle s'écrit par exemple "
                                             "« samedi 14:00 », « samedi 14h30 » ou « 9h00 »."};
    moment.minute = *minute;
    return {moment, {}};
}

Reading<int> readDuration(std::string_view text)
{
    Cursor cursor{text};
    cursor.spaces();
    std::optional<int> minutes;
    if (const std::optional<int> first = cursor.digits(4)) {
        cursor.spaces();
        if (cursor.take('h') || cursor.take(':')) {
            cursor.spaces();
            std::size_t count = 0;
            const std::optional<int> rest = cursor.digits(2, &count);
            if (!rest || (count == 2 && *rest <= 59))
                minutes = *first * 60 + rest.value_or(0);
            cursor.spaces();
            cursor.take("min");
        } else {
            cursor.take("min");
            minutes = first;
        }
    }
    cursor.spaces();
    if (!minutes || !cursor.done())
        return {std::nullopt, quoted(text) + " n'est pas une durée : elle s'écrit par exemple "
                                             "« 1 h 30 » ou « 90 »."};
    if (*minutes < 1 || *minutes > kMaxGameMinutes)
        return {std::nullopt, "Une partie dure de 1 minute à 24 heures."};
    return {minutes, {}};
}

Reading<LaneRange> readLaneRange(std::string_view text)
{
    Cursor cursor{text};
    cursor.spaces();
    std::optional<int> first = cursor.digits(5);
    std::optional<int> last = first;
    cursor.spaces();
    if (first && (cursor.take('-') || cursor.take("à") || cursor.take('a'))) {
        cursor.spaces();
        last = cursor.digits(5);
        cursor.spaces();
    }
    if (!first || !last || !cursor.done())
        return {std::nullopt, quoted(text) + " ne donne pas de jeux : ils s'écrivent du premier "
                                             "au dernier, par exemple « 1-24 »."};
    if (*first < 1 || *last > kMaxLane || *first > *last)
        return {std::nullopt, "Les jeux vont du premier au dernier, numérotés de 1 à " +
                                  std::to_string(kMaxLane) + "."};
    return {LaneRange{{}, *first, *last}, {}};
}

std::string laneText(const LaneRef &lane)
{
    const std::string number = "jeu " + std::to_string(lane.number);
    return lane.hall.empty() ? number : number + " de la salle " + withVisibleControls(lane.hall);
}

} // namespace velmorin
