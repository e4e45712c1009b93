#include "FdOutputBuffer.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace velmorin::cli {

FdOutputBuffer::FdOutputBuffer(int fd, std::size_t capacity) : m_fd(fd), m_buffer(capacity)
{
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

FdOutputBuffer::~FdOutputBuffer()
{
    flushBuffer();
}

bool FdOutputBuffer::writeAll(const char *data, std::size_t size)
{
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

bool FdOutputBuffer::flushBuffer()
{
    const bool ok = writeAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return ok;
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type ch)
{
    if (!flushBuffer())
        return traits_type::eof();
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
    return ch;
}

std::streamsize FdOutputBuffer::xsputn(const char_type *s, std::streamsize count)
{
    const auto size = static_cast<std::size_t>(count);
    if (size <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), s, size);
        pbump(static_cast<int>(count));
        return count;
    }
    if (!flushBuffer())
        return 0;
    if (size >= m_buffer.size())
        return writeAll(s, size) ? count : 0;
    std::memcpy(pptr(), s, size);
    pbump(static_cast<int>(count));
    return count;
}

int FdOutputBuffer::sync()
{
    return flushBuffer() ? 0 : -1;
}

} // namespace velmorin::cli
