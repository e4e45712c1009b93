#pragma once

// Closes every message box that opens while it lives, remembering what each one showed.

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

struct ShownMessageBox
{
    QString text;
    QString title;
    QMessageBox::Icon icon;
    int buttonCount;
};

class MessageBoxCatcher
{
public:
    MessageBoxCatcher()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { closeOpenBox(); });
        m_timer.start();
    }

    const QList<ShownMessageBox> &shown() const { return m_shown; }

private:
    void closeOpenBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_shown.append({box->text(), box->windowTitle(), box->icon(),
                        static_cast<int>(box->buttons().size())});
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
    }

    QTimer m_timer;
    QList<ShownMessageBox> m_shown;
};
