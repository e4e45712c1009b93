// The program from the keyboard alone, its ways to quit, and hostile text pasted into it.

#include "tst_desktop.h"

using namespace std::chrono_literals;

void TestDesktop::cleanup()
{
    m_window.reset();
    QApplication::setPalette(QPalette());
}

void TestDesktop::newWindow()
{
    m_window = std::make_unique<TVlmFPrg>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

// With `field` focused and `effectif` written behind the handlers' back, steps `presses`
// times; returns what the inputs then show and the error boxes raised.
QStringList TestDesktop::step(const QByteArray &field, bool keys, int key, int presses,
                              const QString &effectif)
{
    auto *edit = get<QLineEdit>(field.constData());
    edit->setFocus(Qt::TabFocusReason);
    get<QLineEdit>("Effectif")->setText(effectif);
    auto *upDown = get<TUpDown>(field == "Finale" ? "UpFinale" : "UpE1");
    const bool up = key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_Plus;
    MessageBoxCatcher catcher;
    for (int i = 0; i < presses; ++i) {
        if (keys)
            QTest::keyClick(edit, Qt::Key(key));
        else
            QTest::mouseClick(up ? upDown->upArrow() : upDown->downArrow(), Qt::LeftButton);
    }
    const auto *upE1 = get<TUpDown>("UpE1");
    return QStringList{get<QLineEdit>("Finale")->text(), get<QLineEdit>("E1")->text(),
                       QString::number(upE1->position()), QString::number(upE1->maximum())} +
           catcher.texts();
}

// Each step that moves the position runs the handler once, error included; a step against
// the end of the range runs nothing. The keys do what the arrows do.
void TestDesktop::keysStepAsArrowClicks_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("effectif");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("boxes");

    QTest::newRow("finale up") << QByteArray("Finale") << int(Qt::Key_Up) << 1 << "71"
                               << "8" << 0;
    QTest::newRow("finale past the top, bad text")
        << QByteArray("Finale") << int(Qt::Key_PageUp) << 15 << "abc"
        << "32" << 13;
    QTest::newRow("finale past zero, bad text")
        << QByteArray("Finale") << int(Qt::Key_Minus) << 5 << "abc"
        << "0" << 3;
    QTest::newRow("e1 page up past its maximum")
        << QByteArray("E1") << int(Qt::Key_PageUp) << 8 << "71"
        << "48" << 0;
}

void TestDesktop::keysStepAsArrowClicks()
{
    QFETCH(QByteArray, field);
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, effectif);
    QFETCH(QString, shown);
    QFETCH(int, boxes);

    const QStringList withKeys = step(field, true, key, presses, effectif);
    QCOMPARE(get<QLineEdit>(field.constData())->text(), shown);
    QCOMPARE(withKeys.size() - 4, boxes);
    newWindow();
    QCOMPARE(withKeys, step(field, false, key, presses, effectif));
}

// As a click on "Calcul": the exit from the field first, then the run; a text that is no
// number stops at the exit's one error box.
void TestDesktop::enterInEffectifClicksCalcul_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("e1");
    QTest::addColumn<QString>("class2");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("return") << "80" << int(Qt::Key_Return) << "24"
                            << "Solution : 1/4" << QStringList();
    QTest::newRow("bad text") << "abc" << int(Qt::Key_Return) << "20"
                              << "0 solution" << QStringList{kConversionError.arg("abc")};
}

// Effectif's text is selected at start and when the keyboard brings the focus to it, so typing
// replaces it; a mouse click places the caret.
void TestDesktop::typingInEffectif_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("shown");

    QTest::newRow("at start") << "start"
                              << "80";
    QTest::newRow("Tab from the last button") << "Tab"
                                              << "80";
    QTest::newRow("Shift+Tab from Finale") << "Backtab"
                                           << "80";
    QTest::newRow("mouse click after the text") << "click"
                                                << "7180";
}

void TestDesktop::typingInEffectif()
{
    QFETCH(QString, how);
    QFETCH(QString, shown);

    auto *effectif = get<QLineEdit>("Effectif");
    if (how != "start") {
        effectif->deselect();
        QWidget *from = get(how == "Tab" ? "Button3" : "Finale");
        if (how == "click") {
            from->setFocus(Qt::OtherFocusReason);
            QTest::mouseClick(effectif, Qt::LeftButton, {},
                              QPoint(effectif->width() - 4, effectif->height() / 2));
        } else {
            from->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(from, how == "Tab" ? Qt::Key_Tab : Qt::Key_Backtab);
        }
    }
    QCOMPARE(m_window->focusWidget(), effectif);
    QTest::keyClicks(effectif, QStringLiteral("80"));
    QCOMPARE(effectif->text(), shown);
}

void TestDesktop::enterInEffectifClicksCalcul()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, e1);
    QFETCH(QString, class2);
    QFETCH(QStringList, boxes);

    auto *effectif = get<QLineEdit>("Effectif");
    QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(effectif, typed);
    MessageBoxCatcher catcher;
    QTest::keyClick(effectif, Qt::Key(key));
    QCOMPARE(catcher.texts(), boxes);
    QCOMPARE(get<QLineEdit>("E1")->text(), e1);
    QCOMPARE(get<QLabel>("Solution2")->text(), class2);
    QCOMPARE(m_window->focusWidget(), get("Button1"));
}

// However the quit comes, the program ends; while the history plays, the history finishes
// and the dialog closes first.
void TestDesktop::quitRequests_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("duringHistory");

    QTest::newRow("Ctrl+Q in the window") << "Ctrl+Q" << false;
    QTest::newRow("application quit, history") << "quit" << true;
    QTest::newRow("Quitter, history") << "Quitter" << true;
    QTest::newRow("Ctrl+Q in the dialog, history") << "Ctrl+Q" << true;
    QTest::newRow("main window closed, history") << "close" << true;
}

void TestDesktop::quitRequests()
{
    QFETCH(QString, request);
    QFETCH(bool, duringHistory);

    auto ask = [this, request](QWidget *focused) {
        if (request == QLatin1String("quit"))
            QCoreApplication::quit();
        else if (request == QLatin1String("Quitter"))
            m_window->Button2Click();
        else if (request == QLatin1String("Ctrl+Q"))
            QTest::keyClick(focused, Qt::Key_Q, Qt::ControlModifier);
        else
            m_window->close();
    };
    bool historyEnded = false;
    m_window->Propos1->setDialogHook([&](TApropos &dialog) {
        dialog.setFrameDelay(1ms);
        dialog.setFinalPause(200ms);
        connect(&dialog, &TApropos::frameShown, &dialog, [&](int frame) {
            if (frame == 3)
                ask(&dialog);
        });
        connect(&dialog, &TApropos::animationFinished, &dialog, [&] { historyEnded = true; });
        QTimer::singleShot(0, &dialog, &TApropos::Button1Click);
    });
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(10000);
    QTimer::singleShot(0, m_window.get(), [&] {
        if (duringHistory)
            m_window->Button3Click();
        else
            ask(get("Effectif"));
    });
    QCOMPARE(QCoreApplication::exec(), 0);
    // Closing the main window ends the program at once, history or not.
    QCOMPARE(historyEnded, duringHistory && request != QLatin1String("close"));
    QVERIFY(!m_window->isVisible());
}

// Cut at Qt's default 32767 characters, the text would be 0; whole, it is 71.
void TestDesktop::longPasteKeptWhole()
{
    const QString pasted = QString(32767, QLatin1Char('0')) + QStringLiteral("71");
    QApplication::clipboard()->setText(pasted);
    auto *effectif = get<QLineEdit>("Effectif");
    QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(effectif, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(effectif->text(), pasted);
    MessageBoxCatcher catcher;
    QTest::keyClick(effectif, Qt::Key_Tab);
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(get<QLineEdit>("E1")->text(), QStringLiteral("20"));
}

// The error box shows the whole text, its control characters as pictures.
void TestDesktop::controlCharactersShown_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("NUL") << QString::fromUtf8("7\0 1", 4) << QStringLiteral("7␀ 1");
    QTest::newRow("tab, escape, delete") << QStringLiteral("7\t\x1b\x7f") << QStringLiteral("7␉␛␡");
}

void TestDesktop::controlCharactersShown()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    auto *effectif = get<QLineEdit>("Effectif");
    effectif->setText(typed);
    QCOMPARE(effectif->text(), typed);
    MessageBoxCatcher catcher;
    QTest::keyClick(effectif, Qt::Key_Tab);
    QCOMPARE(catcher.texts(), QStringList{kConversionError.arg(shown)});
}

QTEST_MAIN(TestDesktop)
