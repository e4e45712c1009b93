#pragma once

// Where written text goes: a file descriptor, a stream, a file being saved. Writers format
// into large buffers of their own and hand them over whole.

#include <cstddef>
#include <iosfwd>
#include <string_view>
#include <vector>

namespace velmorin {

class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // Writes every byte or fails; after a failure nothing more is written.
    virtual bool write(std::string_view bytes) = 0;
};

// A standard stream as a sink: a short write (the reader went away) fails it.
class OstreamSink : public ByteSink
{
public:
    explicit OstreamSink(std::ostream &out) : m_out(out) {}
    bool write(std::string_view bytes) override;

private:
    std::ostream &m_out;
};

// Lines formatted in place into a large buffer, which goes to the sink when it fills: the
// cost per row is that of the number conversions, not of the output.
class LineBuffer
{
public:
    explicit LineBuffer(ByteSink &sink, std::size_t capacity = std::size_t{1} << 20);
    ~LineBuffer(); // flushes what is left, quietly

    LineBuffer(const LineBuffer &) = delete;
    LineBuffer &operator=(const LineBuffer &) = delete;

    LineBuffer &text(std::string_view s);
    LineBuffer &character(char c);
    LineBuffer &number(long long value);
    // Right-aligned in `width` characters.
    LineBuffer &padded(long long value, std::size_t width);
    LineBuffer &paddedText(std::string_view s, std::size_t width);
    LineBuffer &spaces(std::size_t count);

    // Ends the line; false once the sink has failed, and then nothing more is written.
    bool endLine();
    bool flush();
    bool failed() const { return m_failed; }

private:
    // Room for one more piece of `size` bytes, flushing first when the buffer is too full.
    char *reserve(std::size_t size);

    ByteSink &m_sink;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
};

// Decimal digits and sign of a value.
std::size_t decimalWidth(long long value);

} // namespace velmorin
