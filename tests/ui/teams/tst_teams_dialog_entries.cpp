// The draw from its seed, the entries saved and read back and printed one sheet per round,
// and lists refused or holding the same team twice.

#include "tst_teams_dialog.h"

void TestTeamsDialog::seedGivesTheDraw()
{
    openThroughDialog(kSample);
    showPlanOf80();
    auto *seed = get<QLineEdit>("Graine");

    // Typed into the field: the draw follows it, and the same seed gives the same draw.
    const auto typeSeed = [&](const QString &typed) {
        seed->setFocus();
        seed->selectAll();
        QTest::keyClick(seed, Qt::Key_Backspace);
        QTest::keyClicks(seed, typed);
        QTest::keyClick(seed, Qt::Key_Return);
    };
    typeSeed(QStringLiteral("12345"));
    QCOMPARE(m_dialog->seed(), 12345u);
    const std::vector<std::size_t> ranking = m_dialog->assignment()->ranking;
    QTest::mouseClick(get<QPushButton>("NouveauTirage"), Qt::LeftButton);
    QVERIFY(m_dialog->seed() != 12345u);
    QCOMPARE(seed->text(), QString::number(m_dialog->seed()));
    typeSeed(QStringLiteral("12345"));
    QCOMPARE(m_dialog->assignment()->ranking, ranking);

    // Beyond 2^64 - 1: the typed text stays, outlined, with the reason under it; the draw
    // keeps its seed.
    auto *refused = get<QLabel>("GraineRefusee");
    typeSeed(QStringLiteral("18446744073709551616"));
    QCOMPARE(m_dialog->seed(), 12345u);
    QCOMPARE(seed->text(), QStringLiteral("18446744073709551616"));
    QVERIFY(refused->isVisible());
    QCOMPARE(refused->text(), QStringLiteral("'18446744073709551616' est trop grand pour le "
                                             "tirage : au plus 18 446 744 073 709 551 615. Le "
                                             "tirage garde la graine 12345."));
    QCOMPARE(seed->toolTip(), refused->text());
    QVERIFY(!seed->styleSheet().isEmpty());
    // Emptied: the seed in use comes back, and the mark goes.
    typeSeed(QString());
    QCOMPARE(seed->text(), QStringLiteral("12345"));
    QVERIFY(!refused->isVisible());
    QVERIFY(seed->styleSheet().isEmpty());
    typeSeed(QStringLiteral("x1y"));
    QCOMPARE(seed->text(), QStringLiteral("1"));
    QCOMPARE(m_dialog->seed(), 1u);
    typeSeed(QStringLiteral("18446744073709551615"));
    QCOMPARE(m_dialog->seed(), 18446744073709551615u);
}

void TestTeamsDialog::savedEntriesReadBack_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QByteArray>("header");
    // UTF-8 with a byte-order mark, "hors_niveau" last.
    const char *kFrenchCsvHeader =
        "\xEF\xBB\xBFtour;equipe;club;niveau;points;Dossier;hors_niveau\n";

    QTest::newRow("csv") << "entrees.csv"
                         << "CSV pour tableur français (;) (*.csv)" << QByteArray(kFrenchCsvHeader);
    QTest::newRow("ods") << "entrees.ods"
                         << "Classeur OpenDocument (*.ods)" << QByteArray("PK");
    // The name's suffix wins over the type chosen.
    QTest::newRow("csv name, ods type")
        << "entrees.csv"
        << "Classeur OpenDocument (*.ods)" << QByteArray(kFrenchCsvHeader);
    QTest::newRow("no suffix, csv type")
        << "entrees"
        << "CSV pour tableur français (;) (*.csv)" << QByteArray(kFrenchCsvHeader);
}

void TestTeamsDialog::savedEntriesReadBack()
{
    QFETCH(QString, fileName);
    QFETCH(QString, filter);
    QFETCH(QByteArray, header);

    openThroughDialog(kSample);
    showPlanOf80();
    m_dialog->setLevelRound(4, 3); // some teams "hors niveau"
    const QString path = m_dir->filePath(fileName);
    answerFileDialog(path, filter);
    QTest::mouseClick(get<QPushButton>("EnregistrerEntrees"), Qt::LeftButton);
    QCOMPARE(m_boxes->texts(), QStringList());
    const QString written = QFileInfo::exists(path) ? path : path + QStringLiteral(".csv");
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(header));

    // Read back as a list: the saved "tour" of each team is its round in the dialog.
    const velmorin::TeamListResult back = velmorin::readTeamList(written.toStdString());
    QVERIFY2(back.ok(), back.error.c_str());
    QCOMPARE(back.list->extraColumns.front(), std::string("tour"));
    const velmorin::TeamList &list = *m_dialog->list();
    const Assignment &assignment = *m_dialog->assignment();
    QCOMPARE(back.list->teams.size(), list.teams.size());
    QCOMPARE(back.list->extraColumns.back(), std::string("hors_niveau"));
    std::map<std::string, std::pair<int, std::string>> roundOf;
    for (const velmorin::Team &team : back.list->teams)
        roundOf[team.name + '|' + team.club] = {std::stoi(team.extra.front()), team.extra.back()};
    for (std::size_t i = 0; i < list.teams.size(); ++i) {
        const auto &[round, outOfLevel] = roundOf.at(list.teams[i].name + '|' + list.teams[i].club);
        QCOMPARE(round, assignment.roundOfTeam[i]);
        QCOMPARE(outOfLevel, std::string(assignment.outOfLevel[i] ? "oui" : ""));
    }
}

void TestTeamsDialog::refusedFileChangesNothing_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content"); // none: the file is not there
    QTest::addColumn<QString>("message");

    QTest::newRow("no name column")
        << "sans-nom.csv" << QByteArray("Club;Niveau\nA;1\n") << "Liste « sans-nom.csv » refusée";
    QTest::newRow("bad level") << "niveau.csv" << QByteArray("Équipe;Niveau\nA;1\nB;0\n")
                               << "ligne 3";
    QTest::newRow("no team") << "vide.csv" << QByteArray("Équipe;Club\n\n") << "vide.csv";
    QTest::newRow("excel") << "liste.xlsx" << QByteArray("PK\x03\x04") << "ODS";
    QTest::newRow("gone") << "absent.csv" << QByteArray() << "absent.csv";
}

void TestTeamsDialog::refusedFileChangesNothing()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    openThroughDialog(kSample);
    showPlanOf80();
    m_dialog->setLevelRound(4, 2);
    const std::vector<int> rounds = m_dialog->assignment()->roundOfTeam;
    const QString registered = text("Effectif");
    const QString listLabel = get<QLabel>("ListeEquipes")->text();

    const QString path = m_dir->filePath(fileName);
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));
    QVERIFY(!m_dialog->openList(path));
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().at(0).icon, QMessageBox::Critical);
    QVERIFY2(m_boxes->shown().at(0).text.contains(message),
             qPrintable(m_boxes->shown().at(0).text));

    QCOMPARE(text("Effectif"), registered);
    QCOMPARE(get<QLabel>("ListeEquipes")->text(), listLabel);
    QCOMPARE(m_table->model()->rowCount(), 80);
    QCOMPARE(m_dialog->mapping().levels()[3].round, 2);
    QCOMPARE(m_dialog->assignment()->roundOfTeam, rounds);
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content); // never written
    }
}

void TestTeamsDialog::duplicatesAreImportedWithAWarning()
{
    const QString path = m_dir->filePath(QStringLiteral("doublons.csv"));
    QVERIFY(writeFile(path, "Équipe;Club;Niveau\nA;X;1\nB;X;2\nA;X;3\nC;;\n"));
    openThroughDialog(path);
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().at(0).icon, QMessageBox::Warning);
    QCOMPARE(m_boxes->shown().at(0).text,
             QStringLiteral("La liste « doublons.csv » est ouverte, avec ces remarques :\n"
                            "Liste « doublons.csv », ligne 4 : l'équipe « A » porte le nom de "
                            "l'équipe « A » de la ligne 2 (les majuscules, les accents, les "
                            "espaces et la ponctuation ne comptent pas)."));
    QCOMPARE(m_table->model()->rowCount(), 4);
    QCOMPARE(text("Effectif"), QStringLiteral("4"));
}

// One sheet per round with teams, round 4 first; a round of more teams than a page holds
// goes on over further pages.
void TestTeamsDialog::sheetsPerRound()
{
    openThroughDialog(kSample);
    // 52 teams at round 1: more than a page holds.
    QVERIFY(m_window->showPlan(52));
    QVERIFY(m_window->shownPlan());
    const Assignment &assignment = *m_dialog->assignment();
    QCOMPARE(assignment.perRound[0], 52);

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QPdfWriter writer(&buffer);
    writer.setPageLayout(velmorin::planPageLayout());
    writer.setResolution(300);
    QPainter painter(&writer);
    const int pages = velmorin::paintEntrySheets(painter, writer, *m_dialog->list(), assignment,
                                                 *m_window->shownPlan(), QStringLiteral("stamp"));
    painter.end();
    // A page per round with teams, and more for round 1; at least 20 teams a page.
    int rounds = 0;
    int atMost = 0;
    for (const Count teams : assignment.perRound) {
        rounds += teams == 0 ? 0 : 1;
        atMost += int((teams + 19) / 20);
    }
    QVERIFY2(pages > rounds && pages <= atMost,
             qPrintable(QStringLiteral("%1 pages for %2 rounds").arg(pages).arg(rounds)));

    // The print preview shows the same pages.
    int previewed = -1;
    velmorin::testing::whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
        if (auto *widget = preview->findChild<QPrintPreviewWidget *>())
            previewed = widget->pageCount();
        preview->reject();
    });
    QTest::mouseClick(get<QPushButton>("ImprimerEntrees"), Qt::LeftButton);
    QCOMPARE(previewed, pages);

    // The PDF export writes the same document.
    const QString pdf = m_dir->filePath(QStringLiteral("entrees.pdf"));
    QVERIFY(m_dialog->exportEntriesPdfTo(pdf));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b"));
    QCOMPARE(int(QString::fromLatin1(bytes).count(page)), pages);
}
