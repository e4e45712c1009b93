// Renders the main window after the typical use (80 teams, "Calcul", class-2 slider on its
// third solution) into a PNG file, for the documentation.

#include "VlmPrg.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmorin"));
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("main-window.png");

    TVlmFPrg window;
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    auto *effectif = window.findChild<QLineEdit *>(QStringLiteral("Effectif"));
    QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(effectif, QStringLiteral("80"));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    auto *trackBar2 = window.findChild<QSlider *>(QStringLiteral("TrackBar2"));
    QTest::keyClick(trackBar2, Qt::Key_Right);
    QTest::keyClick(trackBar2, Qt::Key_Right);

    if (!window.grab().save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
