#pragma once

// Standard output as a sink: whole buffers go to write(2), and a failure keeps its cause.

#include "ByteSink.h"

namespace velmorin::cli {

class FdSink : public ByteSink
{
public:
    explicit FdSink(int fd) : m_fd(fd) {}
    bool write(std::string_view bytes) override;

    // errno of the first failed write, 0 while every write has succeeded.
    int error() const { return m_error; }

private:
    int m_fd;
    int m_error = 0;
};

} // namespace velmorin::cli
