#include "CalcMain.h"

#include "Calc.h"
#include "FdSink.h"
#include "Platform.h"

#include <cerrno>
#include <clocale>
#include <iostream>
#include <unistd.h>

namespace velmorin::cli {

int calcMain(int argc, char *argv[], CalcRunner run)
{
    // The results are written with to_chars and the C++ streams keep the classic locale: the
    // user's locale is read only for a system error's text (systemErrorText), when one comes.
    // A reader that goes away (| head) must end the run quietly, not kill it: the write then
    // fails with EPIPE and the run stops at that line.
    // Past a file-size limit (ulimit -f) the write fails with EFBIG instead of killing us, and
    // the failure is reported like any other.
    platform::prepareStandardOutput();

    const std::vector<std::string> args(argv + 1, argv + argc);
    FdSink out(STDOUT_FILENO);
    const int status = run(args, out, std::cerr);

    if (out.error() != 0 && out.error() != EPIPE) {
        std::cerr << "velmorin-calc: " << writeErrorMessage(out.error(), out.progress()) << '\n';
        return kExitWriteError;
    }
    return status;
}

} // namespace velmorin::cli
