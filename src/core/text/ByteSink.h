#pragma once

// Where written text goes: a file descriptor, a stream, a file being saved. Writers format
// into large buffers of their own and hand them over whole.

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // Writes every byte or fails; after a failure nothing more is written.
    virtual bool write(std::string_view bytes) = 0;
    // The same, from a writer that knows how many line ends the bytes hold: a sink that keeps
    // count of the lines (for a write error's message) takes it instead of searching them.
    virtual bool writeLines(std::string_view bytes, std::uint64_t lineEnds)
    {
        (void)lineEnds;
        return write(bytes);
    }
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

// A string as a sink: for texts built whole before they are written.
class StringSink : public ByteSink
{
public:
    explicit StringSink(std::string &text) : m_text(text) {}
    bool write(std::string_view bytes) override;

private:
    std::string &m_text;
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
    void putChar(char c)
    {
        m_buffer[m_used++] = c;
        m_lineEnds += c == '\n';
    }
    void putNumber(long long value)
    {
        char *at = m_buffer.data() + m_used;
        m_used += static_cast<std::size_t>(digits(at, value) - at);
    }
    // The decimal digits and sign of `value` at `at`; the end. A value that fits 32 bits, as
    // nearly every count does, takes to_chars's 32-bit path, whose divisions are cheaper.
    static char *digits(char *at, long long value)
    {
        if (static_cast<unsigned long long>(value) <= 0xFFFFFFFFull)
            return std::to_chars(at, at + kNumberWidth, static_cast<std::uint32_t>(value)).ptr;
        return std::to_chars(at, at + kNumberWidth, value).ptr;
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

    // A row of numbers split by `separator`, and its end. The digits go through a local
    // pointer: stores through the buffer's own would make the compiler reload its members
    // after every number.
    template <typename Int, std::size_t N>
    bool numberRow(const std::array<Int, N> &values, char separator)
    {
        ensure(N * (kNumberWidth + 1));
        char *at = m_buffer.data() + m_used;
        for (std::size_t k = 0; k < N; ++k) {
            if (k > 0)
                *at++ = separator;
            at = digits(at, static_cast<long long>(values[k]));
        }
        *at++ = '\n';
        m_used = static_cast<std::size_t>(at - m_buffer.data());
        ++m_lineEnds;
        return !m_failed;
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
    // Line ends in the buffer, counted as they are put: the sink need not search them.
    std::uint64_t m_lineEnds = 0;
    bool m_failed = false;
};

// Decimal digits and sign of a value.
std::size_t decimalWidth(long long value);


} // namespace velmorin
