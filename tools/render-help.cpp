// Renders the guide (F1) at its first section into a PNG file, for the documentation.

#include "FeatureWindow.h"
#include "RenderWindow.h"

#include <QAction>

int main(int argc, char *argv[])
{
    return renderFromMainWindow(argc, argv, "help.png", [](TVlmFPrg &window) -> QWidget * {
        window.findChild<QAction *>(QStringLiteral("actionAide"))->trigger();
        // A window of its own, not a child of the main window: found through the host, and
        // shown at the size it opens at on a screen with room for it.
        QWidget *guide = velmorin::FeatureWindow::find(window, QStringLiteral("Aide"));
        if (guide)
            guide->resize(640, 720);
        return guide;
    });
}
