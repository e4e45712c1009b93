#include "SaveFile.h"

#include "WaitCursor.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <array>
#include <utility>

namespace velmorin {

namespace {

// The system's reasons come in English; the common ones are said in French.
QString frenchReason(const QString &reason)
{
    static const std::array<std::pair<const char *, const char *>, 7> kReasons{{
        {"Permission denied", "accès refusé"},
        {"No space left on device", "plus de place sur le disque"},
        {"Disk quota exceeded", "quota du disque dépassé"},
        {"Read-only file system", "système de fichiers en lecture seule"},
        {"No such file or directory", "dossier introuvable"},
        {"is not writable", "le fichier existant est protégé en écriture"},
        {"refers to a directory", "ce nom est celui d'un dossier"},
    }};
    for (const auto &[english, french] : kReasons) {
        if (reason.contains(QLatin1String(english)))
            return QString::fromUtf8(french);
    }
    return reason.isEmpty() ? QStringLiteral("écriture impossible") : reason;
}

bool isMarkedReadOnly(const QFileInfo &info)
{
    constexpr QFileDevice::Permissions kAnyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.exists() && info.isFile() && !(info.permissions() & kAnyWrite);
}

} // namespace

namespace {

const QString kLastFolderKey = QStringLiteral("fichiers/dernierDossier");

} // namespace

QSettings programSettings()
{
    return QSettings(QStringLiteral("Velmorin"), QStringLiteral("Velmorin"));
}

QDir startFolder()
{
    const QString last = programSettings().value(kLastFolderKey).toString();
    if (!last.isEmpty() && QDir(last).exists())
        return QDir(last);
    QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return documents.exists() ? documents : QDir::home();
}

void rememberFolder(const QString &chosenFile)
{
    programSettings().setValue(kLastFolderKey, QFileInfo(chosenFile).absolutePath());
}

QString fileTypeOf(const QString &fileName, const QString &chosen, const QStringList &filters)
{
    const QString pattern = QStringLiteral("*.") + QFileInfo(fileName).suffix().toLower();
    const auto names = [&pattern](const QString &filter) {
        return filter.contains(pattern + QLatin1Char(')')) ||
               filter.contains(pattern + QLatin1Char(' '));
    };
    if (names(chosen))
        return chosen;
    for (const QString &filter : filters) {
        if (names(filter))
            return filter;
    }
    return chosen;
}

std::optional<QString> askSaveFileName(QWidget *parent, const QString &title, const QString &name,
                                       const QStringList &filters, const QString &suffix,
                                       QString *selectedFilter)
{
    QFileDialog dialog(parent, title, startFolder().filePath(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffix);
    // A name typed without a suffix takes the chosen type's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &f) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(f);
        if (match.hasMatch())
            dialog.setDefaultSuffix(match.captured(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    if (selectedFilter)
        *selectedFilter =
            fileTypeOf(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter(), filters);
    rememberFolder(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}

bool writeAtomically(QWidget *parent, const QString &fileName, const QString &title,
                     const std::function<bool(QSaveFile &)> &fill)
{
    QString reason;
    // Saving replaces the file by renaming a new one over it, which the system allows even
    // over a file nobody may write to; a file marked read-only is left alone.
    if (isMarkedReadOnly(QFileInfo(fileName))) {
        reason = QStringLiteral("le fichier est en lecture seule");
    } else {
        QSaveFile file(fileName);
        const WaitCursor waiting;
        if (!file.open(QIODevice::WriteOnly)) {
            reason = frenchReason(file.errorString());
        } else if (!fill(file) || !file.commit()) {
            reason =
                frenchReason(file.error() == QFileDevice::NoError ? QString() : file.errorString());
            file.cancelWriting();
        }
    }
    if (reason.isEmpty())
        return true;
    QMessageBox box(QMessageBox::Critical, title,
                    QStringLiteral("Le fichier « %1 » n'a pas été enregistré : %2.")
                        .arg(QDir::toNativeSeparators(fileName), reason),
                    QMessageBox::Ok, parent);
    box.exec();
    return false;
}

} // namespace velmorin
