// Renders the main window after the typical use (80 teams, "Calcul", class-2 slider on its
// third solution) into a PNG file, for the documentation.

#include "RenderWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

int main(int argc, char *argv[])
{
    return renderFromMainWindow(argc, argv, "main-window.png", [](TVlmFPrg &window) {
        auto *effectif = window.findChild<QLineEdit *>(QStringLiteral("Effectif"));
        QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(effectif, QStringLiteral("80"));
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Button1")),
                          Qt::LeftButton);
        auto *trackBar2 = window.findChild<QSlider *>(QStringLiteral("TrackBar2"));
        QTest::keyClick(trackBar2, Qt::Key_Right);
        QTest::keyClick(trackBar2, Qt::Key_Right);
        return static_cast<QWidget *>(&window);
    });
}
