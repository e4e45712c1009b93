#include "ByteSink.h"

#include <charconv>
#include <cstring>
#include <ostream>

namespace velmorin {

bool OstreamSink::write(std::string_view bytes)
{
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return m_out.good();
}

LineBuffer::LineBuffer(ByteSink &sink, std::size_t capacity) : m_sink(sink), m_buffer(capacity) {}

LineBuffer::~LineBuffer()
{
    flush();
}

char *LineBuffer::reserve(std::size_t size)
{
    if (m_buffer.size() - m_used < size) {
        flush();
        if (m_buffer.size() < size)
            m_buffer.resize(size);
    }
    return m_buffer.data() + m_used;
}

LineBuffer &LineBuffer::text(std::string_view s)
{
    if (!s.empty()) {
        std::memcpy(reserve(s.size()), s.data(), s.size());
        m_used += s.size();
    }
    return *this;
}

LineBuffer &LineBuffer::character(char c)
{
    *reserve(1) = c;
    ++m_used;
    return *this;
}

LineBuffer &LineBuffer::number(long long value)
{
    constexpr std::size_t kDigits = 20; // sign and 19 digits
    char *at = reserve(kDigits);
    m_used += static_cast<std::size_t>(std::to_chars(at, at + kDigits, value).ptr - at);
    return *this;
}

LineBuffer &LineBuffer::padded(long long value, std::size_t width)
{
    const std::size_t length = decimalWidth(value);
    return spaces(width > length ? width - length : 0).number(value);
}

LineBuffer &LineBuffer::paddedText(std::string_view s, std::size_t width)
{
    return spaces(width > s.size() ? width - s.size() : 0).text(s);
}

LineBuffer &LineBuffer::spaces(std::size_t count)
{
    if (count > 0) {
        std::memset(reserve(count), ' ', count);
        m_used += count;
    }
    return *this;
}

bool LineBuffer::endLine()
{
    character('\n');
    return !m_failed;
}

bool LineBuffer::flush()
{
    if (m_used > 0 && !m_failed)
        m_failed = !m_sink.write({m_buffer.data(), m_used});
    m_used = 0;
    return !m_failed;
}

std::size_t decimalWidth(long long value)
{
    char digits[20];
    return static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                    digits);
}

} // namespace velmorin
