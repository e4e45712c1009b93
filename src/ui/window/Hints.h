#pragma once

// What the main window's controls are, said in a tooltip when the pointer rests on them.

#include <QHash>
#include <QString>

class QWidget;

namespace velmorin {

using FormControls = QHash<QString, QWidget *>;

// The hint of a control by its name; empty for a control that has none.
QString controlHint(const QString &name);

// Gives every control its hint as tooltip, and as accessible description where it has none.
void installHints(const FormControls &controls);

} // namespace velmorin
