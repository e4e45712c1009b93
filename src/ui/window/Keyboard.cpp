#include "Keyboard.h"

#include "FocusExit.h"
#include "UpDown.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>

#include <functional>

namespace velmorin {

namespace {

// Hands the key presses of one widget to a function, which says whether it took them.
class KeyHandler : public QObject
{
public:
    using Handler = std::function<bool(const QKeyEvent &)>;

    KeyHandler(QWidget *watched, Handler handler) : QObject(watched), m_handler(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && m_handler(*static_cast<QKeyEvent *>(event)))
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    Handler m_handler;
};

// Shift is how some layouts reach + and -; Ctrl, Alt and Meta make another key.
bool plain(const QKeyEvent &key)
{
    return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool isEnter(const QKeyEvent &key)
{
    return plain(key) && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter);
}

} // namespace

void stepWithKeys(QLineEdit *field, TUpDown *upDown)
{
    new KeyHandler(field, [upDown](const QKeyEvent &key) {
        if (!plain(key))
            return false;
        switch (key.key()) {
        case Qt::Key_Up:
        case Qt::Key_PageUp:
        case Qt::Key_Plus:
            upDown->stepUp();
            return true;
        case Qt::Key_Down:
        case Qt::Key_PageDown:
        case Qt::Key_Minus:
            upDown->stepDown();
            return true;
        default:
            return false;
        }
    });
}

void pressWithEnter(QAbstractButton *button)
{
    new KeyHandler(button, [button](const QKeyEvent &key) {
        if (!isEnter(key))
            return false;
        // A held key presses once: the button may open a modal dialog.
        if (!key.isAutoRepeat())
            button->click();
        return true;
    });
}

void enterClicks(QLineEdit *field, TFocusExit *fieldExit, QAbstractButton *button)
{
    new KeyHandler(field, [fieldExit, button](const QKeyEvent &key) {
        if (!isEnter(key))
            return false;
        if (fieldExit->moveFocusTo(button))
            button->click();
        return true;
    });
}

} // namespace velmorin
