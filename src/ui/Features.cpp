#include "Features.h"

#include "VlmPrg.h"

namespace velmorin {

void installFeatures(TVlmFPrg *window)
{
    Q_UNUSED(window);
}

} // namespace velmorin
