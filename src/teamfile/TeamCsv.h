#pragma once

// Reading a team list from CSV as spreadsheet programs write it: UTF-8 with or without a
// byte-order mark, or Windows-1252 (French Excel's "CSV (séparateur : point-virgule)");
// ";", "," or tab between fields, found from the header line; quoted fields with separators,
// doubled quotes and line breaks inside. The parsing itself is libcsv's.

#include "TeamList.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

// The bytes in UTF-8: a byte-order mark dropped, bytes that are not valid UTF-8 read as
// Windows-1252.
std::string csvTextToUtf8(std::string_view bytes);

// The separator of the header line (the first line that is not blank): the most frequent of
// ';', tab and ',' outside quotes, ';' first on a tie; ';' when there is none.
char detectSeparator(std::string_view utf8);

// The rows of a CSV text, each with the line it starts on; rows with no field at all (blank
// lines) are left out. A fault of the quoting gives no rows but where it is: the line where a
// quote stands inside an unquoted text or text follows a closing quote, or where the row whose
// quote is never closed starts; the cell's column (from 0) and its text up to the fault.
struct CsvRows
{
    enum class Fault { None, MisplacedQuote, OpenQuote };

    std::vector<SourceRow> rows;
    Fault fault = Fault::None;
    std::size_t faultLine = 0;
    std::size_t faultColumn = 0;
    std::string faultText;
};
CsvRows csvRows(std::string_view utf8, char separator);

// A whole file's bytes read as a team list; `fileName` names it in the messages.
TeamListResult readTeamListCsv(std::string_view bytes, std::string_view fileName);

// The file's bytes, the file opened for reading only; the French reason when it cannot be
// read ("fichier introuvable").
struct FileBytes
{
    std::optional<std::string> bytes;
    std::string reason;
};
FileBytes readFileBytes(const std::string &path);

// The name a message gives a file: its last path component.
std::string displayName(std::string_view path);

} // namespace velmorin
