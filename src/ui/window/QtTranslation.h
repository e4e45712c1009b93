#pragma once

class QCoreApplication;

namespace velmorin {

// Qt's own texts (standard buttons, the edit boxes' menu) in French, the program's language,
// whatever the locale. Returns false when Qt's French translation is not installed.
bool installQtFrench(QCoreApplication *application);

} // namespace velmorin
