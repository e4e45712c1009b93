#pragma once

class QString;

namespace velmorin {

class FeatureHost;

// Adds the features beyond the calculation to the host: each one owns its actions and
// windows and adds its actions to the host's context menu.
void installFeatures(FeatureHost &host);

// Opens the cup file given on the command line in the shown host window; whether it opened.
bool openCupFromCommandLine(FeatureHost &host, const QString &path);

} // namespace velmorin
