#pragma once

// Finds the main window's controls by their names and acts on them as a person would. A test
// of the window derives from WindowDriver (after QObject) and points it at its window.

#include "TrackBar.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace velmorin::testing {

// The program's top-level windows called `name`: a feature's windows have no parent, so
// that the main window can be raised above them.
template <typename T> QList<T *> topLevelWindows(const QString &name)
{
    QList<T *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<T *>(widget); window && widget->objectName() == name)
            windows.append(window);
    }
    return windows;
}

// The object called `name` below `parent`, or a top-level window of that name (a feature's);
// a missing one ends the test program, naming it.
template <typename T> T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (!found) {
        const QList<T *> windows = topLevelWindows<T>(QLatin1String(name));
        found = windows.isEmpty() ? nullptr : windows.constFirst();
    }
    // Or inside a feature's window, when `parent` is the main window.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (found || !parent.isWidgetType())
            break;
        if (window != &parent)
            found = window->findChild<T *>(QLatin1String(name));
    }
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Shows the window and waits until it is the active one, as at the program's start.
inline bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The box shown when Effectif holds no integer.
inline QString conversionError(const QString &typed)
{
    return QStringLiteral("'%1' n'est pas une valeur entière correcte.").arg(typed);
}

class WindowDriver
{
public:
    // The label that counts class k's solutions (k from 1 to 3).
    static const char *solutionLabelName(int k)
    {
        static const char *const names[] = {nullptr, "solution1", "Solution2", "Solution3"};
        return names[k];
    }

    void setWindow(QWidget *window) { m_driven = window; }

    template <typename T> T *get(const char *name) const { return child<T>(*m_driven, name); }
    QString text(const char *name) const { return get<QLineEdit>(name)->text(); }
    QString labelText(const char *name) const { return get<QLabel>(name)->text(); }
    TTrackBar *trackBar(int k) const
    {
        return get<TTrackBar>(qPrintable(QStringLiteral("TrackBar%1").arg(k)));
    }

    // Clicks into Effectif unless it has the focus, selects everything and types.
    void typeEffectif(const QString &typed) const
    {
        auto *effectif = get<QLineEdit>("Effectif");
        if (!effectif->hasFocus())
            QTest::mouseClick(effectif, Qt::LeftButton);
        QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(effectif, Qt::Key_Delete);
        QTest::keyClicks(effectif, typed);
    }

    void clickCalcul() const { QTest::mouseClick(get<QPushButton>("Button1"), Qt::LeftButton); }

private:
    QWidget *m_driven = nullptr;
};

} // namespace velmorin::testing

// The main() of a test of the window: the application carries the program's name.
#define VELMORIN_WINDOW_TEST_MAIN(TestObject)                                                      \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QApplication application(argc, argv);                                                      \
        QApplication::setApplicationName(QStringLiteral("Velmorin"));                              \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
