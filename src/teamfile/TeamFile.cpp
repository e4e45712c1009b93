#include "TeamFile.h"

#include "TeamCsv.h"

#include <odsdochandlerinterface.h>
#include <odsdocreader.h>
#include <odsdocwriter.h>
#include <odsexception.h>

#include <QBuffer>
#include <QXmlStreamReader>

#include <quazip.h>
#include <quazipfile.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <optional>

namespace velmorin {

namespace {

constexpr const char *kUnreadableOds = "le classeur ODS est illisible (fichier abîmé ?)";

constexpr std::string_view kOdsMimeType = "application/vnd.oasis.opendocument.spreadsheet";

// The bytes at `offset`, none past the end: a file may be shorter than any header.
std::string_view bytesAt(std::string_view bytes, std::size_t offset, std::size_t count)
{
    return offset < bytes.size() ? bytes.substr(offset, count) : std::string_view();
}

// An ODS file is a zip whose first entry, stored uncompressed, is "mimetype".
bool looksLikeOds(std::string_view bytes)
{
    return bytesAt(bytes, 0, 4) == "PK\x03\x04" && bytesAt(bytes, 30, 8) == "mimetype" &&
           bytesAt(bytes, 38, kOdsMimeType.size()) == kOdsMimeType;
}

bool looksLikeExcel(std::string_view bytes, std::string_view extension)
{
    // Excel 97-2003 is an OLE2 compound file; .xlsx a zip with an "xl/" folder.
    return extension == "xlsx" || extension == "xls" || extension == "xlsm" ||
           bytes.substr(0, 8) == "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" ||
           (bytes.substr(0, 4) == "PK\x03\x04" && bytes.find("xl/") != std::string_view::npos);
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

// A number cell as the list reads it: whole numbers without a decimal part.
std::string numberText(double value)
{
    char digits[32];
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

// How many times each row of the first sheet stands: a sheet stores equal rows next to each
// other once, with a repeat count (blank rows between blocks, two teams written alike), and
// the reader hands each such row over once. Read from content.xml beside the reader.
std::optional<std::vector<std::size_t>> firstSheetRowRepeats(QBuffer &document)
{
    QuaZip zip(&document);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(QStringLiteral("content.xml")))
        return std::nullopt;
    QuaZipFile content(&zip);
    if (!content.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::vector<std::size_t> repeats;
    QXmlStreamReader xml(&content);
    int depth = 0; // inside the first table
    // A read that fails (a damaged deflate stream) leaves the reader short of its end for
    // good, waiting for more data: stop at the first error.
    while (!xml.atEnd() && !xml.hasError()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (depth > 0 || xml.qualifiedName() == QLatin1String("table:table"))
                ++depth;
            if (depth > 0 && xml.qualifiedName() == QLatin1String("table:table-row")) {
                bool number = false;
                const qulonglong count = xml.attributes()
                                             .value(QLatin1String("table:number-rows-repeated"))
                                             .toULongLong(&number);
                repeats.push_back(number && count > 0 ? static_cast<std::size_t>(count) : 1);
            }
        } else if (token == QXmlStreamReader::EndElement && depth > 0) {
            if (--depth == 0)
                break;
        }
    }
    // Past the first table the reading stopped without an error.
    if (xml.hasError())
        return std::nullopt;
    return repeats;
}

// A sheet may have this many rows; a row repeated past it is blank formatting.
constexpr std::size_t kLargestSheet = std::size_t{1} << 20;

// Collects the first sheet's rows; the reader goes through the whole document regardless.
class FirstSheet : public OdsDocHandlerInterface
{
public:
    explicit FirstSheet(std::vector<std::size_t> repeats) : m_repeats(std::move(repeats)) {}

    std::vector<SourceRow> rows;
    bool tooLarge = false;

    void startSheet(const QString &) override { ++m_sheets; }
    void endSheet() override {}
    void startLine() override
    {
        m_row = SourceRow();
        m_row.line = m_nextLine;
    }
    void endLine() override
    {
        if (m_sheets != 1)
            return;
        // Past the largest sheet a count says no more; kept below it, the line numbers cannot
        // run past 2^64 and start again at 0, whatever a file claims.
        const std::size_t repeat =
            std::min(m_rowIndex < m_repeats.size() ? m_repeats[m_rowIndex] : 1, kLargestSheet + 1);
        ++m_rowIndex;
        m_nextLine += repeat;
        // A sheet's rows run on with blank cells to its last column: they say nothing.
        while (!m_row.cells.empty() && m_row.cells.back().empty())
            m_row.cells.pop_back();
        if (m_row.cells.empty())
            return;
        if (m_nextLine > kLargestSheet) {
            tooLarge = true;
            return;
        }
        for (std::size_t k = 1; k < repeat; ++k) {
            rows.push_back(m_row);
            ++m_row.line;
        }
        rows.push_back(std::move(m_row));
    }
    void setCell(const OdsCell &cell) override
    {
        if (m_sheets != 1)
            return;
        if (cell.isEmpty())
            m_row.cells.emplace_back();
        else if (cell.isDouble())
            m_row.cells.push_back(numberText(cell.getDoubleValue()));
        else
            m_row.cells.push_back(cell.toString().toStdString());
    }
    void endDocument() override {}

private:
    std::vector<std::size_t> m_repeats;
    std::size_t m_rowIndex = 0;
    std::size_t m_nextLine = 1;
    int m_sheets = 0;
    SourceRow m_row;
};

QString qString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Writes a document into memory; the caller saves the bytes.
template <typename Fill> QByteArray odsDocument(Fill fill)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    try {
        OdsDocWriter writer(&buffer);
        fill(writer);
        writer.close();
    } catch (const std::exception &) {
        return {};
    }
    return buffer.data();
}

// The cells a team's row shares between both documents: name, club, level, points.
void writeTeamCells(CalcWriterInterface &writer, const Team &team)
{
    writer.writeCell(qString(team.name));
    writer.writeCell(qString(team.club));
    if (team.level && team.level->isNumber())
        writer.writeCell(team.level->number());
    else if (team.level)
        writer.writeCell(qString(team.level->text()));
    else
        writer.writeEmptyCell();
    if (team.points)
        writer.writeCell(*team.points);
    else
        writer.writeEmptyCell();
    for (const std::string &value : team.extra)
        writer.writeCell(qString(value));
}

} // namespace

TeamListResult readTeamListOds(const QByteArray &bytes, std::string_view fileName)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    std::optional<std::vector<std::size_t>> repeats = firstSheetRowRepeats(buffer);
    if (!repeats)
        return refusedList(fileName, kUnreadableOds);
    // QuaZip closes the device it read.
    if (!buffer.isOpen())
        buffer.open(QIODevice::ReadOnly);
    buffer.seek(0);
    FirstSheet sheet(std::move(*repeats));
    try {
        OdsDocReader reader(sheet);
        reader.parse(&buffer);
    } catch (const std::exception &) {
        return refusedList(fileName, kUnreadableOds);
    }
    if (sheet.tooLarge)
        return refusedList(fileName, "la première feuille a plus de 1 048 576 lignes");
    return teamListFromRows(fileName, sheet.rows);
}

TeamListResult readTeamList(const std::string &path)
{
    const std::string name = displayName(path);
    const FileBytes file = readFileBytes(path);
    if (!file.bytes)
        return refusedList(name, file.reason);
    const std::string &bytes = *file.bytes;
    if (looksLikeOds(bytes))
        return readTeamListOds(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                               name);
    if (looksLikeExcel(bytes, lowerExtension(name)))
        return refusedList(name, "les classeurs Excel (.xlsx, .xls) ne sont pas lus ; "
                                 "enregistrez-le au format ODS ou CSV depuis le tableur, "
                                 "puis ouvrez ce fichier");
    if (bytes.substr(0, 4) == "PK\x03\x04")
        return refusedList(name, "ce n'est ni une liste CSV ni un classeur ODS");
    return readTeamListCsv(bytes, name);
}

QByteArray assignmentOds(const TeamList &list, const Assignment &assignment)
{
    return odsDocument([&](OdsDocWriter &writer) {
        writer.writeSheet(QStringLiteral("Entrées"));
        for (const std::string_view column : kAssignmentColumns)
            writer.writeCell(qString(column));
        for (const std::string &column : list.extraColumns)
            writer.writeCell(qString(column));
        for (const std::size_t index : assignment.rows()) {
            writer.writeLine();
            writer.writeCell(assignment.roundOfTeam[index]);
            writeTeamCells(writer, list.teams[index]);
        }
    });
}

QByteArray teamListOds(const TeamList &list)
{
    return odsDocument([&](OdsDocWriter &writer) {
        writer.writeSheet(QStringLiteral("Équipes"));
        for (const char *column : {"Équipe", "Club", "Niveau", "Points"})
            writer.writeCell(QString::fromUtf8(column));
        for (const std::string &column : list.extraColumns)
            writer.writeCell(qString(column));
        for (const Team &team : list.teams) {
            writer.writeLine();
            writeTeamCells(writer, team);
        }
    });
}

} // namespace velmorin
