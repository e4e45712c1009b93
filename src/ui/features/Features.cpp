#include "Features.h"

#include "HelpWindow.h"
#include "OverviewDialog.h"
#include "PlanExport.h"
#include "PlanSearchDialog.h"
#include "VlmPrg.h"

namespace velmorin {

void installFeatures(TVlmFPrg *window)
{
    installOverview(window);
    installPlanSearch(window);
    window->addContextSeparator();
    new PlanExport(window); // the window owns it
    installHelp(window);
}

} // namespace velmorin
