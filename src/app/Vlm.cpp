// The program entry: the application, its main window with its features, the event loop, and
// the cup file given on the command line (a double click on it in the file manager).

#include "Features.h"
#include "Program.h"
#include "VlmPrg.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    velmorin::setUpApplication(application);

    TVlmFPrg VlmFPrg;
    velmorin::installFeatures(VlmFPrg);
    VlmFPrg.show();
    // Once the window has taken its defaults on showing: the cup's inputs then replace them.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString path = arguments.at(1);
        QTimer::singleShot(0, &VlmFPrg,
                           [&VlmFPrg, path] { velmorin::openCupFromCommandLine(VlmFPrg, path); });
    }
    return QApplication::exec();
}
