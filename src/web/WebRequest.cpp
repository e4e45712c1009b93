#include "WebRequest.h"

#include "IntText.h"

#include <charconv>

namespace velmorin::web {

namespace {

// A decimal number written plainly (no sign, no leading zero), within `max`.
template <typename T> std::optional<T> plainNumber(std::string_view text, T max)
{
    T value{};
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < T{} || value > max)
        return std::nullopt;
    return value;
}

bool isTokenText(std::string_view text)
{
    if (text.empty() || text.size() > 64)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

} // namespace

Route routeOf(std::string_view target)
{
    Route route;
    std::string_view path = target;
    std::string_view query;
    if (const std::size_t mark = target.find('?'); mark != std::string_view::npos) {
        path = target.substr(0, mark);
        query = target.substr(mark + 1);
    }
    const auto numbered = [](std::string_view rest) { return plainNumber<int>(rest, 6); };
    if (path == "/evenements") {
        route.page = Route::Page::Events;
        if (query.empty() || query == "vue=accueil")
            return route;
        if (query == "vue=ecran") {
            route.view = "ecran";
            return route;
        }
        constexpr std::string_view kRound = "vue=tour-";
        if (query.substr(0, kRound.size()) == kRound) {
            if (const auto round = numbered(query.substr(kRound.size())); round && *round >= 1) {
                route.round = *round;
                route.view = "tour-" + std::to_string(*round);
                return route;
            }
        }
        return {};
    }
    if (!query.empty())
        return {};
    if (path == "/")
        route.page = Route::Page::Results;
    else if (path == "/ecran")
        route.page = Route::Page::Screen;
    else if (path == "/coupe.json")
        route.page = Route::Page::Json;
    else if (path.substr(0, 6) == "/tour/") {
        if (const auto round = numbered(path.substr(6)); round && *round >= 1) {
            route.page = Route::Page::Round;
            route.round = *round;
        }
    } else if (path.substr(0, 8) == "/saisie/" && isTokenText(path.substr(8))) {
        route.page = Route::Page::Entry;
        route.token = std::string(path.substr(8));
    }
    return route;
}

std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '+') {
            c = ' ';
        } else if (c == '%') {
            if (k + 2 >= text.size())
                return std::nullopt;
            const int high = hexDigit(text[k + 1]);
            const int low = hexDigit(text[k + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            c = static_cast<char>(high * 16 + low);
            k += 2;
        }
        if (c == '\0')
            return std::nullopt;
        out += c;
    }
    return out;
}

std::optional<std::map<std::string, std::string>> formFields(std::string_view body,
                                                             std::size_t maxFields)
{
    std::map<std::string, std::string> fields;
    while (!body.empty()) {
        const std::size_t end = body.find('&');
        const std::string_view pair = body.substr(0, end);
        body = end == std::string_view::npos ? std::string_view() : body.substr(end + 1);
        if (pair.empty())
            continue;
        const std::size_t equals = pair.find('=');
        const auto name = percentDecoded(pair.substr(0, equals));
        const auto value = percentDecoded(
            equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
        if (!name || !value || name->empty() || fields.size() >= maxFields ||
            !fields.emplace(*name, *value).second)
            return std::nullopt;
    }
    return fields;
}

bool sameOrigin(std::string_view host, std::string_view origin, std::string_view referer)
{
    if (host.empty())
        return false;
    const std::string expected = "http://" + std::string(host);
    if (!origin.empty())
        return origin == expected;
    if (referer.size() <= expected.size())
        return false;
    return referer.substr(0, expected.size()) == expected && referer[expected.size()] == '/';
}

EntryFormReading readEntryForm(std::string_view body)
{
    const auto refused = [](std::string sentence) {
        return EntryFormReading{std::nullopt, std::move(sentence)};
    };
    const auto fields = formFields(body);
    if (!fields)
        return refused("Le formulaire envoyé est illisible.");
    const auto field = [&](const char *name) -> const std::string * {
        const auto found = fields->find(name);
        return found == fields->end() ? nullptr : &found->second;
    };
    const std::string *game = field("partie");
    const std::string *winner = field("gagnant");
    const std::string *version = field("version");
    const std::string *state = field("etat");
    if (!game || !version || !state)
        return refused("Le formulaire envoyé est incomplet.");
    if (!winner)
        return refused("Choisissez l'équipe gagnante en touchant son nom.");
    EntryForm form;
    // "round-group-game", as the page writes it.
    const std::size_t first = game->find('-');
    const std::size_t second =
        first == std::string::npos ? std::string::npos : game->find('-', first + 1);
    if (second == std::string::npos)
        return refused("La partie envoyée est illisible.");
    const auto round = plainNumber<int>(std::string_view(*game).substr(0, first), 6);
    const auto group =
        plainNumber<int>(std::string_view(*game).substr(first + 1, second - first - 1), 100000);
    const auto number = plainNumber<int>(std::string_view(*game).substr(second + 1), 3);
    const auto team = plainNumber<int>(*winner, 1000000);
    const auto shown = plainNumber<std::uint64_t>(*version, UINT64_MAX);
    if (!round || !group || !number || *round < 1 || *group < 1 || *number < 1)
        return refused("La partie envoyée est illisible.");
    if (!team)
        return refused("L'équipe gagnante envoyée est illisible.");
    if (!shown)
        return refused("La version envoyée est illisible.");
    form.round = *round;
    form.group = *group;
    form.game = *number;
    form.winner = *team;
    form.version = *shown;
    form.state = *state;
    if (const std::string *score = field("score"))
        form.score = *score;
    return {form, {}};
}

} // namespace velmorin::web
