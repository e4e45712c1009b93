#include "EntriesCsv.h"

namespace velmorin {

void putCsvField(LineBuffer &line, std::string_view text)
{
    const bool quote = text.find_first_of(",;\t\"\n\r") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        line.text(text);
        return;
    }
    line.character('"');
    for (std::size_t from = 0;;) {
        const std::size_t quoteAt = text.find('"', from);
        line.text(text.substr(from, quoteAt - from));
        if (quoteAt == std::string_view::npos)
            break;
        line.text("\"\"");
        from = quoteAt + 1;
    }
    line.character('"');
}

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
        line.character(separator).text(levelText(team.level)).character(separator);
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
