// The main window driven from the keyboard alone, compared with the mouse.

#include "MessageBoxCatcher.h"
#include "UpDown.h"
#include "VlmPrg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <memory>

using velmorin::TUpDown;

namespace {

// What the inputs show after a sequence of steps, and the error boxes it raised.
struct Outcome
{
    QStringList fields;
    QStringList boxes;

    friend bool operator==(const Outcome &a, const Outcome &b)
    {
        return a.fields == b.fields && a.boxes == b.boxes;
    }
};

char *toString(const Outcome &outcome)
{
    return QTest::toString(outcome.fields.join(QLatin1Char(' ')) + QLatin1String(" | ") +
                           outcome.boxes.join(QLatin1Char(' ')));
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void stepsAsArrowClicks_data();
    void stepsAsArrowClicks();
    void fieldsStayReadOnly();
    void enterInEffectifClicksCalcul_data();
    void enterInEffectifClicksCalcul();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void controlQQuits();

private:
    template <typename T> T *get(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    QString text(const char *name) const { return get<QLineEdit>(name)->text(); }
    void newWindow();
    Outcome step(const char *field, bool withKeys, int key, int presses, const QString &effectif);

    std::unique_ptr<TVlmFPrg> m_window;
};

void TestKeyboard::init()
{
    newWindow();
}

void TestKeyboard::cleanup()
{
    m_window.reset();
}

void TestKeyboard::newWindow()
{
    m_window = std::make_unique<TVlmFPrg>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

// Gives `field` the focus, writes `effectif` behind the handlers' back, then steps.
Outcome TestKeyboard::step(const char *field, bool withKeys, int key, int presses,
                           const QString &effectif)
{
    auto *edit = get<QLineEdit>(field);
    edit->setFocus(Qt::TabFocusReason);
    get<QLineEdit>("Effectif")->setText(effectif);
    auto *upDown = get<TUpDown>(qstrcmp(field, "Finale") == 0 ? "UpFinale" : "UpE1");
    const bool up = key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_Plus;
    MessageBoxCatcher catcher;
    for (int i = 0; i < presses; ++i) {
        if (withKeys)
            QTest::keyClick(edit, Qt::Key(key));
        else
            QTest::mouseClick(up ? upDown->upArrow() : upDown->downArrow(), Qt::LeftButton);
    }
    const auto *upFinale = get<TUpDown>("UpFinale");
    const auto *upE1 = get<TUpDown>("UpE1");
    return {{text("Finale"), text("E1"), QString::number(upFinale->position()),
             QString::number(upE1->position()), QString::number(upE1->maximum())},
            catcher.texts()};
}

// Each step that changes the position runs the handler once, with its error; a step
// against the end of the range runs nothing.
void TestKeyboard::stepsAsArrowClicks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("effectif");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("boxes");

    QTest::newRow("finale up") << "Finale" << int(Qt::Key_Up) << 1 << "71"
                               << "8" << 0;
    QTest::newRow("finale plus") << "Finale" << int(Qt::Key_Plus) << 2 << "71"
                                 << "10" << 0;
    QTest::newRow("finale page up to the top") << "Finale" << int(Qt::Key_PageUp) << 16 << "71"
                                               << "32" << 0;
    QTest::newRow("finale down to zero") << "Finale" << int(Qt::Key_Down) << 5 << "71"
                                         << "0" << 0;
    QTest::newRow("finale minus, bad text") << "Finale" << int(Qt::Key_Minus) << 1 << "abc"
                                            << "4" << 1;
    QTest::newRow("finale page down past zero, bad text")
        << "Finale" << int(Qt::Key_PageDown) << 5 << "abc"
        << "0" << 3;
    QTest::newRow("finale past the top, bad text") << "Finale" << int(Qt::Key_PageUp) << 15 << "abc"
                                                   << "32" << 13;
    QTest::newRow("e1 up") << "E1" << int(Qt::Key_Up) << 1 << "71"
                           << "24" << 0;
    QTest::newRow("e1 to its maximum") << "E1" << int(Qt::Key_PageUp) << 8 << "71"
                                       << "48" << 0;
    QTest::newRow("e1 down past zero") << "E1" << int(Qt::Key_Minus) << 7 << "71"
                                       << "0" << 0;
    QTest::newRow("e1, bad text") << "E1" << int(Qt::Key_Down) << 2 << "abc"
                                  << "12" << 0;
}

void TestKeyboard::stepsAsArrowClicks()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, effectif);
    QFETCH(QString, shown);
    QFETCH(int, boxes);

    const QByteArray name = field.toLatin1();
    const Outcome keys = step(name.constData(), true, key, presses, effectif);
    QCOMPARE(text(name.constData()), shown);
    QCOMPARE(keys.boxes.size(), boxes);

    newWindow();
    const Outcome arrows = step(name.constData(), false, key, presses, effectif);
    QCOMPARE(keys, arrows);
}

void TestKeyboard::fieldsStayReadOnly()
{
    for (const char *name : {"Finale", "E1"}) {
        auto *field = get<QLineEdit>(name);
        const QString before = field->text();
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field, QStringLiteral("9x"));
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), before);
        QVERIFY(field->isReadOnly());
        QCOMPARE(field->focusPolicy(), Qt::StrongFocus);
    }
}

// As a click on "Calcul": the exit from the field first, then the run; a text that is no
// number stops at the exit's one error box.
void TestKeyboard::enterInEffectifClicksCalcul_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("e1");
    QTest::addColumn<QString>("class2");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("80, return") << "80" << int(Qt::Key_Return) << "24"
                                << "Solution : 1/4" << QStringList();
    QTest::newRow("80, keypad enter") << "80" << int(Qt::Key_Enter) << "24"
                                      << "Solution : 1/4" << QStringList();
    QTest::newRow("abc") << "abc" << int(Qt::Key_Return) << "20"
                         << "0 solution"
                         << QStringList{"'abc' n'est pas une valeur entière correcte."};
}

void TestKeyboard::enterInEffectifClicksCalcul()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, e1);
    QFETCH(QString, class2);
    QFETCH(QStringList, boxes);

    auto *effectif = get<QLineEdit>("Effectif");
    QVERIFY(effectif->hasFocus());
    QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(effectif, typed);
    MessageBoxCatcher catcher;
    QTest::keyClick(effectif, Qt::Key(key));
    QCOMPARE(catcher.texts(), boxes);
    QCOMPARE(text("E1"), e1);
    QCOMPARE(get<QLabel>("Solution2")->text(), class2);
    QCOMPARE(m_window->focusWidget(), get<QWidget>("Button1"));
}

void TestKeyboard::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("return") << int(Qt::Key_Return);
    QTest::newRow("enter") << int(Qt::Key_Enter);
    QTest::newRow("space") << int(Qt::Key_Space);
}

void TestKeyboard::enterPressesTheFocusedButton()
{
    QFETCH(int, key);
    auto *calcul = get<QPushButton>("Button1");
    QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Tab);
    calcul->setFocus(Qt::TabFocusReason);
    QSignalSpy clicked(calcul, &QPushButton::clicked);
    QTest::keyClick(calcul, Qt::Key(key));
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(get<QLabel>("solution1")->text(), QStringLiteral("Solution : 1/7"));
}

void TestKeyboard::controlQQuits()
{
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(10000);
    QTimer::singleShot(0, m_window.get(), [this] {
        QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Q, Qt::ControlModifier);
    });
    QCOMPARE(QCoreApplication::exec(), 0);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
