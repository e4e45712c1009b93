// The plan leaves the window: clipboard, CSV file, PDF sheet and print preview, driven through
// the window's actions and answering its dialogs as a person would.

#include "Calc.h"
#include "FeatureTestWindow.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "ModalAnswers.h"
#include "PlanExport.h"
#include "RadioGroup.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <sstream>

using velmorin::testing::answerFileDialog;
using velmorin::testing::kLastFolderKey;
using velmorin::testing::programSettings;
using velmorin::testing::whenModal;

namespace {

const char *const kActions[] = {"actionCopierSolution", "actionEnregistrerSolutions",
                                "actionImprimerPlan", "actionExporterPdf"};

// The documents folder, or the home folder when there is none.
QDir firstFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? QDir(documents) : QDir::home();
}

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestPlanExport : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void actionsFollowTheShownSolution_data();
    void actionsFollowTheShownSolution();
    void shortcutsWorkFromTheFields_data();
    void shortcutsWorkFromTheFields();
    void copyTypicalUse();
    void savedFileIsTheCalculatorOutput_data();
    void savedFileIsTheCalculatorOutput();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void pdfOfTypicalUse();
    void printPreviewHasOnePage();
    void dialogsStartInTheLastFolder_data();
    void dialogsStartInTheLastFolder();

private:
    QAction *action(const char *name) const { return get<QAction>(name); }
    void calculate(const QString &registered, int round4 = 0);
    void typicalUse();

    std::unique_ptr<TVlmFPrg> m_window;
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_settingsDir;
};

// The settings go to a folder of the test's own, never to the user's.
void TestPlanExport::initTestCase()
{
    QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir));
}

void TestPlanExport::init()
{
    programSettings().clear();
    QVERIFY(velmorin::testing::startFeatureWindow(m_dir, m_boxes, m_window));
    setWindow(m_window.get());
}

void TestPlanExport::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_dir.reset();
}

void TestPlanExport::calculate(const QString &registered, int round4)
{
    typeEffectif(registered);
    if (round4 != 0)
        QTest::mouseClick(get<velmorin::TRadioGroup>("RG4")->item(round4), Qt::LeftButton);
    clickCalcul();
}

// 80 teams, "Calcul", the class-2 slider on its third solution.
void TestPlanExport::typicalUse()
{
    calculate(QStringLiteral("80"));
    velmorin::TTrackBar *bar = trackBar(2);
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(text("T2"), QStringLiteral("56"));
}

void TestPlanExport::actionsFollowTheShownSolution_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<int>("round4");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("before a calculation") << QString() << 0 << false;
    QTest::newRow("defaults") << QStringLiteral("71") << 0 << true;
    QTest::newRow("FIN") << QStringLiteral("71") << 1 << false;
}

void TestPlanExport::actionsFollowTheShownSolution()
{
    QFETCH(QString, registered);
    QFETCH(int, round4);
    QFETCH(bool, enabled);

    if (!registered.isEmpty())
        calculate(registered, round4);
    for (const char *name : kActions) {
        QVERIFY2(action(name)->isEnabled() == enabled, name);
        QVERIFY2(m_window->contextActions().contains(action(name)), name);
    }

    // A failed run (the second click: the first one only leaves the field) empties the
    // fields; browsing the last calculation's solutions afterwards shows one again.
    calculate(QStringLiteral("abc"));
    clickCalcul();
    QCOMPARE(m_boxes->shown().size(), 2);
    for (const char *name : kActions)
        QVERIFY2(!action(name)->isEnabled(), name);
    velmorin::TTrackBar *bar = trackBar(1);
    if (bar->isVisible()) {
        QTest::keyClick(bar, Qt::Key_Right);
        QVERIFY(action("actionCopierSolution")->isEnabled());
    }
}

void TestPlanExport::shortcutsWorkFromTheFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<bool>("opensDialog");

    for (const char *field : {"Effectif", "T2"}) {
        QTest::addRow("%s, copy", field) << field << QKeySequence(QStringLiteral("Ctrl+Shift+C"))
                                         << "actionCopierSolution" << false;
        QTest::addRow("%s, save", field) << field << QKeySequence(QStringLiteral("Ctrl+S"))
                                         << "actionEnregistrerSolutions" << true;
        QTest::addRow("%s, print", field)
            << field << QKeySequence(QStringLiteral("Ctrl+P")) << "actionImprimerPlan" << true;
    }
}

void TestPlanExport::shortcutsWorkFromTheFields()
{
    QFETCH(QString, field);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, actionName);
    QFETCH(bool, opensDialog);

    calculate(QStringLiteral("71"));
    auto *edit = get<QLineEdit>(qPrintable(field));
    edit->setFocus();
    QSignalSpy triggered(action(qPrintable(actionName)), &QAction::triggered);
    if (opensDialog)
        whenModal<QDialog>([](QDialog *dialog) { dialog->reject(); });
    QTest::keySequence(edit, keys);
    QCOMPARE(triggered.size(), 1);
    QCOMPARE(edit->text(),
             field == QLatin1String("Effectif") ? QStringLiteral("71") : QStringLiteral("40"));
}

void TestPlanExport::copyTypicalUse()
{
    typicalUse();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(m_window.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    // All that the printed sheet says, the shown solution's position and class included (the
    // whole text is pinned in the core's test).
    const QString text = data->text();
    QVERIFY2(text.startsWith(QStringLiteral("Plan de la coupe\n\nÉquipes inscrites\t80\n")),
             qPrintable(text));
    for (const QString &line :
         {QStringLiteral("\nClasse\t1 équipe exemptée du Tour 4\nPosition\tsolution 3 sur 4\n"),
          QStringLiteral("\nTour 2\t56\t38\t42\t3/4\n"),
          QStringLiteral("\nAu Tour 4, 1 équipe exemptée passe directement en 1/4 Finale : "
                         "46 équipes jouent, 23 sont qualifiées.\n"),
          QStringLiteral("\nContrôle : 24 + 38 + 10 + 8 = 80 entrantes = 80 inscrites\n")})
        QVERIFY2(text.contains(line), qPrintable(line));
    QVERIFY(data->hasHtml());
    const QString html = data->html();
    QVERIFY2(html.contains(QStringLiteral("<tr><td>Tour 2</td><td>56</td><td>38</td><td>42</td>"
                                          "<td>3/4</td></tr>")),
             qPrintable(html));
    QVERIFY(html.contains(
        QStringLiteral("<tr><td>Finale</td><td>6</td><td>0</td><td>—</td><td>—</td></tr>")));
    QVERIFY(html.contains(QStringLiteral("<b>solution 3 sur 4</b>")));
    QVERIFY(html.contains(QStringLiteral("<p>Contrôle : 24 + 38 + 10 + 8 = 80 entrantes")));
    QCOMPARE(html.count(QStringLiteral("<tr>")), 6 + 8);
}

void TestPlanExport::savedFileIsTheCalculatorOutput_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<int>("round4");
    QTest::addColumn<QString>("nameFilter");
    QTest::addColumn<QStringList>("calculatorArgs");

    QTest::newRow("defaults") << QStringLiteral("71") << 0 << QString()
                              << QStringList{"--format", "csv", "71", "6", "20"};
    QTest::newRow("round 4 at 3/4")
        << QStringLiteral("46") << 1 << QString()
        << QStringList{"--format", "csv", "--tour4", "3/4", "46", "6", "12"};
    QTest::newRow("French spreadsheet")
        << QStringLiteral("80") << 0 << QStringLiteral("CSV pour tableur français (;) (*.csv)")
        << QStringList{"--format", "csv", "--separateur", ";", "80", "6", "24"};
}

void TestPlanExport::savedFileIsTheCalculatorOutput()
{
    QFETCH(QString, registered);
    QFETCH(int, round4);
    QFETCH(QString, nameFilter);
    QFETCH(QStringList, calculatorArgs);

    calculate(registered, round4);
    const QString fileName = m_dir->filePath(QStringLiteral("solutions.csv"));
    QString proposed;
    answerFileDialog(fileName, nameFilter, &proposed);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    // The first time, in the documents folder, or the home folder when there is none.
    const QString name = calculatorArgs.mid(calculatorArgs.size() - 3).join('-');
    QCOMPARE(proposed, firstFolder().filePath("velmorin-" + name + ".csv"));

    std::vector<std::string> args;
    for (const QString &arg : calculatorArgs)
        args.push_back(arg.toStdString());
    std::ostringstream out, err;
    QCOMPARE(velmorin::cli::runCalc(args, out, err), 0);
    QCOMPARE(readAll(fileName), QByteArray::fromStdString(out.str()));
    QVERIFY(m_boxes->shown().isEmpty());
}

void TestPlanExport::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<QString>("relativeName");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("oldFile"); // a read-only file stands there before the write

    QTest::newRow("read-only CSV") << false << "ancien.csv"
                                   << "en lecture seule" << true;
    QTest::newRow("read-only PDF") << true << "ancien.pdf"
                                   << "en lecture seule" << true;
    QTest::newRow("missing folder") << false << "absent/ancien.csv"
                                    << "dossier introuvable" << false;
}

void TestPlanExport::failedWriteKeepsTheOldFile()
{
    QFETCH(bool, pdf);
    QFETCH(QString, relativeName);
    QFETCH(QString, reason);
    QFETCH(bool, oldFile);

    typicalUse();
    const QString fileName = m_dir->filePath(relativeName);
    if (oldFile) {
        QFile old(fileName);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("ancien contenu\n");
        old.close();
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    }
    auto *feature = m_window->findChild<velmorin::PlanExport *>();
    QVERIFY(feature);
    QVERIFY(!(pdf ? feature->exportPdfTo(fileName) : feature->saveSolutionsTo(fileName, ',')));

    QCOMPARE(m_boxes->shown().size(), 1);
    const QString text = m_boxes->shown().constFirst().text;
    QVERIFY2(text.contains(fileName) && text.contains(reason), qPrintable(text));
    QCOMPARE(m_boxes->shown().constFirst().icon, QMessageBox::Critical);
    QCOMPARE(QFile::exists(fileName), oldFile);
    if (oldFile)
        QCOMPARE(readAll(fileName), QByteArray("ancien contenu\n"));
    // Nothing half-written is left beside it.
    QCOMPARE(QDir(QFileInfo(fileName).path()).entryList(QDir::Files).size(), oldFile ? 1 : 0);
}

void TestPlanExport::pdfOfTypicalUse()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext is missing: bash scripts/install-deps.sh");

    typicalUse();
    const QString fileName = m_dir->filePath(QStringLiteral("plan.pdf"));
    answerFileDialog(fileName);
    action("actionExporterPdf")->trigger();
    QVERIFY(m_boxes->shown().isEmpty());

    QProcess extract;
    extract.start(pdftotext, {QStringLiteral("-layout"), fileName, QStringLiteral("-")});
    QVERIFY(extract.waitForFinished(30000));
    QCOMPARE(extract.exitCode(), 0);
    QStringList lines;
    for (const QString &line : QString::fromUtf8(extract.readAllStandardOutput()).split('\n'))
        lines << line.simplified();
    const QStringList expected{
        "Plan de la coupe",
        "Équipes inscrites : 80",
        "Classe : 1 équipe exemptée du Tour 4",
        "Position : solution 3 sur 4",
        "Tour En jeu Entrantes Qualifiées Rapport",
        "Tour 1 24 24 18 3/4",
        "Tour 2 56 38 42 3/4",
        "Tour 3 52 10 39 3/4",
        "Tour 4 (1/8 Finale) 47 8 24 1/2",
        "1/4 Finale 24 0 12 1/2",
        "1/2 Finale 12 0 6 1/2",
        "Finale 6 0 — —",
        "Contrôle : 24 + 38 + 10 + 8 = 80 entrantes = 80 inscrites",
    };
    for (const QString &line : expected)
        QVERIFY2(lines.contains(line), qPrintable(line + "\n---\n" + lines.join('\n')));
}

void TestPlanExport::printPreviewHasOnePage()
{
    typicalUse();
    int pages = -1;
    bool printDialogShown = false;
    whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
        if (auto *widget = preview->findChild<QPrintPreviewWidget *>())
            pages = widget->pageCount();
        // The preview's print button goes through the print dialog; cancelling it prints
        // nothing and leaves the preview open.
        whenModal<QPrintDialog>([&](QPrintDialog *dialog) {
            printDialogShown = true;
            dialog->reject();
        });
        for (QAction *action : preview->findChildren<QAction *>()) {
            if (action->text() == QLatin1String("Print"))
                action->trigger();
        }
        preview->reject();
    });
    QTest::keyClick(m_window.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(pages, 1);
    QVERIFY(printDialogShown);
}

// The PDF export's dialog after what came before it: the folder last chosen in a save or
// export dialog, in this run or an earlier one, while it exists.
void TestPlanExport::dialogsStartInTheLastFolder_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("folder"); // below the test's folder; empty: the first folder

    QTest::newRow("first use") << "nothing" << QString();
    QTest::newRow("a folder kept from an earlier run") << "stored"
                                                       << "earlier";
    QTest::newRow("that folder since removed") << "stored, removed" << QString();
    QTest::newRow("the CSV saved in this run") << "CSV"
                                               << "csv";
    QTest::newRow("the CSV saved, then the program restarted") << "CSV, restart"
                                                               << "csv";
}

void TestPlanExport::dialogsStartInTheLastFolder()
{
    QFETCH(QString, before);
    QFETCH(QString, folder);

    if (before.startsWith("stored")) {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("earlier")));
        programSettings().setValue(kLastFolderKey, m_dir->filePath(QStringLiteral("earlier")));
        if (before.endsWith("removed"))
            QVERIFY(QDir(m_dir->filePath(QStringLiteral("earlier"))).removeRecursively());
    } else if (before.startsWith("CSV")) {
        calculate(QStringLiteral("71"));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("csv")));
        answerFileDialog(m_dir->filePath(QStringLiteral("csv/solutions.csv")));
        action("actionEnregistrerSolutions")->trigger();
        QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("csv/solutions.csv"))));
        if (before.endsWith("restart")) {
            m_window = std::make_unique<TVlmFPrg>();
            velmorin::installFeatures(*m_window);
            setWindow(m_window.get());
            QVERIFY(velmorin::testing::showActive(*m_window));
        }
    }
    calculate(QStringLiteral("71"));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("pdf")));
    const QString chosen = m_dir->filePath(QStringLiteral("pdf/plan.pdf"));
    QString proposed;
    answerFileDialog(chosen, QString(), &proposed);
    action("actionExporterPdf")->trigger();

    const QDir expected = folder.isEmpty() ? firstFolder() : QDir(m_dir->filePath(folder));
    QCOMPARE(proposed, expected.filePath(QStringLiteral("velmorin-71-6-20.pdf")));
    QVERIFY(QFile::exists(chosen));
    // The next dialog starts where this one saved.
    QCOMPARE(programSettings().value(kLastFolderKey).toString(), m_dir->filePath("pdf"));
    QVERIFY(m_boxes->shown().isEmpty());
}

VELMORIN_WINDOW_TEST_MAIN(TestPlanExport)
#include "tst_planexport.moc"
