#include "FeatureWindow.h"

#include "Contrast.h"
#include "Placement.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace velmorin {

namespace {

// The host's feature windows. A child of the host's widget, so that the windows, which have
// no parent (a parent would keep them above the host), go when the host goes.
class FeatureRegistry : public QObject
{
public:
    using QObject::QObject;
    ~FeatureRegistry() override
    {
        for (const QPointer<FeatureWindow> &window : m_windows)
            delete window.data();
    }

    static FeatureRegistry *of(FeatureHost &host, bool create)
    {
        QWidget *widget = host.hostWidget();
        // Not findChild: without a meta-object of its own, it would take any child.
        for (QObject *child : widget->children()) {
            if (auto *registry = dynamic_cast<FeatureRegistry *>(child))
                return registry;
        }
        return create ? new FeatureRegistry(widget) : nullptr;
    }

    void add(FeatureWindow *window)
    {
        m_windows.emplace_back(window);
        // Shown first after its own constructor: its own keys are known by then.
        window->installEventFilter(this);
    }

    void share(QAction *action)
    {
        m_shared.emplace_back(action);
        for (const QPointer<FeatureWindow> &window : m_windows) {
            if (window)
                reach(window, action);
        }
    }

    FeatureWindow *find(const QString &name) const
    {
        for (const QPointer<FeatureWindow> &window : m_windows) {
            if (window && window->objectName() == name)
                return window;
        }
        return nullptr;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *window = qobject_cast<FeatureWindow *>(watched)) {
                for (const QPointer<QAction> &action : m_shared)
                    reach(window, action);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The host's action works in `window` too, unless the window gives its key a meaning of
    // its own there (F1 its section of the guide, Ctrl+W closing the guide): its own wins.
    static void reach(FeatureWindow *window, QAction *action)
    {
        if (!action || window->actions().contains(action) ||
            bindsKey(window, action->shortcut()))
            return;
        window->addAction(action);
    }

    static bool bindsKey(const FeatureWindow *window, const QKeySequence &key)
    {
        const QList<QAction *> actions = window->findChildren<QAction *>();
        const QList<QShortcut *> shortcuts = window->findChildren<QShortcut *>();
        return std::any_of(actions.begin(), actions.end(),
                           [&](const QAction *own) { return own->shortcut() == key; }) ||
               std::any_of(shortcuts.begin(), shortcuts.end(), [&](const QShortcut *own) {
                   return own->key() == key && own->context() != Qt::WidgetShortcut &&
                          own->context() != Qt::WidgetWithChildrenShortcut;
               });
    }

    std::vector<QPointer<FeatureWindow>> m_windows;
    std::vector<QPointer<QAction>> m_shared;
};

} // namespace

FeatureWindow::FeatureWindow(FeatureHost &host, const QString &name, const QString &helpSection)
    : QDialog(nullptr, Qt::Window), m_host(host), m_helpSection(helpSection)
{
    setObjectName(name);
    FeatureRegistry::of(host, true)->add(this);
    QWidget *hostWidget = host.hostWidget();
    // The host's icon, and the host's font: a window of the program, whatever its parent.
    setWindowIcon(hostWidget->windowIcon());
    // A window opened from another (the guide from the plan search) opens beside both.
    openBeside(
        this, hostWidget, [host = &host] { return host->keepVisibleArea(); },
        [this, hostWidget] {
            const QWidget *opener = QApplication::activeWindow();
            if (!opener || opener == this || opener == hostWidget || !opener->isVisible())
                return std::vector<QRect>();
            return std::vector<QRect>{opener->frameGeometry()};
        });

    // F1 here opens the guide at this window's section (the host's own F1 opens it where it
    // is). Esc closes the window, as QDialog does.
    if (helpSection.isEmpty())
        return;
    auto *help = new QAction(this);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    connect(help, &QAction::triggered, this,
            [this] { runGuarded([this] { m_host.openHelp(m_helpSection); }); });
}

FeatureWindow::~FeatureWindow() = default;

FeatureWindow *FeatureWindow::find(FeatureHost &host, const QString &name)
{
    const FeatureRegistry *registry = FeatureRegistry::of(host, false);
    return registry ? registry->find(name) : nullptr;
}

void FeatureWindow::showRaised()
{
    show();
    raise();
    activateWindow();
}

void FeatureWindow::followHostInputs(const std::function<void()> &refresh)
{
    const auto whileShown = [this, refresh] {
        if (isVisible())
            refresh();
    };
    connect(m_host.notifier(), &FeatureNotifier::calculated, this, whileShown);
    connect(m_host.notifier(), &FeatureNotifier::inputsChanged, this, whileShown);
}

void FeatureWindow::keepReadable(std::initializer_list<QColor> texts)
{
    keepDesignedBackground(this, texts);
}

void reachFromFeatureWindows(FeatureHost &host, QAction *action)
{
    FeatureRegistry::of(host, true)->share(action);
}

QAction *addFeatureAction(FeatureHost &host, const QString &text, const QString &objectName,
                          const QKeySequence &shortcut, const std::function<void()> &open)
{
    auto *action = new QAction(text, host.hostWidget());
    action->setObjectName(objectName);
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, host.hostWidget(),
                     [host = &host, open] { host->runGuarded(open); });
    host.addContextAction(action);
    return action;
}

} // namespace velmorin
