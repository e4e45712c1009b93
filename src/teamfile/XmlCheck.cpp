#include "XmlCheck.h"

#include <expat.h>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <vector>

namespace velmorin {

namespace {

// Whether liborcus would start parsing `part` as XML: it skips a byte-order mark and what it
// takes for spaces and control bytes (any byte below '!', and, with a signed char, any byte
// from 0x80) and then wants '<'. Skipping all of these here checks at least what it parses.
bool startsAsXml(std::string_view part)
{
    for (const char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x80)
            continue;
        return c == '<';
    }
    return false;
}

void XMLCALL refuseDoctype(void *userData, const XML_Char *, const XML_Char *, const XML_Char *,
                           int)
{
    XML_StopParser(static_cast<XML_Parser>(userData), XML_FALSE);
}

struct ParserFree
{
    void operator()(XML_ParserStruct *parser) const { XML_ParserFree(parser); }
};

} // namespace

bool xmlPartIsSound(std::string_view part)
{
    if (!startsAsXml(part))
        return true;
    // liborcus ends an inflated part with a zero byte of its own.
    while (!part.empty() && part.back() == '\0')
        part.remove_suffix(1);
    // liborcus skips a byte-order mark and spaces before the declaration, which expat refuses.
    if (part.substr(0, 3) == "\xEF\xBB\xBF")
        part.remove_prefix(3);
    while (!part.empty() && static_cast<unsigned char>(part.front()) <= ' ' && part.front() != '\0')
        part.remove_prefix(1);
    if (part.find('\0') != std::string_view::npos)
        return false; // UTF-16, or damage: liborcus reads bytes
    const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    if (!parser)
        throw std::bad_alloc();
    XML_SetUserData(parser.get(), parser.get());
    XML_SetStartDoctypeDeclHandler(parser.get(), refuseDoctype);
    // XML_Parse takes an int length: a part larger than that goes in pieces.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    do {
        const std::string_view piece = part.substr(0, kPiece);
        part.remove_prefix(piece.size());
        if (XML_Parse(parser.get(), piece.data(), static_cast<int>(piece.size()),
                      part.empty() ? XML_TRUE : XML_FALSE) != XML_STATUS_OK)
            return false;
    } while (!part.empty());
    return true;
}

bool zipXmlPartsAreSound(std::string_view bytes)
{
    try {
        orcus::zip_archive_stream_blob stream(reinterpret_cast<const std::uint8_t *>(bytes.data()),
                                              bytes.size());
        orcus::zip_archive archive(&stream);
        archive.load();
        std::vector<unsigned char> part;
        for (std::size_t k = 0; k < archive.get_file_entry_count(); ++k) {
            const std::string_view name = archive.get_file_entry_name(k);
            if (!name.empty() && name.back() == '/')
                continue; // a folder
            part.clear();
            if (!archive.read_file_entry(name, part))
                return false;
            if (!xmlPartIsSound(
                    std::string_view(reinterpret_cast<const char *>(part.data()), part.size())))
                return false;
        }
        return true;
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace velmorin
