// The program entry: the application, its main window, the event loop.

#include "VlmPrg.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The caption of the error boxes; window titles get no suffix from it.
    QApplication::setApplicationName(QStringLiteral("Velmorin"));

    TVlmFPrg VlmFPrg;
    VlmFPrg.show();
    return QApplication::exec();
}
