// velmorin-calc-coupe: the cup lines of velmorin-calc (--coupe), which runs this program for
// them, so that its other runs never load Qt SQL.

#include "Calc.h"
#include "CalcCup.h"
#include "FdSink.h"
#include "Platform.h"

#include <QCoreApplication>

#include <clocale>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char *argv[])
{
    std::setlocale(LC_ALL, "");
    // Past a file-size limit the cup's write fails and is reported, instead of killing us.
    velmorin::platform::prepareStandardOutput();
    // Qt SQL finds its SQLite driver through the application's plugin paths.
    QCoreApplication application(argc, argv);

    const std::vector<std::string> args(argv + 1, argv + argc);
    velmorin::cli::FdSink out(STDOUT_FILENO);
    const int status = velmorin::cli::runCupCalc(args, out, std::cerr);
    return velmorin::cli::cupRunStatus(
        args, status, out.error(),
        out.error() ? velmorin::cli::writeErrorMessage(out.error(), out.progress()) : "",
        std::cerr);
}
