#include "tst_help.h"

void TestHelp::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    velmorin::installFeatures(*m_window);
    setWindow(m_window.get());
    QVERIFY(velmorin::testing::showActive(*m_window));
}

void TestHelp::cleanup()
{
    m_window.reset();
    QApplication::setPalette(QPalette());
}

void TestHelp::pressOnWindow(const QKeySequence &keys)
{
    m_window->activateWindow();
    QTRY_VERIFY(m_window->isActiveWindow());
    QTest::keySequence(m_window.get(), keys);
}

void TestHelp::opensWithF1FromEverywhere()
{
    const QList<QAction *> actions = m_window->contextActions();
    QVERIFY(actions.size() >= 2);
    QCOMPARE(actions.last()->objectName(), QStringLiteral("actionAide"));
    QCOMPARE(actions.last()->text(), QStringLiteral("Aide"));
    QVERIFY(actions.at(actions.size() - 2)->isSeparator());

    pressOnWindow(QKeySequence(Qt::Key_F1));
    QWidget *guide = help();
    QVERIFY(guide && guide->isVisible());
    QCOMPARE(guide->windowTitle(), QStringLiteral("Aide de Velmorin"));
    QVERIFY(!guide->isModal());
    // The first section says where everything is.
    const QString opening =
        guide->findChild<QTextBrowser *>()->toPlainText().section(QStringLiteral("Sommaire"), 0, 0);
    for (const char *key : {"clic droit", "F1", "F2", "F3", "F4"})
        QVERIFY2(opening.contains(QLatin1String(key)), key);

    // A second F1, and F1 from a dialog, raise the same window.
    guide->close();
    pressOnWindow(QKeySequence(Qt::Key_F2));
    auto *overview = get<QWidget>("VueEnsemble");
    overview->activateWindow();
    QTRY_VERIFY(overview->isActiveWindow());
    QTest::keyClick(overview, Qt::Key_F1);
    QTRY_VERIFY(guide->isVisible());
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QCOMPARE(velmorin::testing::topLevelWindows<QWidget>(QStringLiteral("Aide")).size(), 1);
}

void TestHelp::contentsReachEverySection()
{
    pressOnWindow(QKeySequence(Qt::Key_F1));
    const QTextDocument *document = help()->findChild<QTextBrowser *>()->document();
    QStringList anchors;
    QStringList links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            anchors += format.anchorNames();
            if (format.isAnchor() && format.anchorHref().startsWith('#'))
                links += format.anchorHref().mid(1);
        }
    }
    QVERIFY(links.size() >= 10);
    for (const QString &link : std::as_const(links))
        QVERIFY2(anchors.contains(link), qPrintable(link));
    // Every section but the opening one is in the contents list.
    for (const QString &anchor : std::as_const(anchors))
        QVERIFY2(anchor == QLatin1String("accueil") || links.contains(anchor), qPrintable(anchor));
}

void TestHelp::findInTheGuide()
{
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QWidget *guide = help();
    guide->activateWindow();
    QTRY_VERIFY(guide->isActiveWindow());
    QTest::keySequence(guide, QKeySequence::Find);
    auto *field = guide->findChild<QLineEdit *>(QStringLiteral("ChercherAide"));
    QTRY_VERIFY(field->hasFocus());
    auto *browser = guide->findChild<QTextBrowser *>();
    field->insert(QStringLiteral("hexadécimal")); // typed through the input method
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(browser->textCursor().selectedText(), QStringLiteral("hexadécimal"));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("introuvable-xyz"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(guide->findChild<QLabel *>(QStringLiteral("ResultatChercherAide"))->text(),
             QStringLiteral("Introuvable"));
}

void TestHelp::findIgnoresAccentsAndCase_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("found");
    QTest::newRow("without the accent") << "ecart"
                                        << "écart";
    QTest::newRow("capitals") << "ÉCART"
                              << "écart";
    QTest::newRow("capital without its accent") << "NUMERO"
                                                << "numéro";
    QTest::newRow("accent where the text has a capital") << "équipes inscrites"
                                                         << "Équipes inscrites";
    QTest::newRow("accented as written") << "hexadécimal"
                                         << "hexadécimal";
}

void TestHelp::findIgnoresAccentsAndCase()
{
    QFETCH(QString, query);
    QFETCH(QString, found);
    pressOnWindow(QKeySequence(Qt::Key_F1));
    auto *guide = qobject_cast<velmorin::HelpWindow *>(help());
    QVERIFY(guide);
    QVERIFY(guide->find(query));
    const QString selected = guide->browser()->textCursor().selectedText();
    QVERIFY2(selected.compare(found, Qt::CaseInsensitive) == 0, qPrintable(selected));
    // The next place, then round to the first one again.
    const int first = guide->browser()->textCursor().selectionStart();
    QSet<int> places{first};
    for (int k = 0; k < 200 && guide->find(query); ++k) {
        const int at = guide->browser()->textCursor().selectionStart();
        if (at == first)
            break;
        QVERIFY(!places.contains(at));
        places.insert(at);
    }
    QCOMPARE(guide->browser()->textCursor().selectionStart(), first);
    QVERIFY(guide->find(query, true));
    QCOMPARE(guide->browser()->textCursor().selectionStart(),
             places.size() == 1 ? first : *std::max_element(places.cbegin(), places.cend()));
}

void TestHelp::closesFromTheKeyboard_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("findBarOpen");
    QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape) << false;
    QTest::newRow("Esc with the find bar open") << QKeySequence(Qt::Key_Escape) << true;
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W) << false;
    QTest::newRow("Ctrl+W with the find bar open") << QKeySequence(Qt::CTRL | Qt::Key_W) << true;
}

void TestHelp::closesFromTheKeyboard()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, findBarOpen);
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QWidget *guide = help();
    guide->activateWindow();
    QTRY_VERIFY(guide->isActiveWindow());
    auto *field = guide->findChild<QLineEdit *>(QStringLiteral("ChercherAide"));
    if (findBarOpen) {
        QTest::keySequence(guide, QKeySequence::Find);
        QTRY_VERIFY(field->hasFocus());
    }
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keySequence(focus, keys);
    // Esc first closes the find bar only.
    if (findBarOpen && keys == QKeySequence(Qt::Key_Escape)) {
        QVERIFY(!field->isVisible());
        QVERIFY(guide->isVisible());
        QTest::keySequence(QApplication::focusWidget(), keys);
    }
    QVERIFY(!guide->isVisible());
}

// Every picture of the guide is held at the size it is shown, scaled smoothly beforehand.
void TestHelp::picturesScaledSmoothly()
{
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QTextDocument *document = help()->findChild<QTextBrowser *>()->document();
    int pictures = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().isImageFormat())
                continue;
            const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
            const QImage image =
                document->resource(QTextDocument::ImageResource, QUrl(format.name()))
                    .value<QImage>();
            QVERIFY2(!image.isNull(), qPrintable(format.name()));
            QCOMPARE(qRound(image.width() / image.devicePixelRatio()), qRound(format.width()));
            ++pictures;
        }
    }
    QVERIFY(pictures >= 5);
}

void TestHelp::readableUnderADarkScheme()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    QApplication::setPalette(dark);
    pressOnWindow(QKeySequence(Qt::Key_F1));
    auto *browser = help()->findChild<QTextBrowser *>();
    const QPalette shown = browser->palette();
    QVERIFY(velmorin::contrastRatio(shown.color(QPalette::Text), shown.color(QPalette::Base)) >=
            velmorin::kReadableContrast);
    // The guide sets no colour of its own that the scheme could hide.
    QVERIFY(!guideSource().contains(QLatin1String("color")));
}

VELMORIN_WINDOW_TEST_MAIN(TestHelp)
