#include "FdSink.h"

#include <cerrno>
#include <unistd.h>

namespace velmorin::cli {

bool FdSink::write(std::string_view bytes)
{
    const char *data = bytes.data();
    std::size_t size = bytes.size();
    // After a failure nothing more is written: the reader is gone or the device is full.
    while (size > 0 && m_error == 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno != EINTR)
                m_error = errno;
            continue;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return m_error == 0;
}

} // namespace velmorin::cli
