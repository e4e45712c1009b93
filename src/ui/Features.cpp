#include "Features.h"

#include "PlanExport.h"
#include "VlmPrg.h"

namespace velmorin {

void installFeatures(TVlmFPrg *window)
{
    new TPlanExport(window); // the window owns it
}

} // namespace velmorin
