#include "FdSink.h"

#include "Platform.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <unistd.h>

namespace velmorin::cli {

std::size_t FdSink::writeAll(std::string_view bytes)
{
    // After a failure nothing more is written: the reader is gone or the device is full.
    std::size_t done = 0;
    while (done < bytes.size() && m_error == 0) {
        const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A non-blocking pipe whose reader is slower than us.
            if (!platform::waitUntilWritable(m_fd))
                m_error = errno;
        } else if (errno != EINTR) {
            m_error = errno;
        }
    }
    return done;
}

bool FdSink::write(std::string_view bytes)
{
    const std::string_view written = bytes.substr(0, writeAll(bytes));
    account(written, static_cast<std::uint64_t>(std::count(written.begin(), written.end(), '\n')));
    return m_error == 0;
}

bool FdSink::writeLines(std::string_view bytes, std::uint64_t lineEnds)
{
    const std::size_t done = writeAll(bytes);
    if (done == bytes.size()) {
        account(bytes, lineEnds);
    } else {
        // Only the chunk that stopped is searched: the failure's message needs its line.
        const std::string_view written = bytes.substr(0, done);
        account(written,
                static_cast<std::uint64_t>(std::count(written.begin(), written.end(), '\n')));
    }
    return m_error == 0;
}

void FdSink::account(std::string_view written, std::uint64_t lineEnds)
{
    if (written.empty())
        return;
    m_progress.bytes += written.size();
    m_progress.lines += lineEnds;
    m_progress.midLine = written.back() != '\n';
}

std::string systemErrorText(int error)
{
    static const bool localised = std::setlocale(LC_ALL, "") != nullptr;
    (void)localised;
    return std::strerror(error);
}

std::string writeErrorMessage(int error, const WriteProgress &progress)
{
    std::string message = "erreur d'écriture : ";
    message += systemErrorText(error);
    if (progress.midLine)
        message += " (sortie coupée dans la ligne " + std::to_string(progress.lines + 1) +
                   ", après " + std::to_string(progress.bytes) + " octets)";
    return message;
}

} // namespace velmorin::cli
