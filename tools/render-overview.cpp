// Renders the round-1 overview dialog for the window's defaults (71 registered teams, a final
// of 6, every ratio 1/2) into a PNG file, for the documentation.

#include "FeatureWindow.h"
#include "RenderWindow.h"

#include <QAction>
#include <QDialog>

int main(int argc, char *argv[])
{
    return renderFromMainWindow(argc, argv, "overview.png", [](TVlmFPrg &window) {
        window.findChild<QAction *>(QStringLiteral("actionVueEnsemble"))->trigger();
        return static_cast<QWidget *>(
            velmorin::FeatureWindow::find(window, QStringLiteral("VueEnsemble")));
    });
}
