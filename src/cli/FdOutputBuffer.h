#pragma once

// A large output buffer over a POSIX file descriptor. std::cout's own buffering is small
// and tied to stdio; millions of CSV rows want big writes and a clear failure cause.

#include <cstddef>
#include <streambuf>
#include <vector>

namespace velmorin::cli {

class FdOutputBuffer : public std::streambuf
{
public:
    explicit FdOutputBuffer(int fd, std::size_t capacity = std::size_t{1} << 16);
    ~FdOutputBuffer() override;

    FdOutputBuffer(const FdOutputBuffer &) = delete;
    FdOutputBuffer &operator=(const FdOutputBuffer &) = delete;

    // errno of the first failed write, 0 while every write has succeeded.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char_type *s, std::streamsize count) override;
    int sync() override;

private:
    bool flushBuffer();
    bool writeAll(const char *data, std::size_t size);

    int m_fd;
    int m_error = 0;
    std::vector<char> m_buffer;
};

} // namespace velmorin::cli
