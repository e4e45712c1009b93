#include "TeamFile.h"

#include "SheetRows.h"
#include "TeamCsv.h"

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
    return listFromSheet(readOdsSheet(bytes), fileName, "ODS");
}

TeamListResult readTeamListXlsx(std::string_view bytes, std::string_view fileName)
{
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
