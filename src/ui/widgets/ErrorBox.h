#pragma once

#include <QString>

#include <exception>
#include <utility>

class QWidget;

namespace velmorin {

// The text of the error box: the message, with a period added when its last character
// sorts above "."; control characters, NUL included, show as their pictures ("␀"), as in
// the calculator's messages.
QString errorBoxText(const QString &message);

// The failure's whole message, also past a NUL character that what() would stop at.
QString failureMessage(const std::exception &failure);

// The application's error box: the text above, the application name as caption, a stop
// icon and one OK button. Returns when the user has closed it.
void showErrorBox(QWidget *parent, const std::exception &failure);

// Runs one event handler; a failure is shown in the error box and the program carries on.
// Returns whether the handler ran to its end.
template <typename Handler> bool guardHandler(QWidget *parent, Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception &failure) {
        showErrorBox(parent, failure);
        return false;
    }
}

} // namespace velmorin
