#include "Level.h"

#include "TeamList.h"

#include <algorithm>
#include <unordered_set>

namespace velmorin {

namespace {

std::string_view spacesDropped(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A letter in any script: ASCII letters, and every character beyond ASCII.
bool holdsALetter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
    });
}

std::string quotedList(const std::vector<std::string> &names)
{
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k)
        text += (k ? ", « " : "« ") + names[k] + " »";
    return text;
}

} // namespace

Level::Level(int number) : m_number(number), m_text(std::to_string(number)), m_key(m_text) {}

Level Level::named(std::string_view name)
{
    Level level;
    level.m_text = std::string(name);
    level.m_key = foldedName(name);
    return level;
}

std::optional<Level> readLevel(std::string_view text)
{
    if (const std::optional<int> number = parseLevel(text))
        return Level(*number);
    if (holdsALetter(text))
        return Level::named(text);
    return std::nullopt;
}

LevelOrder::LevelOrder(std::vector<Level> strongestFirst, bool chosen)
    : m_levels(std::move(strongestFirst)), m_chosen(chosen)
{
    index();
}

std::vector<Level> levelsOf(const TeamList &list)
{
    std::vector<Level> levels;
    std::unordered_set<std::string> seen;
    for (const Team &team : list.teams) {
        if (team.level && seen.insert(team.level->key()).second)
            levels.push_back(*team.level);
    }
    return levels;
}

LevelOrder LevelOrder::ofList(const TeamList &list)
{
    std::vector<Level> levels = levelsOf(list);
    // Stable: the names keep the order they first appear in.
    std::stable_sort(levels.begin(), levels.end(), [](const Level &a, const Level &b) {
        if (a.isNumber() != b.isNumber())
            return a.isNumber();
        return a.number() < b.number();
    });
    return LevelOrder(std::move(levels));
}

void LevelOrder::index()
{
    m_rank.clear();
    for (std::size_t k = 0; k < m_levels.size(); ++k)
        m_rank.emplace(m_levels[k].key(), k);
}

bool LevelOrder::hasNames() const
{
    return std::any_of(m_levels.begin(), m_levels.end(),
                       [](const Level &level) { return !level.isNumber(); });
}

std::size_t LevelOrder::rankOf(const std::optional<Level> &level) const
{
    if (!level)
        return m_levels.size();
    const auto at = m_rank.find(level->key());
    return at == m_rank.end() ? m_levels.size() : at->second;
}

bool LevelOrder::swapWithNext(std::size_t index)
{
    if (index + 1 >= m_levels.size())
        return false;
    std::swap(m_levels[index], m_levels[index + 1]);
    m_rank[m_levels[index].key()] = index;
    m_rank[m_levels[index + 1].key()] = index + 1;
    m_chosen = true;
    return true;
}

std::string LevelOrder::text() const
{
    std::string text;
    for (std::size_t k = 0; k < m_levels.size(); ++k)
        text += (k ? ", " : "") + m_levels[k].text();
    return text;
}

LevelOrderResult levelOrderFromText(std::string_view text, const std::vector<Level> &listLevels)
{
    LevelOrderResult result;
    std::vector<Level> given;
    std::vector<std::string> twice;
    std::vector<std::string> unknown;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find(';', from), text.size());
        const std::string_view piece = spacesDropped(text.substr(from, end - from));
        from = end + 1;
        if (piece.empty())
            continue;
        const std::optional<Level> level = readLevel(piece);
        if (!level || std::find(listLevels.begin(), listLevels.end(), *level) == listLevels.end())
            unknown.emplace_back(piece);
        else if (std::find(given.begin(), given.end(), *level) != given.end())
            twice.emplace_back(piece);
        else
            given.push_back(*level);
    }
    std::vector<std::string> missing;
    for (const Level &level : listLevels) {
        if (std::find(given.begin(), given.end(), level) == given.end())
            missing.push_back(level.text());
    }
    std::vector<std::string> faults;
    if (!unknown.empty())
        faults.push_back("la liste n'a pas " +
                         std::string(unknown.size() > 1 ? "les niveaux " : "le niveau ") +
                         quotedList(unknown));
    if (!missing.empty())
        faults.push_back("il n'a pas " +
                         std::string(missing.size() > 1 ? "les niveaux " : "le niveau ") +
                         quotedList(missing) + " de la liste");
    if (!twice.empty())
        faults.push_back(quotedList(twice) + (twice.size() > 1 ? " y sont" : " y est") +
                         " en double");
    if (!faults.empty()) {
        result.error = "Ordre des niveaux refusé : ";
        for (std::size_t k = 0; k < faults.size(); ++k)
            result.error += (k == 0 ? "" : k + 1 == faults.size() ? " et " : ", ") + faults[k];
        result.error += '.';
        return result;
    }
    result.order = LevelOrder(std::move(given), true);
    return result;
}

std::string levelGapNote(const LevelOrder &order)
{
    std::vector<int> numbers;
    for (const Level &level : order.levels()) {
        if (level.isNumber())
            numbers.push_back(level.number());
    }
    std::sort(numbers.begin(), numbers.end());
    if (numbers.empty() || numbers.back() == static_cast<int>(numbers.size()))
        return {};
    std::string note = "Les niveaux sautent des numéros (";
    for (std::size_t k = 0; k < numbers.size(); ++k)
        note += (k ? ", " : "") + std::to_string(numbers[k]);
    note += ") : le plus fort entre au Tour 4, le suivant au Tour 3, le suivant au Tour 2, les "
            "autres au Tour 1 ; changez les tours des niveaux si besoin.";
    return note;
}

} // namespace velmorin
