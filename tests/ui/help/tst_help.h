// The guide: F1 from anywhere, its contents, its own table of shortcuts against the program,
// the hints on the main window's controls, and the guide under a dark scheme.

#pragma once

#include "Contrast.h"
#include "Features.h"
#include "HelpWindow.h"
#include "MessageBoxCatcher.h"
#include "RadioGroup.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextImageFormat>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

inline QString guideSource()
{
    QFile file(QStringLiteral(":/aide/guide.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The rows of the guide's shortcut table: key, action, where.
inline QList<QStringList> guideShortcuts()
{
    static const QRegularExpression row(
        QStringLiteral("<tr><td><kbd>([^<]+)</kbd></td><td>([^<]+)</td><td>([^<]+)</td></tr>"));
    QList<QStringList> rows;
    for (const QRegularExpressionMatch &m : row.globalMatch(guideSource()))
        rows.append({m.captured(1), m.captured(2), m.captured(3)});
    return rows;
}

// Closes whatever modal dialog a shortcut opens, so that no test waits on a person.
class ModalCloser : public QObject
{
public:
    ModalCloser()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

} // namespace

class TestHelp : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithF1FromEverywhere();
    void contentsReachEverySection();
    void findInTheGuide();
    void findIgnoresAccentsAndCase_data();
    void findIgnoresAccentsAndCase();
    void closesFromTheKeyboard_data();
    void closesFromTheKeyboard();
    void picturesScaledSmoothly();
    void shortcutsDoWhatTheGuideSays_data();
    void shortcutsDoWhatTheGuideSays();
    void everyControlSaysWhatItIs();
    void readableUnderADarkScheme();

private:
    QWidget *help() const
    {
        const QList<QWidget *> windows =
            velmorin::testing::topLevelWindows<QWidget>(QStringLiteral("Aide"));
        return windows.isEmpty() ? nullptr : windows.constFirst();
    }
    void pressOnWindow(const QKeySequence &keys);

    std::unique_ptr<TVlmFPrg> m_window;
};
