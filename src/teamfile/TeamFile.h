#pragma once

// Team lists as files, whatever their kind: CSV, OpenDocument (.ods) and Excel (.xlsx)
// spreadsheets, their first sheet. The window and the calculator both read through here.
// Files are only ever opened for reading here.

#include "TeamList.h"

#include <string>
#include <string_view>

namespace velmorin {

// A list file: ODS, XLSX and CSV are read, an Excel 97-2003 workbook (.xls) is refused with the
// advice to save it as ODS, XLSX or CSV. Messages name the file without its folder.
TeamListResult readTeamList(const std::string &path);

// A file's bytes read as a team list, the kind found from the bytes and the name.
TeamListResult readTeamListBytes(std::string_view bytes, std::string_view fileName);

// An ODS or XLSX file's bytes read as a team list: the first sheet's rows.
TeamListResult readTeamListOds(std::string_view bytes, std::string_view fileName);
TeamListResult readTeamListXlsx(std::string_view bytes, std::string_view fileName);

} // namespace velmorin
