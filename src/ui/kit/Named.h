#pragma once

// A feature's control as the tests and the help guide name it: its object name and the tooltip
// that says what it is for, given where it is made.

#include <QString>

namespace velmorin {

template <class Widget>
Widget *named(Widget *widget, const QString &objectName, const QString &toolTip)
{
    widget->setObjectName(objectName);
    widget->setToolTip(toolTip);
    return widget;
}

} // namespace velmorin
