#include "Features.h"

#include "PlanExport.h"
#include "VlmPrg.h"
#include "VueEnsemble.h"

namespace velmorin {

void installFeatures(TVlmFPrg *window)
{
    installOverview(window);
    window->addContextSeparator();
    new TPlanExport(window); // the window owns it
}

} // namespace velmorin
