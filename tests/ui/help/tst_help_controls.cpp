// The guide against the program: its shortcuts do what it says, and every control of the
// main window says what it is.

#include "tst_help.h"

// Each shortcut of the window that the guide lists belongs to the action it names, and
// pressing it runs that action.
void TestHelp::shortcutsDoWhatTheGuideSays_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("action");
    const QList<QStringList> rows = guideShortcuts();
    QVERIFY(rows.size() >= 8);
    for (const QStringList &row : rows) {
        if (row.at(2) == QStringLiteral("fenêtre principale") ||
            row.at(2) == QLatin1String("partout"))
            QTest::newRow(qPrintable(row.at(0))) << row.at(0) << row.at(1);
    }
}

void TestHelp::shortcutsDoWhatTheGuideSays()
{
    QFETCH(QString, keys);
    QFETCH(QString, action);
    const QKeySequence sequence =
        QKeySequence::fromString(QString(keys).replace(QLatin1String("Maj"), "Shift"));
    QVERIFY(!sequence.isEmpty());
    clickCalcul(); // the plan's actions need a solution shown
    MessageBoxCatcher boxes;
    ModalCloser closer;

    if (action == QLatin1String("Quitter")) {
        auto *quit = m_window->findChild<QShortcut *>(QStringLiteral("quitShortcut"));
        QVERIFY(quit);
        QCOMPARE(quit->key(), sequence);
        return; // quitting would end the test program
    }
    QAction *found = nullptr;
    for (QAction *candidate : m_window->contextActions()) {
        if (candidate->text() == action)
            found = candidate;
    }
    QVERIFY2(found, qPrintable(action));
    QCOMPARE(found->shortcut(), sequence);
    QSignalSpy triggered(found, &QAction::triggered);
    pressOnWindow(sequence);
    QTRY_COMPARE(triggered.count(), 1);
}

void TestHelp::everyControlSaysWhatItIs()
{
    QStringList silent;
    for (QWidget *widget : m_window->findChildren<QWidget *>()) {
        const bool used =
            qobject_cast<QLineEdit *>(widget) || qobject_cast<QPushButton *>(widget) ||
            (qobject_cast<QAbstractSlider *>(widget) && !qobject_cast<QScrollBar *>(widget)) ||
            qobject_cast<velmorin::TRadioGroup *>(widget) ||
            qobject_cast<velmorin::TUpDown *>(widget);
        if (used && widget->toolTip().isEmpty() &&
            !widget->parentWidget()->inherits("velmorin::TRadioGroup"))
            silent << widget->objectName() + '/' + widget->metaObject()->className();
    }
    for (const char *label :
         {"solution1", "Solution2", "Solution3", "Fini", "ExempNbrs", "ExempLabel"}) {
        if (get<QLabel>(label)->toolTip().isEmpty())
            silent << QLatin1String(label);
    }
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(", ")));
    // The dialogs' fields, buttons and tables too.
    pressOnWindow(QKeySequence(Qt::Key_F2));
    for (const char *name : {"TableEnsemble", "GraphiqueEnsemble"})
        QVERIFY2(!get<QWidget>(name)->toolTip().isEmpty(), name);
    for (const auto &[key, dialogName] :
         {std::pair{Qt::Key_F3, "RecherchePlans"}, std::pair{Qt::Key_F4, "Equipes"}}) {
        pressOnWindow(QKeySequence(key));
        for (QWidget *widget : get<QWidget>(dialogName)->findChildren<QWidget *>()) {
            const bool used =
                qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractButton *>(widget) ||
                qobject_cast<QAbstractItemView *>(widget) || qobject_cast<QComboBox *>(widget);
            if (used && !widget->objectName().isEmpty() && widget->toolTip().isEmpty())
                silent << widget->objectName();
        }
    }
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(", ")));
    QCOMPARE(get<QLineEdit>("T4")->toolTip(),
             QStringLiteral("Équipes jouant le Tour 4 (1/8 de finale), exemptées comprises"));
    QCOMPARE(get<QLineEdit>("Effectif")->accessibleDescription(),
             get<QLineEdit>("Effectif")->toolTip());
}
