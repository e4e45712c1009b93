#include "tst_planexport.h"

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
