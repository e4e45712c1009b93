#pragma once

class QApplication;

namespace velmorin {

// What the program sets on its application before building the window: Qt's own texts in
// French, the name the error boxes carry, and the icon.
void setUpApplication(QApplication &application);

} // namespace velmorin
