#pragma once

// The base of every feature's window: a top-level window of its own beside the host (the host
// can be raised above it, and minimising one leaves the other), one of each kind per host,
// found again or made on demand, placed beside the host the first time and where it was
// left afterwards, closed by Esc, F1 opening the guide at its section, readable under a dark
// scheme, and deleted with the host.

#include "FeatureHost.h"

#include <QDialog>

#include <functional>
#include <initializer_list>

class QAction;
class QColor;
class QKeySequence;

namespace velmorin {

class FeatureWindow : public QDialog
{
    Q_OBJECT

public:
    // `name` is the window's objectName, one window of it per host; `helpSection` the
    // guide's section that F1 opens.
    FeatureWindow(FeatureHost &host, const QString &name, const QString &helpSection);
    ~FeatureWindow() override;

    FeatureHost &host() const { return m_host; }
    const QString &helpSection() const { return m_helpSection; }

    // The host's window of this name, if it was made.
    static FeatureWindow *find(FeatureHost &host, const QString &name);
    template <typename Window> static Window *find(FeatureHost &host, const QString &name)
    {
        return qobject_cast<Window *>(find(host, name));
    }
    // The host's window of this name, made as `new Window(host)` on first use; shown, raised
    // and activated.
    template <typename Window> static Window *open(FeatureHost &host, const QString &name)
    {
        auto *window = find<Window>(host, name);
        if (!window)
            window = new Window(host); // the host's registry owns it
        window->showRaised();
        return window;
    }

    void showRaised();

protected:
    // Runs `refresh` whenever the host calculates or its inputs change, while this shows.
    void followHostInputs(const std::function<void()> &refresh);
    // Runs a slot under the host's guard.
    bool runGuarded(const std::function<void()> &slot) { return m_host.runGuarded(slot); }
    // Keeps the fixed text colours of this window readable (see keepDesignedBackground).
    void keepReadable(std::initializer_list<QColor> texts);

private:
    FeatureHost &m_host;
    QString m_helpSection;
};

// Adds to the host's context menu an action `text` with `objectName` and `shortcut` whose
// trigger runs `open` under the host's guard. The host's widget owns the action.
QAction *addFeatureAction(FeatureHost &host, const QString &text, const QString &objectName,
                          const QKeySequence &shortcut, const std::function<void()> &open);

// The host's `action` and its shortcut work from every feature window of the host as well,
// made or to be made, except in a window that gives the same key a meaning of its own.
void reachFromFeatureWindows(FeatureHost &host, QAction *action);

} // namespace velmorin
