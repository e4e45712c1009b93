#pragma once

// The cup file in the window: "Nouvelle coupe…", "Ouvrir une coupe…", the recent cups and
// "Fermer la coupe", on the host's cup session.

#include "FeatureHost.h"

#include <QString>
#include <QStringList>

namespace velmorin {

// The cups opened last, most recent first, at most kRecentCups; kept in the settings.
constexpr int kRecentCups = 8;
QStringList recentCups();
void rememberRecentCup(const QString &path);
void forgetRecentCup(const QString &path);

// The file suffix of a cup, and its type in the file dialogs.
inline QString cupSuffix()
{
    return QStringLiteral("velmorin");
}
inline QString cupFilter()
{
    return QStringLiteral("Coupes Velmorin (*.velmorin)");
}

// Opens the cup at `path` in the host's window, as the recent cups' menu does (a missing file
// is said and leaves the list). Whether it is open.
bool openCupFile(FeatureHost &host, const QString &path);

void installCupFile(FeatureHost &host);

} // namespace velmorin
