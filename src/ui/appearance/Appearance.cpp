#include "Appearance.h"

#include <QFontDatabase>

#include <QStringList>

#include <algorithm>
#include <unordered_set>

namespace velmorin {

namespace {

QStringList designedFamilies(const QString &family)
{
    if (family == QLatin1String("Arial") || family == QLatin1String("MS Sans Serif"))
        return {family, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    if (family == QLatin1String("Century Schoolbook"))
        return {family, QStringLiteral("C059"), QStringLiteral("Century Schoolbook L"),
                QStringLiteral("TeX Gyre Schola"), QStringLiteral("Liberation Serif")};
    if (family == QLatin1String("Symbol"))
        return {family, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
    return {family};
}

// A family the font database does not hold sends it through fontconfig's substitution and
// fallback lists, once for every size; that took a third of the window's start-up. Looking
// the names up in the list of installed families costs nothing by comparison.
bool isInstalled(const QString &family)
{
    static const std::unordered_set<QString> installed = [] {
        std::unordered_set<QString> names;
        // A family that several foundries provide is listed once for each, as "C059 [URW]".
        for (const QString &entry : QFontDatabase::families())
            names.insert(entry.section(QLatin1String(" ["), 0, 0));
        return names;
    }();
    return installed.count(family) > 0;
}

} // namespace

QStringList fontFamilies(const QString &family)
{
    QStringList families = designedFamilies(family);
    const auto first = std::find_if(families.cbegin(), families.cend(), isInstalled);
    if (first != families.cend())
        families.erase(families.cbegin(), first);
    return families;
}

} // namespace velmorin
