#include "XlsxParts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace velmorin {

std::size_t partIndex(std::string_view text, std::size_t otherwise)
{
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : otherwise;
}

std::string partPath(std::string_view folder, std::string_view target)
{
    std::string path = target.substr(0, 1) == "/" ? std::string(target.substr(1))
                                                  : std::string(folder) + std::string(target);
    std::vector<std::string> names;
    std::size_t from = 0;
    while (from <= path.size()) {
        const std::size_t slash = std::min(path.find('/', from), path.size());
        const std::string name = path.substr(from, slash - from);
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        from = slash + 1;
    }
    path.clear();
    for (const std::string &name : names)
        path += (path.empty() ? "" : "/") + name;
    return path;
}

std::string_view folderOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

bool isDateCode(std::string_view code)
{
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '\\' || c == '_' || c == '*')
            ++i; // the next character is shown as it is
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '[')
            ++bracket;
        else if (!quoted && c == ']' && bracket > 0)
            --bracket;
        else if (!quoted && bracket == 0 && (c == 'd' || c == 'D' || c == 'y' || c == 'Y'))
            return true;
    }
    return false;
}

bool isBuiltInDate(std::size_t id)
{
    return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

std::string dateText(double serial, bool dates1904)
{
    auto days = static_cast<long long>(std::floor(serial));
    // Days since 1 January 1970. The 1900 system counts a 29 February 1900 that never was:
    // the days before it start a day later.
    days += dates1904 ? -24107 : -25569 + (days < 61 ? 1 : 0);
    // The civil date of a day count (Howard Hinnant's algorithm).
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    const long long month = shifted < 10 ? shifted + 3 : shifted - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[80];
    std::snprintf(text, sizeof text, "%02lld/%02lld/%04lld", day, month, year);
    return text;
}

std::string isoDateText(std::string_view iso)
{
    if (iso.size() < 10 || iso[4] != '-' || iso[7] != '-')
        return std::string(iso);
    return std::string(iso.substr(8, 2)) + '/' + std::string(iso.substr(5, 2)) + '/' +
           std::string(iso.substr(0, 4));
}

} // namespace velmorin
