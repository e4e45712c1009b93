#include "EntriesOds.h"

#include "CsvWriter.h"
#include "EntriesCsv.h"

#include <zip.h>

#include <memory>

namespace velmorin {

const std::string_view kOdsContentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-content "
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
    "<office:body><office:spreadsheet>";
const std::string_view kOdsContentEnd =
    "</office:spreadsheet></office:body></office:document-content>";

namespace {

constexpr std::string_view kMimeType = "application/vnd.oasis.opendocument.spreadsheet";
constexpr std::string_view kManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
    "manifest:version=\"1.2\">"
    "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
    "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
    "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
    "</manifest:manifest>";

void appendEscaped(std::string &xml, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '<':
            xml += "&lt;";
            break;
        case '>':
            xml += "&gt;";
            break;
        case '&':
            xml += "&amp;";
            break;
        case '"':
            xml += "&quot;";
            break;
        default:
            // XML 1.0 has no place for other control characters.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                xml += c;
        }
    }
}

// A sheet's content.xml, a row at a time.
class SheetXml
{
public:
    explicit SheetXml(std::string_view name)
    {
        m_xml = kOdsContentStart;
        m_xml += "<table:table table:name=\"";
        appendEscaped(m_xml, name);
        m_xml += "\">";
    }
    void row() { m_xml += m_rows++ ? "</table:table-row><table:table-row>" : "<table:table-row>"; }
    // A text cell: a paragraph per line, spaces kept as the sheet had them.
    void text(std::string_view text)
    {
        if (text.empty()) {
            m_xml += "<table:table-cell/>";
            return;
        }
        m_xml += "<table:table-cell office:value-type=\"string\"><text:p>";
        // An ODS text is never run as a formula: only an apostrophe the readers would take
        // off is guarded.
        if (losesApostrophe(text))
            m_xml += '\'';
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\r' || c == '\n') {
                i += c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
                m_xml += "</text:p><text:p>";
            } else if (c == ' ' && (i == 0 || text[i - 1] == ' ' || i + 1 == text.size())) {
                m_xml += "<text:s/>"; // XML readers fold a leading, trailing or doubled space
            } else {
                appendEscaped(m_xml, std::string_view(&c, 1));
            }
        }
        m_xml += "</text:p></table:table-cell>";
    }
    void number(double value)
    {
        const std::string plain = formatPoints(value, '.');
        m_xml += "<table:table-cell office:value-type=\"float\" office:value=\"" + plain +
                 "\"><text:p>" + plain + "</text:p></table:table-cell>";
    }
    std::string finish()
    {
        if (m_rows)
            m_xml += "</table:table-row>";
        m_xml += "</table:table>";
        m_xml += kOdsContentEnd;
        return odsPackage(m_xml);
    }

private:
    std::string m_xml;
    std::size_t m_rows = 0;
};

// The cells a team's row shares between both documents: name, club, level, points, others.
void teamCells(SheetXml &sheet, const Team &team)
{
    sheet.text(team.name);
    sheet.text(team.club);
    // A numbered level is a number cell, a division's name a text cell.
    if (team.level && team.level->isNumber())
        sheet.number(team.level->number());
    else if (team.level)
        sheet.text(team.level->text());
    else
        sheet.text({});
    if (team.points)
        sheet.number(*team.points);
    else
        sheet.text({});
    for (const std::string &value : team.extra)
        sheet.text(value);
}

struct ZipDiscard
{
    void operator()(zip_t *zip) const { zip_discard(zip); }
};
struct SourceFree
{
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};

bool addEntry(zip_t *zip, const char *name, std::string_view bytes, bool stored)
{
    zip_source_t *source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(zip, static_cast<zip_uint64_t>(index),
                                    stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0;
}

} // namespace

std::string odsPackage(std::string_view contentXml)
{
    return zipPackage({{"mimetype", kMimeType},
                       {"META-INF/manifest.xml", kManifest},
                       {"content.xml", contentXml}});
}

std::string zipPackage(const std::vector<std::pair<std::string_view, std::string_view>> &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer)
        return {};
    std::unique_ptr<zip_t, ZipDiscard> zip(
        zip_open_from_source(buffer.get(), ZIP_TRUNCATE, nullptr));
    if (!zip)
        return {};
    zip_source_keep(buffer.get()); // the archive holds it too, and closing it writes into it
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const std::string name(entries[k].first);
        if (!addEntry(zip.get(), name.c_str(), entries[k].second, k == 0))
            return {};
    }
    if (zip_close(zip.get()) != 0)
        return {};
    zip.release(); // closed

    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(buffer.get()) != 0)
        return {};
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size)
        return {};
    return bytes;
}

std::string assignmentOds(const TeamList &list, const Assignment &assignment)
{
    SheetXml sheet("Entrées");
    sheet.row();
    for (const std::string_view column : kAssignmentColumns)
        sheet.text(column);
    for (const std::string &column : list.extraColumns)
        sheet.text(column);
    sheet.text(kOutOfLevelColumn);
    for (const std::size_t index : assignment.rows()) {
        sheet.row();
        sheet.number(assignment.roundOfTeam[index]);
        teamCells(sheet, list.teams[index]);
        sheet.text(assignment.outOfLevel[index] ? "oui" : "");
    }
    return sheet.finish();
}

std::string teamListOds(const TeamList &list)
{
    SheetXml sheet("Équipes");
    sheet.row();
    for (const char *column : {"Équipe", "Club", "Niveau", "Points"})
        sheet.text(column);
    for (const std::string &column : list.extraColumns)
        sheet.text(column);
    for (const Team &team : list.teams) {
        sheet.row();
        teamCells(sheet, team);
    }
    return sheet.finish();
}

} // namespace velmorin
