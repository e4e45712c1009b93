// The program entry: the application, its main window with its features, the event loop.

#include "Features.h"
#include "Program.h"
#include "VlmPrg.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    velmorin::setUpApplication(application);

    TVlmFPrg VlmFPrg;
    velmorin::installFeatures(VlmFPrg);
    VlmFPrg.show();
    return QApplication::exec();
}
