#pragma once

// Closes every message box as soon as it shows, remembering what each one showed. The box
// is closed from its own event loop, with its OK button when it has one.

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

struct ShownMessageBox
{
    QString text;
    QString title;
    QMessageBox::Icon icon;
    int buttonCount;
    QStringList buttons; // their texts
};

class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher() { qApp->installEventFilter(this); }
    ~MessageBoxCatcher() override { qApp->removeEventFilter(this); }

    const QList<ShownMessageBox> &shown() const { return m_shown; }
    QStringList texts() const
    {
        QStringList result;
        for (const ShownMessageBox &box : m_shown)
            result << box.text;
        return result;
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(object);
        if (box && event->type() == QEvent::Show) {
            QStringList buttons;
            for (const QAbstractButton *button : box->buttons())
                buttons << button->text();
            m_shown.append({box->text(), box->windowTitle(), box->icon(),
                            static_cast<int>(buttons.size()), buttons});
            QTimer::singleShot(0, box, [box] {
                if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                    ok->click();
                else
                    box->reject();
            });
        }
        return QObject::eventFilter(object, event);
    }

private:
    QList<ShownMessageBox> m_shown;
};
