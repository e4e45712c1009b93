#include "Features.h"

#include "FeatureHost.h"
#include "HelpWindow.h"
#include "OverviewDialog.h"
#include "PlanExport.h"
#include "PlanSearchDialog.h"
#include "TeamsDialog.h"

namespace velmorin {

void installFeatures(FeatureHost &host)
{
    // The menu's order: the overview, the plan search and the teams (which hands its wishes
    // to the plan search), then what gets the shown plan out of the window, then the guide.
    installOverview(host);
    installPlanSearch(host);
    installTeams(host, [host = &host](const Wishes &wishes) { openPlanSearch(*host, wishes); });
    host.addContextSeparator();
    installPlanExport(host);
    installHelp(host);
}

} // namespace velmorin
