#pragma once

// What the render tools share: the application, the main window shown offscreen, and the
// picture of one widget saved to the file the command line names.

#include "Features.h"
#include "VlmPrg.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>

// Shows the main window, lets `prepare` bring it to the state to show and return the widget
// to picture, and saves that widget to argv[1] (or `defaultOutput`). Returns the exit status.
inline int renderFromMainWindow(int argc, char *argv[], const char *defaultOutput,
                                const std::function<QWidget *(TVlmFPrg &)> &prepare)
{
    QApplication application(argc, argv);
    // A picture never depends on the places the user's windows remember.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication::setApplicationName(QStringLiteral("Velmorin"));
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString::fromLatin1(defaultOutput);

    TVlmFPrg window;
    velmorin::installFeatures(window);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QWidget *shown = prepare(window);
    if (!shown || !QTest::qWaitForWindowExposed(shown))
        return 1;
    if (!shown->grab().save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
