#pragma once

// What the program calls to give its window a cup session over cup files, before any feature
// asks for it (CupSession::of); the features see the session's interface alone.

namespace velmorin {

class FeatureHost;

void installCupSession(FeatureHost &host);

} // namespace velmorin
