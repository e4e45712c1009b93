#include "EntriesCsv.h"

namespace velmorin {

bool writeAssignmentCsv(const TeamList &list, const Assignment &assignment, ByteSink &sink,
                        char separator)
{
    const char decimal = separator == ',' ? '.' : ',';
    LineBuffer line(sink);
    for (std::size_t c = 0; c < kAssignmentColumns.size(); ++c)
        line.text(c ? std::string_view(&separator, 1) : "").text(kAssignmentColumns[c]);
    for (const std::string &column : list.extraColumns)
        putCsvField(line.character(separator), column);
    line.character(separator).text(kOutOfLevelColumn);
    if (!line.endLine())
        return false;
    for (const std::size_t index : assignment.rows()) {
        const Team &team = list.teams[index];
        line.number(assignment.roundOfTeam[index]).character(separator);
        putCsvField(line, team.name);
        putCsvField(line.character(separator), team.club);
        putCsvField(line.character(separator), levelText(team.level));
        line.character(separator);
        // Digits, a sign and the decimal mark: a comma needs no quotes between semicolons.
        if (team.points)
            line.text(formatPoints(*team.points, decimal));
        for (const std::string &value : team.extra)
            putCsvField(line.character(separator), value);
        line.character(separator).text(assignment.outOfLevel[index] ? "oui" : "");
        if (!line.endLine())
            return false;
    }
    return line.flush();
}

bool writeAssignmentFrenchCsv(const TeamList &list, const Assignment &assignment, ByteSink &sink)
{
    return sink.write(kUtf8Bom) && writeAssignmentCsv(list, assignment, sink, ';');
}

} // namespace velmorin
