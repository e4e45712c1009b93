#include "ZipXml.h"

#include <array>

namespace velmorin {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c, bool hexadecimal)
{
    const auto lower = static_cast<unsigned char>(static_cast<unsigned char>(c) | 0x20);
    return (c >= '0' && c <= '9') || (hexadecimal && lower >= 'a' && lower <= 'f');
}

constexpr unsigned long kLastCharacter = 0x10FFFF;

// What each byte may be, looked up rather than compared: most of a part is names.
enum ByteClass : unsigned char {
    kNameStart = 1,
    kNameChar = 2,
    kMarkup = 4, // ends a run of text or of an attribute's value: < & " '
};

constexpr std::array<unsigned char, 256> byteClasses()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter || c == '_' || c == ':' || c >= 0x80)
            classes[std::size_t(c)] = kNameStart | kNameChar;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            classes[std::size_t(c)] = kNameChar;
    }
    for (const char c : {'<', '&', '"', '\''})
        classes[static_cast<unsigned char>(c)] |= kMarkup;
    return classes;
}

constexpr std::array<unsigned char, 256> kByteClasses = byteClasses();

bool is(char c, ByteClass kind)
{
    return (kByteClasses[static_cast<unsigned char>(c)] & kind) != 0;
}

// The markup of a part, read as XML lays it out: where each tag, attribute value, reference,
// comment and section ends. Names and characters are left to the parser.
class Markup
{
public:
    explicit Markup(std::string_view part) : m_at(part.data()), m_end(part.data() + part.size()) {}

    bool isWhole()
    {
        if (std::string_view(m_at, std::size_t(m_end - m_at)).substr(0, 3) == "\xEF\xBB\xBF")
            m_at += 3;
        int depth = 0;
        while (true) {
            if (depth == 0) {
                spaces();
            } else {
                while (true) {
                    while (m_at != m_end && !is(*m_at, kMarkup))
                        ++m_at;
                    if (m_at == m_end || *m_at == '<')
                        break;
                    if (*m_at++ == '&' && !reference())
                        return false; // a quote in text is text
                }
            }
            if (m_at == m_end || *m_at != '<' || ++m_at == m_end)
                return false;
            if (*m_at == '/') {
                ++m_at;
                if (!name())
                    return false;
                spaces();
                if (!take('>'))
                    return false;
                if (--depth == 0)
                    return true; // the parser reads no further than the root's end
            } else if (*m_at == '?') {
                ++m_at;
                if (!name() || !attributes() || !take('?') || !take('>'))
                    return false;
            } else if (*m_at == '!') {
                if (!passed("!--", "-->") && !passed("![CDATA[", "]]>"))
                    return false; // a document type among them: no spreadsheet part has one
            } else {
                if (!name() || !attributes())
                    return false;
                if (take('>'))
                    ++depth;
                else if (!take('/') || !take('>'))
                    return false;
                else if (depth == 0)
                    return true; // an empty root
            }
        }
    }

private:
    bool take(char c)
    {
        if (m_at == m_end || *m_at != c)
            return false;
        ++m_at;
        return true;
    }

    void spaces()
    {
        while (m_at != m_end && isSpace(*m_at))
            ++m_at;
    }

    bool name()
    {
        if (m_at == m_end || !is(*m_at, kNameStart))
            return false;
        while (++m_at != m_end && is(*m_at, kNameChar)) {
        }
        return true;
    }

    // After '&': a name, or the number of a Unicode character, then ';'.
    bool reference()
    {
        if (take('#')) {
            const bool hexadecimal = take('x');
            const char *digits = m_at;
            unsigned long point = 0;
            while (m_at != m_end && isDigit(*m_at, hexadecimal)) {
                const auto lower = static_cast<unsigned char>(*m_at++) | 0x20u;
                point = point * (hexadecimal ? 16 : 10) +
                        (lower >= 'a' ? lower - 'a' + 10 : lower - '0');
                if (point > kLastCharacter)
                    return false; // the parser's own check aborts the program
            }
            if (m_at == digits)
                return false;
        } else if (!name()) {
            return false;
        }
        return take(';');
    }

    // The attributes of a tag, up to its end ('>', "/>" or "?>") left to read.
    bool attributes()
    {
        while (true) {
            const bool spaced = m_at != m_end && isSpace(*m_at);
            spaces();
            if (m_at == m_end)
                return false;
            if (*m_at == '>' || *m_at == '/' || *m_at == '?')
                return true;
            if (!spaced || !name())
                return false;
            spaces();
            if (!take('='))
                return false;
            spaces();
            if (m_at == m_end || (*m_at != '"' && *m_at != '\''))
                return false;
            const char quote = *m_at++;
            // The parser reads a value with a reference on to a double quote, whichever
            // quote opened it: a single-quoted one may not hold any.
            while (true) {
                while (m_at != m_end && !is(*m_at, kMarkup))
                    ++m_at;
                if (m_at == m_end || *m_at == quote)
                    break;
                const char c = *m_at++;
                if (c == '<' || (c == '&' && (quote != '"' || !reference())))
                    return false; // the other quote is a character of the value
            }
            if (!take(quote))
                return false;
        }
    }

    // Past a comment or a section that starts with `start` here and ends with `end`.
    bool passed(std::string_view start, std::string_view end)
    {
        const std::string_view rest(m_at, std::size_t(m_end - m_at));
        if (rest.substr(0, start.size()) != start)
            return false;
        const std::size_t found = rest.find(end, start.size());
        if (found == std::string_view::npos)
            return false;
        m_at += found + end.size();
        return true;
    }

    const char *m_at;
    const char *const m_end;
};

} // namespace

bool xmlMarkupIsWhole(std::string_view part)
{
    return part.find('\0') == std::string_view::npos && Markup(part).isWhole();
}

} // namespace velmorin
