#pragma once

namespace velmorin {

class FeatureHost;

// Adds the features beyond the calculation to the host: each one owns its actions and
// windows and adds its actions to the host's context menu.
void installFeatures(FeatureHost &host);

} // namespace velmorin
