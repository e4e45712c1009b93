#include "Features.h"

#include "HelpWindow.h"
#include "OverviewDialog.h"
#include "PlanExport.h"
#include "PlanSearchDialog.h"
#include "TeamsDialog.h"
#include "VlmPrg.h"

namespace velmorin {

void installFeatures(TVlmFPrg *window)
{
    // The menu's order: the overview, the plan search and the teams (which hands its wishes
    // to the plan search), then what gets the shown plan out of the window.
    installOverview(window);
    installPlanSearch(window);
    installTeams(window, [window](const Wishes &wishes) {
        openPlanSearch(window)->setWishes(wishes);
    });
    window->addContextSeparator();
    new PlanExport(window); // the window owns it
    installHelp(window);
}

} // namespace velmorin
