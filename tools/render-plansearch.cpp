// Renders the plan search dialog for the window's defaults (71 registered teams, a final of
// 6, every ratio 1/2) with an organiser's wishes typed in: 8 teams entering at round 4 and at
// most 40 teams playing round 2. For the documentation.

#include "FeatureWindow.h"
#include "RenderWindow.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QTableView>

int main(int argc, char *argv[])
{
    return renderFromMainWindow(argc, argv, "plan-search.png", [](TVlmFPrg &window) {
        window.findChild<QAction *>(QStringLiteral("actionRecherchePlans"))->trigger();
        auto *dialog = velmorin::FeatureWindow::find(window, QStringLiteral("RecherchePlans"));
        if (!dialog)
            return static_cast<QWidget *>(nullptr);
        const auto type = [dialog](const char *field, const char *text) {
            auto *edit = dialog->findChild<QLineEdit *>(QLatin1String(field));
            edit->setFocus();
            QTest::keyClicks(edit, QLatin1String(text));
        };
        type("MinEntrants4", "8");
        type("MaxEntrants4", "8");
        type("MaxTour2", "40");
        auto *table = dialog->findChild<QTableView *>(QStringLiteral("TablePlans"));
        table->setFocus();
        table->selectRow(0);
        return static_cast<QWidget *>(dialog);
    });
}
