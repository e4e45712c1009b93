#pragma once

// The entries, and a list itself, as OpenDocument spreadsheets, written in memory: the caller
// saves the bytes (atomically, as it saves everything else).

#include "TeamAssignment.h"
#include "TeamList.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmorin {

// The assignment as an ODS document: a sheet "Entrées" with the CSV's columns and rows (tour,
// equipe, club, niveau, points, the list's other columns, hors_niveau), numbers as numbers, a
// paragraph per line of a cell. Empty when the document could not be made.
std::string assignmentOds(const TeamList &list, const Assignment &assignment);

// The list itself as an ODS document: a sheet "Équipes" with the columns Équipe, Club,
// Niveau, Points and the other columns, teams in the list's order.
std::string teamListOds(const TeamList &list);

// An ODS package around a content.xml: the mimetype first and uncompressed, as spreadsheet
// programs look for it, and the manifest. Empty when it could not be made.
std::string odsPackage(std::string_view contentXml);

// A zip archive of these entries, the first stored uncompressed (an ODS package's mimetype).
// Empty when it could not be made.
std::string zipPackage(const std::vector<std::pair<std::string_view, std::string_view>> &entries);

// The start and the end of a content.xml whose body is a spreadsheet's tables.
extern const std::string_view kOdsContentStart;
extern const std::string_view kOdsContentEnd;

} // namespace velmorin
