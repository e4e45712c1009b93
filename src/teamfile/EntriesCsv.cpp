#include "EntriesCsv.h"

#include "CsvWriter.h"

namespace velmorin {

bool writeAssignmentCsv(const TeamList &list, const Assignment &assignment, ByteSink &sink,
                        char separator)
{
    const char decimal = separator == ',' ? '.' : ',';
    CsvWriter csv(sink, separator);
    for (const std::string_view column : kAssignmentColumns)
        csv.plain(column);
    for (const std::string &column : list.extraColumns)
        csv.text(column);
    if (!csv.plain(kOutOfLevelColumn).endRow())
        return false;
    for (const std::size_t index : assignment.rows()) {
        const Team &team = list.teams[index];
        csv.number(assignment.roundOfTeam[index]).text(team.name).text(team.club);
        csv.text(levelText(team.level));
        // Digits, a sign and the decimal mark: a number, never guarded, and a comma needs no
        // quotes between semicolons.
        csv.plain(team.points ? formatPoints(*team.points, decimal) : std::string());
        for (const std::string &value : team.extra)
            csv.text(value);
        if (!csv.plain(assignment.outOfLevel[index] ? "oui" : "").endRow())
            return false;
    }
    return csv.flush();
}

bool writeAssignmentFrenchCsv(const TeamList &list, const Assignment &assignment, ByteSink &sink)
{
    return sink.write(kUtf8Bom) && writeAssignmentCsv(list, assignment, sink, ';');
}

} // namespace velmorin
