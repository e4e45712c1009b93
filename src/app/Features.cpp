#include "Features.h"

#include "CupFile.h"
#include "CupSession.h"
#include "CupPlayWindow.h"
#include "FeatureHost.h"
#include "FeatureWindow.h"
#include "HelpWindow.h"
#include "InstallCupSession.h"
#include "OverviewDialog.h"
#include "PlanExport.h"
#include "PlanSearchDialog.h"
#include "TeamsDialog.h"

#include <QAction>
#include <QWidget>

namespace velmorin {

void installFeatures(FeatureHost &host)
{
    // The menu's order: the cup file first, as a desktop program's File menu; the overview, the
    // plan search and the teams (which hands its wishes to the plan search), then what gets the
    // shown plan out of the window, the cup's running window, then the guide. The cup session
    // they share comes first.
    installCupSession(host);
    installCupFile(host);
    host.addContextSeparator();
    installOverview(host);
    installPlanSearch(host);
    installTeams(host, [host = &host](const Wishes &wishes) { openPlanSearch(*host, wishes); });
    host.addContextSeparator();
    installPlanExport(host);
    // Always the session, open or not: the cup's window then follows each cup opened, made
    // or closed, and says what a cup not ready to play lacks.
    installCupPlay(host, [host = &host]() -> CupRunSource * { return &CupSession::of(*host); });
    installHelp(host);

    // The cup's shortcuts, and the guide's, work from every feature window too: the organiser
    // makes, opens, closes and plays the cup from whichever window is in front.
    for (const char *name : {"actionNouvelleCoupe", "actionOuvrirCoupe", "actionFermerCoupe",
                             "actionDeroulement", "actionAide"}) {
        if (auto *action = host.hostWidget()->findChild<QAction *>(QLatin1String(name),
                                                                   Qt::FindDirectChildrenOnly))
            reachFromFeatureWindows(host, action);
    }
}

} // namespace velmorin

namespace velmorin {

bool openCupFromCommandLine(FeatureHost &host, const QString &path)
{
    return openCupFile(host, path);
}

} // namespace velmorin
