#include "PlanExport.h"

#include "PlanSheetPainter.h"
#include "SolutionTable.h"
#include "Version.h"
#include "VlmPrg.h"
#include "WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace velmorin {

namespace {

const QString kCsvFilter = QStringLiteral("CSV (*.csv)");
const QString kFrenchCsvFilter = QStringLiteral("CSV pour tableur français (;) (*.csv)");
const QString kPdfFilter = QStringLiteral("PDF (*.pdf)");

// The writer's sink over the file being saved.
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

const QString kLastFolderKey = QStringLiteral("fichiers/dernierDossier");

QSettings programSettings()
{
    return QSettings(QStringLiteral("Velmorin"), QStringLiteral("Velmorin"));
}

// Where the save and export dialogs open: the folder of the last file chosen in one of them,
// in this run or an earlier one, else the documents folder, else the home folder. The file
// dialog would drop a folder that does not exist for the last one it visited, which may be
// anywhere.
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

PlanExport::PlanExport(TVlmFPrg *window) : QObject(window), m_window(window)
{
    addAction("actionCopierSolution", QStringLiteral("Copier la solution"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &PlanExport::copySolution);
    addAction("actionEnregistrerSolutions", QStringLiteral("Enregistrer les solutions…"),
              QKeySequence(Qt::CTRL | Qt::Key_S), &PlanExport::saveSolutions);
    addAction("actionImprimerPlan", QStringLiteral("Imprimer le plan…"),
              QKeySequence(Qt::CTRL | Qt::Key_P), &PlanExport::printPlan);
    addAction("actionExporterPdf", QStringLiteral("Exporter le plan en PDF…"), QKeySequence(),
              &PlanExport::exportPdf);
    connect(window, &TVlmFPrg::shownSolutionChanged, this, &PlanExport::updateActions);
    connect(window, &TVlmFPrg::calculated, this, &PlanExport::updateActions);
    updateActions();
}

QAction *PlanExport::addAction(const char *objectName, const QString &text,
                               const QKeySequence &shortcut, void (PlanExport::*slot)())
{
    auto *action = new QAction(text, m_window);
    action->setObjectName(QLatin1String(objectName));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this,
            [this, slot] { m_window->runGuarded([this, slot] { (this->*slot)(); }); });
    m_window->addContextAction(action);
    m_actions.append(action);
    return action;
}

std::optional<Plan> PlanExport::shownPlan() const
{
    const std::optional<ShownSolution> shown = m_window->shownSolution();
    const std::optional<Calculation> &calculation = m_window->lastCalculation();
    if (!shown || !calculation)
        return std::nullopt;
    std::optional<Plan> plan = makePlan(*calculation, shown->exemptionClass, shown->position);
    // In the middle of a run the fields already show the new run's solutions while the last
    // calculation is still the previous one: the window's record tells them apart.
    const std::optional<TSolution> record =
        m_window->solutionLists().SolutionCursor(shown->exemptionClass);
    if (plan && record &&
        *record != calculation->of(shown->exemptionClass).solutions.at(shown->position - 1))
        return std::nullopt;
    return plan;
}

void PlanExport::updateActions()
{
    const bool shown = shownPlan().has_value();
    for (QAction *action : std::as_const(m_actions))
        action->setEnabled(shown);
}

void PlanExport::copySolution()
{
    const std::optional<Plan> plan = shownPlan();
    if (!plan)
        return;
    auto *data = new QMimeData;
    data->setText(QString::fromStdString(planTsv(*plan)));
    data->setHtml(QString::fromStdString(planHtml(*plan)));
    QGuiApplication::clipboard()->setMimeData(data);
}

void PlanExport::saveSolutions()
{
    if (!shownPlan())
        return;
    QString filter;
    const std::optional<QString> fileName =
        askFileName(QStringLiteral("Enregistrer les solutions"), {kCsvFilter, kFrenchCsvFilter},
                    QStringLiteral("csv"), &filter);
    if (fileName)
        saveSolutionsTo(*fileName, filter == kFrenchCsvFilter ? ';' : ',');
}

void PlanExport::printPlan()
{
    const std::optional<Plan> plan = shownPlan();
    if (!plan)
        return;
    const PlanSheet sheet = planSheet(*plan);
    const QString stamped = stamp();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(planPageLayout());
    printer.setDocName(QStringLiteral("Plan de la coupe"));
    // The preview's print button opens the print dialog.
    QPrintPreviewDialog preview(&printer, m_window);
    preview.setObjectName(QStringLiteral("apercuPlan"));
    preview.setWindowTitle(QStringLiteral("Imprimer le plan"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter *target) {
        QPainter painter(target);
        paintPlanSheet(painter, sheet, stamped);
    });
    preview.exec();
}

void PlanExport::exportPdf()
{
    if (!shownPlan())
        return;
    const std::optional<QString> fileName =
        askFileName(QStringLiteral("Exporter le plan en PDF"), {kPdfFilter}, QStringLiteral("pdf"));
    if (fileName)
        exportPdfTo(*fileName);
}

bool PlanExport::saveSolutionsTo(const QString &fileName, char separator)
{
    const std::optional<Calculation> &calculation = m_window->lastCalculation();
    if (!calculation)
        return false;
    return writeAtomically(fileName, QStringLiteral("Enregistrer les solutions"),
                           [&](QSaveFile &file) {
                               SaveFileSink sink(file);
                               return writeCsv(*calculation, sink, separator);
                           });
}

bool PlanExport::exportPdfTo(const QString &fileName)
{
    const std::optional<Plan> plan = shownPlan();
    if (!plan)
        return false;
    return writeAtomically(
        fileName, QStringLiteral("Exporter le plan en PDF"),
        [&](QSaveFile &file) { return writePlanPdf(&file, planSheet(*plan), stamp()); });
}

std::optional<QString> PlanExport::askFileName(const QString &title, const QStringList &filters,
                                               const QString &suffix, QString *selectedFilter)
{
    QFileDialog dialog(m_window, title, defaultFileName(suffix));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    rememberFolder(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}

QString PlanExport::defaultFileName(const QString &suffix) const
{
    const Problem problem = m_window->lastCalculation().value_or(Calculation{}).problem;
    const QString name = QStringLiteral("velmorin-%1-%2-%3.%4")
                             .arg(problem.registered)
                             .arg(problem.finale)
                             .arg(problem.entrants1)
                             .arg(suffix);
    return startFolder().filePath(name);
}

bool PlanExport::writeAtomically(const QString &fileName, const QString &title,
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
                    QMessageBox::Ok, m_window);
    box.exec();
    return false;
}

QString PlanExport::stamp() const
{
    return sheetStamp(QStringLiteral(VELMORIN_VERSION), QDate::currentDate());
}

} // namespace velmorin
