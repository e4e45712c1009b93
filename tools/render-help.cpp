// Renders the guide (F1) at its first section into a PNG file, for the documentation.

#include "RenderWindow.h"

#include <QAction>

int main(int argc, char *argv[])
{
    return renderFromMainWindow(argc, argv, "help.png", [](TVlmFPrg &window) {
        window.findChild<QAction *>(QStringLiteral("actionAide"))->trigger();
        return window.findChild<QWidget *>(QStringLiteral("Aide"));
    });
}
