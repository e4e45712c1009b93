// Team files: every format read into the same list, ODS sheets, refusals, entries written.

#pragma once

#include "EntriesCsv.h"
#include "EntriesOds.h"
#include "SheetFiles.h"
#include "TeamFile.h"
#include "TeamLists.h"
#include "ZipXml.h"

#include <QtTest>

#include <limits>
#include <sstream>

namespace {

inline QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// A team as one line: "line|name|club|level|points|extra…", or without the line.
inline QStringList describe(const velmorin::TeamList &list, bool withLines = true)
{
    QStringList lines;
    for (const velmorin::Team &team : list.teams) {
        QStringList fields{withLines ? QString::number(team.line) : QString(), q(team.name),
                           q(team.club), q(velmorin::levelText(team.level)),
                           team.points ? QString::number(*team.points) : QString()};
        for (const std::string &value : team.extra)
            fields << q(value);
        lines << fields.join('|');
    }
    return lines;
}

// An ODS document around a content.xml body (the tables), as a spreadsheet program stores it:
// the mimetype first and uncompressed.
inline QByteArray odsDocument(const QString &tables)
{
    return QByteArray::fromStdString(velmorin::odsPackage(std::string(velmorin::kOdsContentStart) +
                                                          tables.toStdString() +
                                                          std::string(velmorin::kOdsContentEnd)));
}

inline QString row(const QStringList &cells, qint64 repeated = 1)
{
    QString xml =
        repeated > 1
            ? QStringLiteral("<table:table-row table:number-rows-repeated=\"%1\">").arg(repeated)
            : QStringLiteral("<table:table-row>");
    for (const QString &cell : cells) {
        bool number = false;
        cell.toDouble(&number);
        if (cell.isEmpty())
            xml += "<table:table-cell/>";
        else if (number)
            xml += QStringLiteral("<table:table-cell office:value-type=\"float\" "
                                  "office:value=\"%1\"><text:p>%1</text:p></table:table-cell>")
                       .arg(cell);
        else
            xml += QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1"
                                  "</text:p></table:table-cell>")
                       .arg(cell.toHtmlEscaped());
    }
    return xml + "</table:table-row>";
}

inline QString table(const QString &name, const QString &rows)
{
    return QStringLiteral("<table:table table:name=\"%1\">%2</table:table>").arg(name, rows);
}

class Files
{
public:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return file.fileName();
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

inline velmorin::TeamListResult readPath(const QString &path)
{
    return velmorin::readTeamList(path.toStdString());
}

const char kList[] = "Équipe;Club;Niveau;Points;Remarque;Dossier\n"
                     "Les Étoiles;Pétanque Club « Est »;1;120,5;\"dit \"\"les As\"\"\";D-1\n"
                     "Les Bleus;;;;;D-2\n"
                     "Les <Verts> & Co;Le Club;3;7;deux\nlignes;D-3\n"
                     "Sans points;Le Club;2;;;D-4\n";

} // namespace

Q_DECLARE_METATYPE(velmorin::testing::Sheet)
using XlsxParts = std::map<std::string, std::string>;
Q_DECLARE_METATYPE(XlsxParts)

class TestTeamFile : public QObject
{
    Q_OBJECT

private slots:
    void sameListEveryFormat_data();
    void sameListEveryFormat();
    void listRoundTrip();
    void formulaGuard_data();
    void formulaGuard();
    void assignmentRoundTrip();
    void odsSheets_data();
    void odsSheets();
    void xlsxSheets_data();
    void xlsxSheets();
    void refusals_data();
    void refusals();
    void xmlParts_data();
    void xmlParts();
    void readsCsvFiles();
    void neverWritesTheFile();
};
