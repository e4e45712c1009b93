#pragma once

// Where written text goes: a file descriptor, a stream, a file being saved. Writers format
// into large buffers of their own and hand them over whole.

#include <charconv>
#include <cstddef>
#include <cstring>
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
// cost per row is that of the number conversions, not of the output. A writer that knows
// how long a row can be calls ensure() once and then the unchecked put* calls.
class LineBuffer
{
public:
    // The most a number takes: a sign and 19 digits.
    static constexpr std::size_t kNumberWidth = 20;

    explicit LineBuffer(ByteSink &sink, std::size_t capacity = std::size_t{1} << 20);
    ~LineBuffer(); // flushes what is left, quietly

    LineBuffer(const LineBuffer &) = delete;
    LineBuffer &operator=(const LineBuffer &) = delete;

    LineBuffer &text(std::string_view s);
    LineBuffer &character(char c)
    {
        ensure(1);
        putChar(c);
        return *this;
    }
    LineBuffer &number(long long value)
    {
        ensure(kNumberWidth);
        putNumber(value);
        return *this;
    }
    // Right-aligned in `width` characters.
    LineBuffer &padded(long long value, std::size_t width)
    {
        ensure(width + kNumberWidth);
        putPadded(value, width);
        return *this;
    }
    LineBuffer &paddedText(std::string_view s, std::size_t width);
    LineBuffer &spaces(std::size_t count);

    // Room for `size` more bytes, flushing first when the buffer is too full.
    void ensure(std::size_t size)
    {
        if (m_buffer.size() - m_used < size)
            makeRoom(size);
    }
    void putChar(char c) { m_buffer[m_used++] = c; }
    void putNumber(long long value)
    {
        char *at = m_buffer.data() + m_used;
        m_used += static_cast<std::size_t>(std::to_chars(at, at + kNumberWidth, value).ptr - at);
    }
    void putPadded(long long value, std::size_t width)
    {
        // The digits land after a run of spaces, and one copy takes both.
        char room[2 * kNumberWidth];
        std::memset(room, ' ', sizeof room);
        const char *end = std::to_chars(room + kNumberWidth, room + sizeof room, value).ptr;
        const auto length = static_cast<std::size_t>(end - (room + kNumberWidth));
        if (width > length + kNumberWidth) {
            std::memset(m_buffer.data() + m_used, ' ', width - length - kNumberWidth);
            m_used += width - length - kNumberWidth;
            width = length + kNumberWidth;
        }
        const std::size_t copied = width > length ? width : length;
        std::memcpy(m_buffer.data() + m_used, end - copied, copied);
        m_used += copied;
    }

    // Ends the line; false once the sink has failed, and then nothing more is written.
    bool endLine()
    {
        character('\n');
        return !m_failed;
    }
    bool flush();

private:
    void makeRoom(std::size_t size);

    ByteSink &m_sink;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
};

// Decimal digits and sign of a value.
std::size_t decimalWidth(long long value);

// One CSV field, quoted when it holds any separator a reader may look for (comma, semicolon,
// tab: a header unquoted with more commas than semicolons would be read as comma-separated),
// a quote or a line break, or starts or ends with a space.
void putCsvField(LineBuffer &line, std::string_view text);

} // namespace velmorin
