// The program entry: the application, its main window, the event loop.

#include "Features.h"
#include "QtTranslation.h"
#include "VlmPrg.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    velmorin::installQtFrench(&application);
    // The caption of the error boxes; window titles get no suffix from it.
    QApplication::setApplicationName(QStringLiteral("Velmorin"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/velmorin-32.png"));
    icon.addFile(QStringLiteral(":/icons/velmorin-128.png"));
    QApplication::setWindowIcon(icon);

    TVlmFPrg VlmFPrg;
    velmorin::installFeatures(&VlmFPrg);
    VlmFPrg.show();
    return QApplication::exec();
}
