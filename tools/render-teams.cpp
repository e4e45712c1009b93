// Renders the registered teams' dialog with the sample list of 80 teams, the main window
// showing the plan the search ranks first for the levels' wishes (48 at round 1, class 3,
// its third solution) and a fixed draw, into a PNG file,
// for the documentation.

#include "FeatureWindow.h"
#include "RenderWindow.h"
#include "TeamsDialog.h"

#include <QAction>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    return renderFromMainWindow(argc, argv, "teams.png", [](TVlmFPrg &window) -> QWidget * {
        window.findChild<QAction *>(QStringLiteral("actionEquipes"))->trigger();
        auto *dialog =
            velmorin::FeatureWindow::find<velmorin::TeamsDialog>(window, QStringLiteral("Equipes"));
        if (!dialog || !dialog->openList(QStringLiteral(VELMORIN_SAMPLE_LIST)))
            return nullptr;
        dialog->setSeed(2026);
        if (!window.showPlan(48, velmorin::ShownSolution{velmorin::ExemptionClass::Class3, 3}))
            return nullptr;
        // At the size it opens at on a screen with room for it (the offscreen screen has none
        // beside the main window), the layout taking the new texts in before the picture.
        dialog->resize(1000, 580);
        QCoreApplication::processEvents();
        return dialog;
    });
}
