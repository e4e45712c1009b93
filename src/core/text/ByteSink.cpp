#include "ByteSink.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <ostream>

namespace velmorin {

bool OstreamSink::write(std::string_view bytes)
{
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return m_out.good();
}

bool StringSink::write(std::string_view bytes)
{
    m_text += bytes;
    return true;
}

LineBuffer::LineBuffer(ByteSink &sink, std::size_t capacity) : m_sink(sink), m_buffer(capacity) {}

LineBuffer::~LineBuffer()
{
    flush();
}

void LineBuffer::makeRoom(std::size_t size)
{
    flush();
    if (m_buffer.size() < size)
        m_buffer.resize(size);
}

LineBuffer &LineBuffer::text(std::string_view s)
{
    ensure(s.size());
    std::memcpy(m_buffer.data() + m_used, s.data(), s.size());
    m_used += s.size();
    m_lineEnds += static_cast<std::uint64_t>(std::count(s.begin(), s.end(), '\n'));
    return *this;
}

LineBuffer &LineBuffer::paddedText(std::string_view s, std::size_t width)
{
    return spaces(width > s.size() ? width - s.size() : 0).text(s);
}

LineBuffer &LineBuffer::spaces(std::size_t count)
{
    ensure(count);
    std::memset(m_buffer.data() + m_used, ' ', count);
    m_used += count;
    return *this;
}

bool LineBuffer::flush()
{
    if (m_used > 0 && !m_failed)
        m_failed = !m_sink.writeLines({m_buffer.data(), m_used}, m_lineEnds);
    m_used = 0;
    m_lineEnds = 0;
    return !m_failed;
}

std::size_t decimalWidth(long long value)
{
    char digits[20];
    return static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                    digits);
}

} // namespace velmorin
