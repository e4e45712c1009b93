#include "Features.h"

#include "CupFile.h"
#include "CupSession.h"
#include "DeroulementWindow.h"
#include "FeatureHost.h"
#include "HelpWindow.h"
#include "InstallCupSession.h"
#include "OverviewDialog.h"
#include "PlanExport.h"
#include "PlanSearchDialog.h"
#include "TeamsDialog.h"

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
    installDeroulement(host, [host = &host]() -> CupRunSource * {
        CupSession &session = CupSession::of(*host);
        return session.isOpen() ? &session : nullptr;
    });
    installHelp(host);
}

} // namespace velmorin

namespace velmorin {

bool openCupFromCommandLine(FeatureHost &host, const QString &path)
{
    return openCupFile(host, path);
}

} // namespace velmorin
