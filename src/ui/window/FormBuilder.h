#pragma once

#include "FormLayout.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace velmorin {

using FormControls = QHash<QString, QWidget *>;

// Creates the controls of `specs` inside `client` (which owns them) and returns them by
// name. No control's signals are connected yet.
FormControls buildForm(QWidget *client, const std::vector<ControlDesc> &specs);

// Chains the focus through the named controls (radio groups through their items).
void setTabOrder(const FormControls &controls, const std::vector<const char *> &order);

// The named control as its concrete type; a missing or mistyped control is a fault of the
// layout table.
template <typename T> T *controlAs(const FormControls &controls, const char *name)
{
    T *control = qobject_cast<T *>(controls.value(QString::fromLatin1(name)));
    if (!control)
        throw std::logic_error(std::string("layout has no control ") + name);
    return control;
}

} // namespace velmorin
