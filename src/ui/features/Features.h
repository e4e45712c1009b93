#pragma once

class TVlmFPrg;

namespace velmorin {

// Adds the features beyond the calculation to the main window: each one owns its actions and
// dialogs (the window is their parent) and adds its actions to the window's context menu.
void installFeatures(TVlmFPrg *window);

} // namespace velmorin
