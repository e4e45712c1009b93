#include "TeamFile.h"

#include "SheetRows.h"
#include "TeamCsv.h"

#include <cstdint>

namespace velmorin {

namespace {

constexpr std::string_view kOdsMimeType = "application/vnd.oasis.opendocument.spreadsheet";

// The bytes at `offset`, none past the end: a file may be shorter than any header.
std::string_view bytesAt(std::string_view bytes, std::size_t offset, std::size_t count)
{
    return offset < bytes.size() ? bytes.substr(offset, count) : std::string_view();
}

bool isZip(std::string_view bytes)
{
    return bytes.substr(0, 4) == "PK\x03\x04";
}

// An ODS file is a zip whose first entry, stored uncompressed, is "mimetype".
bool looksLikeOds(std::string_view bytes)
{
    return isZip(bytes) && bytesAt(bytes, 30, 8) == "mimetype" &&
           bytesAt(bytes, 38, kOdsMimeType.size()) == kOdsMimeType;
}

// An XLSX file is a zip with an "xl/" folder.
bool looksLikeXlsx(std::string_view bytes)
{
    return isZip(bytes) && bytes.find("xl/") != std::string_view::npos;
}

bool looksLikeOldExcel(std::string_view bytes, std::string_view extension)
{
    // Excel 97-2003 is an OLE2 compound file.
    return extension == "xls" || bytes.substr(0, 8) == "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
}

std::string lowerExtension(std::string_view name)
{
    const std::size_t dot = name.find_last_of('.');
    std::string extension(dot == std::string_view::npos ? std::string_view()
                                                        : name.substr(dot + 1));
    for (char &c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t k = width; k-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
    return value;
}

// Whether the sizes a zip's directory declares are those of a spreadsheet: liborcus allocates
// what an entry declares before it inflates it, so a damaged or hostile directory claiming
// gigabytes would take the memory first. 256 MB of XML holds a sheet far larger than any list.
bool zipSizesAreSane(std::string_view bytes)
{
    constexpr std::uint64_t kLargestUnpacked = std::uint64_t{256} << 20;
    constexpr std::size_t kEndSize = 22;
    if (bytes.size() < kEndSize)
        return true; // no directory: the reader refuses it
    const std::size_t lowest =
        bytes.size() > kEndSize + 0xFFFF ? bytes.size() - kEndSize - 0xFFFF : 0;
    for (std::size_t end = bytes.size() - kEndSize + 1; end-- > lowest;) {
        if (bytes.substr(end, 4) != "PK\x05\x06")
            continue;
        std::size_t at = littleEndian(bytes, end + 16, 4);
        std::uint64_t unpacked = 0;
        // Every entry the directory holds, whatever count the end record claims: liborcus
        // reads on while the entries follow, and allocates what each declares.
        while (at <= bytes.size() && bytes.size() - at >= 46 &&
               bytes.substr(at, 4) == "PK\x01\x02") {
            unpacked += littleEndian(bytes, at + 24, 4);
            if (littleEndian(bytes, at + 20, 4) > bytes.size() || unpacked > kLargestUnpacked)
                return false;
            at += 46 + littleEndian(bytes, at + 28, 2) + littleEndian(bytes, at + 30, 2) +
                  littleEndian(bytes, at + 32, 2);
        }
        return true;
    }
    return true;
}

TeamListResult listFromSheet(const SheetRows &sheet, std::string_view fileName,
                             std::string_view kind)
{
    switch (sheet.fault) {
    case SheetRows::Fault::Unreadable:
        return refusedList(fileName,
                           "le classeur " + std::string(kind) + " est illisible (fichier abîmé ?)");
    case SheetRows::Fault::TooLarge:
        return refusedList(fileName, "la première feuille a plus de 1 048 576 lignes");
    case SheetRows::Fault::None:
        break;
    }
    TeamListResult result = teamListFromRows(fileName, sheet.rows);
    if (result.ok() && sheet.filledFromMerges > 0) {
        const std::size_t n = sheet.filledFromMerges;
        result.warnings.insert(
            result.warnings.begin(),
            "Liste « " + std::string(fileName) + " » : " + std::to_string(n) +
                (n == 1 ? " cellule fusionnée a été lue" : " cellules fusionnées ont été lues") +
                " avec le contenu affiché par la fusion (par exemple un club écrit une fois "
                "pour plusieurs équipes).");
    }
    return result;
}

} // namespace

TeamListResult readTeamListOds(std::string_view bytes, std::string_view fileName)
{
    if (!zipSizesAreSane(bytes))
        return listFromSheet(SheetRows{{}, 0, SheetRows::Fault::Unreadable}, fileName, "ODS");
    return listFromSheet(readOdsSheet(bytes), fileName, "ODS");
}

TeamListResult readTeamListXlsx(std::string_view bytes, std::string_view fileName)
{
    if (!zipSizesAreSane(bytes))
        return listFromSheet(SheetRows{{}, 0, SheetRows::Fault::Unreadable}, fileName, "Excel");
    return listFromSheet(readXlsxSheet(bytes), fileName, "Excel");
}

TeamListResult readTeamListBytes(std::string_view bytes, std::string_view name)
{
    if (looksLikeOds(bytes))
        return readTeamListOds(bytes, name);
    if (looksLikeXlsx(bytes))
        return readTeamListXlsx(bytes, name);
    if (looksLikeOldExcel(bytes, lowerExtension(name)))
        return refusedList(name, "les classeurs Excel 97-2003 (.xls) ne sont pas lus ; "
                                 "enregistrez-le au format XLSX, ODS ou CSV depuis le tableur, "
                                 "puis ouvrez ce fichier");
    if (isZip(bytes))
        return refusedList(name, "ce n'est ni une liste CSV ni un classeur ODS ou XLSX");
    return readTeamListCsv(bytes, name);
}

TeamListResult readTeamList(const std::string &path)
{
    const std::string name = displayName(path);
    const FileBytes file = readFileBytes(path);
    if (!file.bytes)
        return refusedList(name, file.reason);
    return readTeamListBytes(*file.bytes, name);
}

} // namespace velmorin
