#pragma once

// Team lists as files: CSV through the core, OpenDocument spreadsheets (first sheet) through
// libodsstream; and the entry lists as an ODS sheet. The window and the calculator both read
// and write through here. Files are only ever opened for reading here: the caller saves the
// bytes it is given (atomically, as it saves everything else).

#include "TeamAssignment.h"
#include "TeamList.h"

#include <QByteArray>

#include <string>
#include <string_view>

namespace velmorin {

// A list file, whatever its kind: ODS and CSV are read, an Excel workbook (.xlsx, .xls) is
// refused with the advice to save it as ODS or CSV. Messages name the file without its folder.
TeamListResult readTeamList(const std::string &path);

// An ODS file's bytes read as a team list: the first sheet's rows.
TeamListResult readTeamListOds(const QByteArray &bytes, std::string_view fileName);

// The assignment as an ODS document: a sheet "Entrées" with the CSV's columns and rows
// (tour, equipe, club, niveau, points, then the list's other columns), numbers as numbers.
// Empty when the document could not be made.
QByteArray assignmentOds(const TeamList &list, const Assignment &assignment);

// The list itself as an ODS document: a sheet "Équipes" with the columns Équipe, Club,
// Niveau, Points and the other columns, teams in the list's order.
QByteArray teamListOds(const TeamList &list);

} // namespace velmorin
