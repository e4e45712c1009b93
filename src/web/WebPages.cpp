#include "WebPages.h"

#include "WebEntry.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <map>

namespace velmorin::web {

namespace {

// Beside the results page's own style: the dark scheme, the entry page's large buttons and
// the hall screen's large type.
constexpr std::string_view kStyle =
    ":root{color-scheme:light dark}\n"
    "@media (prefers-color-scheme:dark){body{background:#121212;color:#e8e8e8}"
    "small{color:#b8b8b8}a{color:#9cc3ff}th,td{border-color:#666}}\n"
    "body.ecran{background:#000;color:#fff;max-width:none;font-size:2.4vw}\n"
    "body.ecran small{color:#ccc}body.ecran th,body.ecran td{border-color:#555}\n"
    "body.ecran a{color:#9cc3ff}\n"
    "form.partie{border:1px solid #999;padding:0.5em;margin:0 0 1em 0}\n"
    "button{display:block;width:100%;min-height:3.5em;font-size:1.15em;margin:0.4em 0;"
    "overflow-wrap:anywhere;white-space:normal}\n"
    "input{font-size:1.2em;width:100%;box-sizing:border-box}\n"
    "p.refus{border:3px solid #d33;padding:0.5em}p.fait{border:3px solid #2a2;padding:0.5em}\n";

constexpr std::string_view kScript =
    "(function(){var m=document.getElementById(\"vivant\");if(!m)return;"
    "if(window.EventSource){var s=new EventSource(m.getAttribute(\"data-flux\"));"
    "s.addEventListener(\"coupe\",function(e){m.innerHTML=e.data;});"
    "s.addEventListener(\"lignes\",function(e){e.data.split(\"\\n\").forEach(function(l){"
    "var t=document.createElement(\"tbody\");t.innerHTML=l;var n=t.firstElementChild;"
    "var o=n&&document.getElementById(n.id);if(o)o.replaceWith(n);});});}"
    "if(document.body.className===\"ecran\"){setInterval(function(){"
    "var h=window.innerHeight,y=window.scrollY;"
    "window.scrollTo(0,y+h>=document.documentElement.scrollHeight-1?0:y+0.8*h);},8000);}})();";

std::string head(std::string_view title, bool live)
{
    return "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n" +
           std::string(live ? "<noscript><meta http-equiv=\"refresh\" content=\"30\"></noscript>\n"
                            : "") +
           "<title>" + htmlEscaped(title) + "</title>\n<style>\n" + std::string(cupHtmlStyle()) +
           std::string(kStyle) + "</style>\n</head>\n";
}

std::string shownName(std::string_view cupName)
{
    return cupName.empty() ? std::string("Coupe") : std::string(cupName);
}

std::string jsonEscaped(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            static constexpr char kDigits[] = "0123456789abcdef";
            out += "\\u00";
            out += kDigits[byte >> 4];
            out += kDigits[byte & 15];
        } else if (c == '<') {
            out += "\\u003c"; // never closes a script that embeds the JSON
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string teamButton(const Cup &cup, int team)
{
    const CupTeam &t = cup.teams()[static_cast<std::size_t>(team)];
    return "<button name=\"gagnant\" value=\"" + std::to_string(team) + "\">" +
           htmlEscaped(t.name) +
           (t.club.empty() ? std::string() : "<br><small>" + htmlEscaped(t.club) + "</small>") +
           "</button>\n";
}

std::string gameTitle(const Cup &cup, const GameRef &game)
{
    if (cup.layout().groupSize(game.round) == 2)
        return "Partie " + std::to_string(game.group);
    return game.game == kBarrage ? std::string("Barrage") : "Partie " + std::to_string(game.game);
}

} // namespace

std::string_view pageScript()
{
    return kScript;
}

const std::string &pageScriptHash()
{
    static const std::string hash =
        "sha256-" + QCryptographicHash::hash(QByteArray(kScript.data(),
                                                        static_cast<qsizetype>(kScript.size())),
                                             QCryptographicHash::Sha256)
                        .toBase64()
                        .toStdString();
    return hash;
}

std::string contentSecurityPolicy()
{
    return "default-src 'none'; script-src '" + pageScriptHash() +
           "'; style-src 'unsafe-inline'; connect-src 'self'; img-src 'self' data:; "
           "form-action 'self'; base-uri 'none'; frame-ancestors 'none'";
}

std::string liveContent(const Cup *cup, std::string_view view, const LocalTime &now)
{
    std::string out = "<p><small>Mis à jour le " + frenchDateTime(now) + ".</small></p>\n";
    if (!cup)
        return out + "<p>La coupe n'est pas encore prête : son plan et sa liste d'équipes ne "
                     "sont pas choisis.</p>\n";
    int round = 0;
    if (view == "ecran")
        round = roundInPlay(*cup);
    else if (view.substr(0, 5) == "tour-")
        round = std::stoi(std::string(view.substr(5)));
    else
        return out + cupHtmlBody(*cup);
    if (round == 0 || !cup->isDrawn(round))
        return out + "<p>" + (round == 0 ? std::string("Le tour 1") : "Le tour " +
                                                                          std::to_string(round)) +
               " n'est pas encore tiré.</p>\n";
    return out + roundHtml(*cup, round);
}

std::string livePage(const Cup *cup, std::string_view cupName, std::string_view view,
                     const LocalTime &now)
{
    const std::string name = shownName(cupName);
    const bool screen = view == "ecran";
    std::string flux = "/evenements";
    if (!view.empty())
        flux += "?vue=" + std::string(view);
    std::string out = head(name, true) + (screen ? "<body class=\"ecran\">\n" : "<body>\n") +
                      "<h1>" + htmlEscaped(name) + "</h1>\n";
    if (!view.empty() && !screen)
        out += "<p><a href=\"/\">Tous les tours</a></p>\n";
    return out + "<main id=\"vivant\" data-flux=\"" + htmlEscaped(flux) + "\">\n" +
           liveContent(cup, view, now) + "</main>\n<script>" + std::string(kScript) +
           "</script>\n</body>\n</html>\n";
}

std::string liveEvent(std::uint64_t version, std::string_view content)
{
    std::string out = "event: coupe\nid: " + std::to_string(version) + '\n';
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out += "data: " + std::string(line) + '\n';
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    }
    return out + '\n';
}

namespace {

// A live content's game rows by their id, and the rest with each row's place marked.
struct Rows
{
    std::string skeleton;
    std::map<std::string_view, std::string_view> rows;
};

Rows splitRows(std::string_view content)
{
    constexpr std::string_view kRow = "<tr id=\"";
    Rows split;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        const std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
        const std::size_t quote = line.find('"', kRow.size());
        if (line.substr(0, kRow.size()) == kRow && quote != std::string_view::npos) {
            const std::string_view id = line.substr(kRow.size(), quote - kRow.size());
            split.rows[id] = line;
            split.skeleton += "#" + std::string(id) + '\n';
        } else {
            split.skeleton += std::string(line) + '\n';
        }
    }
    return split;
}

} // namespace

std::string liveChange(std::uint64_t version, std::string_view before, std::string_view after)
{
    const Rows old = splitRows(before);
    const Rows now = splitRows(after);
    if (old.skeleton != now.skeleton)
        return liveEvent(version, after);
    std::string out = "event: lignes\nid: " + std::to_string(version) + '\n';
    for (const auto &[id, row] : now.rows) {
        if (old.rows.at(id) != row)
            out += "data: " + std::string(row) + '\n';
    }
    return out + '\n';
}

std::string cupJson(const Cup *cup, std::string_view cupName, std::uint64_t version)
{
    std::string out = "{\"coupe\":" + jsonEscaped(cupName) +
                      ",\"version\":" + std::to_string(version) + ",\"tour_en_jeu\":" +
                      std::to_string(cup ? roundInPlay(*cup) : 0) + ",\"lignes\":[";
    if (cup) {
        bool first = true;
        for (const CupRow &row : cupRows(*cup)) {
            out += first ? "\n{" : ",\n{";
            first = false;
            for (std::size_t c = 0; c < row.size(); ++c) {
                const bool score = c == 8 || c == 9;
                out += (c ? "," : "") + jsonEscaped(kCupCsvColumns[c]) + ':' +
                       (score ? (row[c].empty() ? std::string("null") : row[c])
                              : jsonEscaped(row[c]));
            }
            out += '}';
        }
    }
    return out + "]}\n";
}

std::string entryPage(const Cup *cup, std::string_view cupName, std::string_view token,
                      int round, int group, const std::string &notice, bool refused)
{
    const std::string where = "poule " + std::to_string(group) + " du tour " +
                              std::to_string(round);
    std::string out = head("Saisie — " + where, false) + "<body>\n<h1>" +
                      htmlEscaped(shownName(cupName)) + "<br><small>Saisie des résultats, " +
                      htmlEscaped(where) + "</small></h1>\n";
    if (!notice.empty())
        out += std::string("<p class=\"") + (refused ? "refus" : "fait") + "\">" +
               htmlEscaped(notice) + "</p>\n";
    const std::vector<PendingGame> games =
        cup ? groupPendingGames(*cup, round, group) : std::vector<PendingGame>();
    if (games.empty())
        out += "<p>Aucune partie à saisir dans cette poule pour l'instant.</p>\n";
    const std::string action = htmlEscaped("/saisie/" + std::string(token));
    for (const PendingGame &game : games) {
        const GameRef &ref = game.game;
        out += "<form class=\"partie\" method=\"post\" action=\"" + action + "\">\n<h2>" +
               htmlEscaped(gameTitle(*cup, ref)) + "</h2>\n" +
               "<input type=\"hidden\" name=\"partie\" value=\"" + std::to_string(ref.round) +
               '-' + std::to_string(ref.group) + '-' + std::to_string(ref.game) + "\">\n" +
               "<input type=\"hidden\" name=\"version\" value=\"" +
               std::to_string(cup->version()) + "\">\n" +
               "<input type=\"hidden\" name=\"etat\" value=\"" +
               groupState(*cup, round, group) + "\">\n" +
               "<label>Score, points du gagnant d'abord (facultatif) :<br>"
               "<input name=\"score\" inputmode=\"numeric\" autocomplete=\"off\" "
               "maxlength=\"9\" placeholder=\"13-7\"></label>\n"
               "<p>Touchez l'équipe gagnante :</p>\n" +
               teamButton(*cup, game.teamA) + teamButton(*cup, game.teamB) + "</form>\n";
    }
    return out + "<p><a href=\"/\">Tous les résultats</a></p>\n</body>\n</html>\n";
}

std::string errorPage(std::string_view title, std::string_view sentence)
{
    return head(title, false) + "<body>\n<h1>" + htmlEscaped(title) + "</h1>\n<p>" +
           htmlEscaped(sentence) + "</p>\n<p><a href=\"/\">Les résultats de la coupe</a></p>\n"
           "</body>\n</html>\n";
}

} // namespace velmorin::web
