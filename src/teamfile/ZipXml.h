#pragma once

// The XML parts of a spreadsheet's zip, each parsed once by liborcus's SAX parser.
//
// The parser trusts the markup: in a damaged part (a quote or a comment left open, a tag cut
// at the end) it reads past the text, and its assertions (Debian builds them in) abort the
// whole program. Each part's markup is first checked to end where XML says it does, a pass
// over the bytes much cheaper than a second parser, and a damaged part is refused.
//
// Namespaces are resolved here rather than by liborcus's namespace-aware parser, which
// allocates and hashes for every element: a part declares a handful of prefixes, and a reader
// looks at two or three namespaces.

#include "SheetRows.h"

#include <orcus/sax_parser.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace velmorin {

// A name's namespace: the index of its URI in the list the reader gave, or one of these.
constexpr int kNoNamespace = -1;    // an attribute without prefix, an element outside any
constexpr int kOtherNamespace = -2; // a namespace the reader does not look at

struct XmlName
{
    int ns = kNoNamespace;
    std::string_view name;

    bool is(int space, std::string_view local) const { return ns == space && name == local; }
};

// Feeds liborcus's parser into a handler that has
//   attribute(XmlName, std::string_view value)  — each attribute of the element that follows,
//   startElement(XmlName), endElement(XmlName), characters(std::string_view).
// An attribute's value lives until startElement returns; characters only during the call.
template <class Handler> class NamespacedSax
{
public:
    NamespacedSax(Handler &handler, const std::string_view *namespaces, std::size_t count)
        : m_handler(handler), m_namespaces(namespaces), m_namespaceCount(count)
    {}

    void doctype(const orcus::sax::doctype_declaration &) {}
    void start_declaration(std::string_view) { m_inDeclaration = true; }
    void end_declaration(std::string_view) { m_inDeclaration = false; }

    void attribute(const orcus::sax::parser_attribute &attr)
    {
        if (m_inDeclaration)
            return;
        if (attr.ns.empty() && attr.name == "xmlns")
            declare(std::string_view(), attr.value);
        else if (attr.ns == "xmlns")
            declare(attr.name, attr.value);
        else
            m_attributes.push_back(attr);
    }

    void start_element(const orcus::sax::parser_element &element)
    {
        ++m_depth;
        for (const orcus::sax::parser_attribute &attr : m_attributes)
            m_handler.attribute({attr.ns.empty() ? kNoNamespace : resolve(attr.ns), attr.name},
                                attr.value);
        m_attributes.clear();
        const int ns = resolve(element.ns);
        m_open.push_back({element.ns, element.name, ns});
        m_sawRoot = true;
        m_handler.startElement({ns, element.name});
    }

    void end_element(const orcus::sax::parser_element &element)
    {
        if (m_open.empty() || !same(m_open.back().prefix, element.ns) ||
            !same(m_open.back().name, element.name))
            throw orcus::sax::malformed_xml_error("mis-matching closing element", 0);
        const int ns = m_open.back().ns;
        m_open.pop_back();
        m_handler.endElement({ns, element.name});
        bool popped = false;
        while (!m_declared.empty() && m_declared.back().depth == m_depth) {
            m_declared.pop_back();
            popped = true;
        }
        if (popped)
            m_recent = {};
        --m_depth;
    }

    void characters(std::string_view text, bool) { m_handler.characters(text); }

    // Whether the root element was closed: liborcus's parser stops at the end of the text
    // without a word for the elements still open.
    bool complete() const { return m_sawRoot && m_open.empty(); }

private:
    struct Open
    {
        std::string_view prefix;
        std::string_view name;
        int ns;
    };
    struct Declared
    {
        std::string_view prefix;
        int ns;
        int depth;
    };
    struct Recent
    {
        std::string_view prefix;
        int ns = kOtherNamespace;
        bool known = false;
    };

    void declare(std::string_view prefix, std::string_view uri)
    {
        int ns = kOtherNamespace;
        for (std::size_t k = 0; k < m_namespaceCount; ++k) {
            if (m_namespaces[k] == uri) {
                ns = int(k);
                break;
            }
        }
        // Declared on the element whose start follows.
        m_declared.push_back({prefix, uri.empty() ? kNoNamespace : ns, m_depth + 1});
        m_recent = {};
    }

    // Names and prefixes are short: compared here rather than by a call to the C library.
    static bool same(std::string_view a, std::string_view b)
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (a[k] != b[k])
                return false;
        }
        return true;
    }

    int resolve(std::string_view prefix)
    {
        // A sheet names the same two or three prefixes over and over.
        for (const Recent &recent : m_recent) {
            if (recent.known && same(recent.prefix, prefix))
                return recent.ns;
        }
        int ns = prefix.empty() ? kNoNamespace : kOtherNamespace;
        for (auto at = m_declared.rbegin(); at != m_declared.rend(); ++at) {
            if (same(at->prefix, prefix)) {
                ns = at->ns;
                break;
            }
        }
        std::move_backward(m_recent.begin(), m_recent.end() - 1, m_recent.end());
        m_recent.front() = {prefix, ns, true};
        return ns;
    }

    Handler &m_handler;
    const std::string_view *m_namespaces;
    std::size_t m_namespaceCount;
    bool m_inDeclaration = false;
    bool m_sawRoot = false;
    int m_depth = 0;
    std::vector<orcus::sax::parser_attribute> m_attributes;
    std::vector<Open> m_open;
    std::vector<Declared> m_declared;
    std::array<Recent, 4> m_recent{};
};

// Whether the markup of `part` is whole: every tag, attribute value, reference, comment and
// section ends before the part does, up to the root's end; no zero byte, no document type.
bool xmlMarkupIsWhole(std::string_view part);

// Parses `part` into `handler`; throws on damage, a cut part included.
template <class Handler, std::size_t N>
void parseXmlPart(std::vector<unsigned char> part, Handler &handler,
                  const std::array<std::string_view, N> &namespaces)
{
    // liborcus's zip archive ends an inflated part with zero bytes of its own.
    while (!part.empty() && part.back() == 0)
        part.pop_back();
    if (!xmlMarkupIsWhole(
            std::string_view(reinterpret_cast<const char *>(part.data()), part.size())))
        throw orcus::sax::malformed_xml_error("damaged markup", 0);
    const std::size_t size = part.size();
    // A zero byte after the part, as after a C string, and nothing more: a sanitizer sees any
    // read past it.
    part.reserve(size + 1);
    part.push_back(0);
    if (part.capacity() != part.size())
        part.shrink_to_fit();
    NamespacedSax<Handler> wrapper(handler, namespaces.data(), N);
    orcus::sax_parser<NamespacedSax<Handler>> parser(reinterpret_cast<const char *>(part.data()),
                                                     size, wrapper);
    parser.parse();
    if (!wrapper.complete())
        throw orcus::sax::malformed_xml_error("the part ends inside an element", 0);
}

// A zip archive read from memory; throws when it is not one.
class ZipXml
{
public:
    explicit ZipXml(std::string_view bytes)
        : m_stream(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()),
          m_archive(&m_stream)
    {
        m_archive.load();
    }

    // Reads the part `name` into `handler`, which knows the given namespaces: false when the
    // archive has no such part.
    template <class Handler, std::size_t N = 0>
    bool parse(std::string_view name, Handler &handler,
               const std::array<std::string_view, N> &namespaces = {})
    {
        std::vector<unsigned char> part;
        if (!m_archive.read_file_entry(name, part))
            return false;
        parseXmlPart(std::move(part), handler, namespaces);
        return true;
    }

private:
    orcus::zip_archive_stream_blob m_stream;
    orcus::zip_archive m_archive;
};

// The sheet `read` takes from the zip `bytes`: unreadable when it gives none, or when the zip
// or a part is damaged (anything thrown but a lack of memory).
template <class Read> SheetRows readZipSheet(std::string_view bytes, Read read)
{
    try {
        ZipXml zip(bytes);
        if (std::optional<SheetRows> sheet = read(zip))
            return std::move(*sheet);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const std::exception &) {
    }
    SheetRows failed;
    failed.fault = SheetRows::Fault::Unreadable;
    return failed;
}

} // namespace velmorin
