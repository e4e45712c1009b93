#pragma once

// A team's level as organisers write it: a division number (1 is the strongest) or a
// division's name ("Nationale 1", "Régionale"), and the order of the levels, strongest first.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmorin {

struct TeamList;

class Level
{
public:
    // A numbered level, from 1. Implicit: a number is a level as it stands.
    Level(int number);
    // A named level: the name as written (trimmed), compared without case or accents.
    static Level named(std::string_view name);

    bool isNumber() const { return m_number > 0; }
    int number() const { return m_number; } // 0 for a name
    // "3", or the name as written.
    const std::string &text() const { return m_text; }
    // What two equal levels share: the number's digits, or the folded name (never digits alone).
    const std::string &key() const { return m_key; }

    friend bool operator==(const Level &a, const Level &b) { return a.m_key == b.m_key; }
    friend bool operator!=(const Level &a, const Level &b) { return !(a == b); }

private:
    Level() = default;

    int m_number = 0;
    std::string m_text;
    std::string m_key;
};

// A level cell: a whole number from 1, or a name holding a letter; nothing for any other text
// ("0", "2,5", "-1") or an empty cell.
std::optional<Level> readLevel(std::string_view text);

// The list's levels ranked strongest first. Teams without a level, and levels the order does
// not have, come after all of them.
class LevelOrder
{
public:
    LevelOrder() = default;
    explicit LevelOrder(std::vector<Level> strongestFirst, bool chosen = false);
    // Without the organiser's word: the numbers ascending, then the names in the order they
    // first appear in the list.
    static LevelOrder ofList(const TeamList &list);

    const std::vector<Level> &levels() const { return m_levels; }
    // Whether the organiser set this order, rather than numbers ascending then names in the
    // order they first appear.
    bool chosen() const { return m_chosen; }
    bool hasNames() const;

    // 0 for the strongest; levels().size() for no level or a level not in the order.
    std::size_t rankOf(const std::optional<Level> &level) const;
    // Swaps the levels at `index` and `index + 1`; the order is then the organiser's.
    bool swapWithNext(std::size_t index);

    // "1, 2, Nationale 1, Régionale".
    std::string text() const;

private:
    void index();

    std::vector<Level> m_levels;
    std::unordered_map<std::string, std::size_t> m_rank; // key() → place
    bool m_chosen = false;
};

// The list's levels, each once, in the order they first appear.
std::vector<Level> levelsOf(const TeamList &list);

// The order the organiser gave, as "Nationale 1;Nationale 2;Régionale": a French sentence
// when it names a level twice, names a level the list has not, or leaves one of the list's out.
struct LevelOrderResult
{
    std::optional<LevelOrder> order;
    std::string error;
};
LevelOrderResult levelOrderFromText(std::string_view text, const std::vector<Level> &listLevels);

// "Les niveaux sautent des numéros (1, 3, 4) : …" when the numbered levels do not run from 1
// without a gap; empty otherwise.
std::string levelGapNote(const LevelOrder &order);

} // namespace velmorin
