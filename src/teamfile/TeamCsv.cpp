#include "TeamCsv.h"

#include "CsvWriter.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace velmorin {

namespace {

// A team list is a few hundred lines; past this size the file is surely something else.
constexpr std::size_t kLargestFile = std::size_t{64} << 20;

// Windows-1252's bytes 0x80 to 0x9F; the five it leaves undefined keep their C1 code points,
// as Windows itself reads them.
constexpr std::array<char32_t, 32> kWindows1252{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
            (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

void appendUtf8(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Where libcsv's callbacks put the rows.
struct RowCollector
{
    std::vector<SourceRow> rows;
    SourceRow current;
    std::size_t line = 1;        // the line the current row starts on
    std::size_t innerBreaks = 0; // line breaks inside the current row's quoted fields
    int lastTerminator = 0;      // '\r' right after a row that ended with one
    bool rowHasFields = false;
};

// Line breaks in a text: "\n", "\r\n" and a lone "\r" each count once.
std::size_t lineBreaks(const char *text, std::size_t size)
{
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == size || text[i + 1] != '\n')))
            ++breaks;
    }
    return breaks;
}

void onField(void *data, std::size_t size, void *context)
{
    auto &collector = *static_cast<RowCollector *>(context);
    const char *text = static_cast<const char *>(data);
    // A cell the writers guarded against formulas ("'=x") reads as it was ("=x").
    collector.current.cells.emplace_back(
        unguardedCellText(std::string_view(text ? text : "", text ? size : 0)));
    collector.rowHasFields = true;
    collector.innerBreaks += text ? lineBreaks(text, size) : 0;
}

void onRowEnd(int terminator, void *context)
{
    auto &collector = *static_cast<RowCollector *>(context);
    // Every line end ends a row (CSV_REPALL_NL): the '\n' of a "\r\n" comes as a row of its
    // own, with no field, and is no new line.
    const bool secondHalfOfCrLf =
        terminator == '\n' && !collector.rowHasFields && collector.lastTerminator == '\r';
    if (collector.rowHasFields) {
        collector.current.line = collector.line;
        collector.rows.push_back(std::move(collector.current));
    }
    collector.current = SourceRow();
    if (!secondHalfOfCrLf)
        collector.line += collector.innerBreaks + (terminator == -1 ? 0 : 1);
    collector.innerBreaks = 0;
    collector.rowHasFields = false;
    collector.lastTerminator = secondHalfOfCrLf ? 0 : terminator;
}

// Spaces around an unquoted field and before a quote are not part of it; a tab may be the
// separator, so it never counts as a space.
int isSpace(unsigned char c)
{
    return c == ' ';
}

struct ParserDeleter
{
    void operator()(csv_parser *parser) const
    {
        csv_free(parser);
        delete parser;
    }
};

} // namespace

std::string csvTextToUtf8(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (isValidUtf8(bytes))
        return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kWindows1252[byte - 0x80] : byte);
    }
    return text;
}

char detectSeparator(std::string_view utf8)
{
    std::size_t semicolons = 0;
    std::size_t tabs = 0;
    std::size_t commas = 0;
    bool quoted = false;
    bool seenText = false;
    for (const char c : utf8) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (seenText)
                break;
        } else if (!quoted) {
            semicolons += c == ';';
            tabs += c == '\t';
            commas += c == ',';
        }
        seenText = seenText || (c != '\n' && c != '\r' && c != ' ');
    }
    if (tabs > semicolons && tabs >= commas)
        return '\t';
    if (commas > semicolons && commas > tabs)
        return ',';
    return ';';
}

CsvRows csvRows(std::string_view utf8, char separator)
{
    std::unique_ptr<csv_parser, ParserDeleter> parser(new csv_parser);
    // Strict: a quote inside an unquoted text, or text after a closing quote, is an error
    // rather than a guess, and so is a quote left open at the end.
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL | CSV_APPEND_NULL) !=
        0) {
        delete parser.release(); // csv_free only frees what a successful csv_init made
        throw std::bad_alloc();
    }
    csv_set_delim(parser.get(), static_cast<unsigned char>(separator));
    csv_set_space_func(parser.get(), isSpace);

    CsvRows result;
    RowCollector collector;
    // The faulty cell as far as the parser read it, on one line and at most 40 bytes long.
    const auto faultCell = [&](std::string_view after) {
        result.faultColumn = collector.current.cells.size();
        std::string_view entry(reinterpret_cast<const char *>(parser->entry_buf),
                               parser->entry_buf ? parser->entry_pos : 0);
        while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r'))
            entry.remove_suffix(1);
        std::string text = oneLineText((parser->quoted ? "\"" : "") + std::string(entry));
        std::size_t cut = std::min<std::size_t>(text.size(), 40);
        while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut < text.size()) {
            text.resize(cut);
            text += "…";
        }
        result.faultText = text + std::string(after);
    };
    const std::size_t parsed =
        csv_parse(parser.get(), utf8.data(), utf8.size(), onField, onRowEnd, &collector);
    if (parsed != utf8.size()) {
        if (csv_error(parser.get()) != CSV_EPARSE)
            throw std::bad_alloc();
        result.fault = CsvRows::Fault::MisplacedQuote;
        result.faultLine = 1 + lineBreaks(utf8.data(), parsed);
        faultCell(utf8.substr(parsed, 1));
        return result;
    }
    if (csv_fini(parser.get(), onField, onRowEnd, &collector) != 0) {
        if (csv_error(parser.get()) != CSV_EPARSE)
            throw std::bad_alloc();
        result.fault = CsvRows::Fault::OpenQuote;
        result.faultLine = collector.line;
        faultCell({});
        return result;
    }
    result.rows = std::move(collector.rows);
    return result;
}

TeamListResult readTeamListCsv(std::string_view bytes, std::string_view fileName)
{
    // Excel's "Texte Unicode" is UTF-16: read as bytes it would only give a puzzling header.
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        return refusedList(fileName, "le fichier est en UTF-16 ; enregistrez-le en CSV "
                                     "(UTF-8 ou Windows-1252) ou en ODS");
    const std::string text = csvTextToUtf8(bytes);
    const CsvRows rows = csvRows(text, detectSeparator(text));
    const std::string where = "ligne " + std::to_string(rows.faultLine) + ", colonne " +
                              columnLetters(rows.faultColumn) + ", « " + rows.faultText + " »";
    switch (rows.fault) {
    case CsvRows::Fault::OpenQuote:
        return refusedList(fileName, where + " : un guillemet ouvert n'est jamais fermé");
    case CsvRows::Fault::MisplacedQuote:
        return refusedList(fileName, where + " : guillemet mal placé ; un texte entre guillemets "
                                             "commence et finit avec la cellule, et un guillemet "
                                             "dans le texte s'écrit \"\"");
    case CsvRows::Fault::None:
        break;
    }
    return teamListFromRows(fileName, rows.rows);
}

FileBytes readFileBytes(const std::string &path)
{
    FileBytes result;
    const auto reasonOf = [](int error) -> std::string {
        switch (error) {
        case ENOENT:
            return "fichier introuvable";
        case EACCES:
        case EPERM:
            return "lecture non autorisée";
        case EISDIR:
            return "c'est un dossier, pas un fichier";
        default:
            return "le fichier ne peut pas être lu";
        }
    };
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          std::fclose);
    if (!file) {
        result.reason = reasonOf(errno);
        return result;
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const std::size_t read = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, read);
        if (bytes.size() > kLargestFile) {
            result.reason = "fichier trop gros pour une liste d'équipes (plus de 64 Mo)";
            return result;
        }
        if (read < sizeof buffer)
            break;
    }
    if (std::ferror(file.get())) {
        result.reason = reasonOf(errno);
        return result;
    }
    result.bytes = std::move(bytes);
    return result;
}

std::string displayName(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace velmorin
