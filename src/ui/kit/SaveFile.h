#pragma once

// Saving a file whole or not at all, for every feature that writes one: the new content goes
// to a temporary file renamed over the old one only once it is complete.

#include "ByteSink.h"

#include <QDir>
#include <QSaveFile>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string_view>

class QWidget;

namespace velmorin {

// The program's settings: the last folder chosen, the windows' places.
QSettings programSettings();

// A writer's sink over the file being saved.
class SaveFileSink : public ByteSink
{
public:
    explicit SaveFileSink(QSaveFile &file) : m_file(file) {}
    bool write(std::string_view bytes) override
    {
        const auto size = static_cast<qint64>(bytes.size());
        return m_file.write(bytes.data(), size) == size;
    }

private:
    QSaveFile &m_file;
};

// Where the save, export and open dialogs start: the folder of the last file chosen in one of
// them, in this run or an earlier one, else the documents folder, else the home folder. The
// file dialog would drop a folder that does not exist for the last one it visited, which may
// be anywhere.
QDir startFolder();
// Keeps the folder of a file chosen in a dialog for the next one.
void rememberFolder(const QString &chosenFile);

// The file types the save, export and open dialogs offer.
inline QString pdfFilter()
{
    return QStringLiteral("PDF (*.pdf)");
}
inline QString odsFilter()
{
    return QStringLiteral("Classeur OpenDocument (*.ods)");
}
inline QString csvFilter()
{
    return QStringLiteral("CSV (*.csv)");
}
// Semicolons, as a spreadsheet set to French reads them.
inline QString frenchCsvFilter()
{
    return QStringLiteral("CSV pour tableur français (;) (*.csv)");
}

// The type of a file saved as `fileName` with `chosen` among `filters` in the dialog: the
// chosen one, unless the name's suffix names another of them ("liste.csv" with the ODS type
// chosen is a CSV file).
QString fileTypeOf(const QString &fileName, const QString &chosen, const QStringList &filters);

// Qt's own save dialog, proposing `name` in startFolder(); the file chosen, none when the user
// cancels. `suffix` is added to a name typed without one; `selectedFilter` receives the file's
// type among `filters` (fileTypeOf).
std::optional<QString> askSaveFileName(QWidget *parent, const QString &title, const QString &name,
                                       const QStringList &filters, const QString &suffix,
                                       QString *selectedFilter = nullptr);

// Writes `fileName` with what `fill` puts in it, under the wait cursor. A failure (of `fill`,
// of the system, or a file marked read-only) shows an error box titled `title` over `parent`
// and leaves an existing file as it was; returns whether the file was written.
bool writeAtomically(QWidget *parent, const QString &fileName, const QString &title,
                     const std::function<bool(QSaveFile &)> &fill);

} // namespace velmorin
