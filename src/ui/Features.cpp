#include "Features.h"

#include "PlanExport.h"
#include "VlmPrg.h"
#include "VueEnsemble.h"

namespace velmorin {

void installFeatures(TVlmFPrg *window)
{
    new TPlanExport(window); // the window owns it
    installOverview(window);
}

} // namespace velmorin
