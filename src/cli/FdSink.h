#pragma once

// Standard output as a sink: whole buffers go to write(2), and a failure keeps its cause.

#include "ByteSink.h"

#include <cstdint>
#include <string>

namespace velmorin::cli {

// How far the output got before it stopped.
struct WriteProgress
{
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0; // whole lines, their line end written
    bool midLine = false;    // the last line written lacks its end
};

class FdSink : public ByteSink
{
public:
    explicit FdSink(int fd) : m_fd(fd) {}
    // A non-blocking descriptor that is full is waited for, not given up on.
    bool write(std::string_view bytes) override;
    // The line ends are searched for only in a chunk that stops part-way: a whole chunk adds
    // the writer's count.
    bool writeLines(std::string_view bytes, std::uint64_t lineEnds) override;

    // errno of the first failed write, 0 while every write has succeeded.
    int error() const { return m_error; }
    const WriteProgress &progress() const { return m_progress; }

private:
    // Writes what it can; the bytes written.
    std::size_t writeAll(std::string_view bytes);
    void account(std::string_view written, std::uint64_t lineEnds);

    int m_fd;
    int m_error = 0;
    WriteProgress m_progress;
};

// The message of a failed write, without the program's name: the system's reason and, when
// the output stopped inside a line, which line and after how many bytes.
std::string writeErrorMessage(int error, const WriteProgress &progress);

// The system's text for `error` (strerror) in the user's language. The locale is read from the
// environment only then: reading it costs every run at start, and only a failure needs it.
std::string systemErrorText(int error);

} // namespace velmorin::cli
