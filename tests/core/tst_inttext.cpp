#include "IntText.h"

#include <QtTest>

using velmorin::ConversionError;
using velmorin::IntTextStatus;
using velmorin::IntToStr;
using velmorin::StrToInt;

class TestIntText : public QObject
{
    Q_OBJECT

private slots:
    void accepts_data();
    void accepts();
    void rejects_data();
    void rejects();
    void messageNamesTheText();
    void rangeMessage_data();
    void rangeMessage();
    void toText_data();
    void toText();
    void roundTrip();
};

void TestIntText::accepts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("value");

    QTest::newRow("plain") << QByteArray("71") << 71;
    QTest::newRow("zero") << QByteArray("0") << 0;
    QTest::newRow("minus zero") << QByteArray("-0") << 0;
    QTest::newRow("plus sign") << QByteArray("+80") << 80;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("leading spaces") << QByteArray("   71") << 71;
    QTest::newRow("leading zeros") << QByteArray("000000000000071") << 71;
    QTest::newRow("int max") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("int min") << QByteArray("-2147483648") << qint32(-2147483647 - 1);
    QTest::newRow("dollar hex") << QByteArray("$47") << 71;
    QTest::newRow("x hex") << QByteArray("x47") << 71;
    QTest::newRow("X hex") << QByteArray("X47") << 71;
    QTest::newRow("0x hex") << QByteArray("0x47") << 71;
    QTest::newRow("0X hex") << QByteArray("0X47") << 71;
    QTest::newRow("hex mixed case") << QByteArray("$aB") << 0xAB;
    QTest::newRow("hex all ones is -1") << QByteArray("$FFFFFFFF") << -1;
    QTest::newRow("hex sign bit") << QByteArray("$80000000") << qint32(-2147483647 - 1);
    QTest::newRow("hex leading zeros") << QByteArray("$0000000000FF") << 255;
    QTest::newRow("spaces then hex") << QByteArray("  0x10") << 16;
    QTest::newRow("0x0") << QByteArray("0x0") << 0;
}

void TestIntText::accepts()
{
    QFETCH(QByteArray, text);
    QFETCH(qint32, value);
    QCOMPARE(StrToInt(text.toStdString()), value);
}

void TestIntText::rejects_data()
{
    QTest::addColumn<QByteArray>("text");
    // A well-formed number outside 32 bits, which the calculator names as such.
    QTest::addColumn<bool>("outOf32Bits");

    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("spaces only") << QByteArray("   ") << false;
    QTest::newRow("letters") << QByteArray("abc") << false;
    QTest::newRow("trailing space") << QByteArray("71 ") << false;
    QTest::newRow("trailing letter") << QByteArray("71a") << false;
    QTest::newRow("inner space") << QByteArray("7 1") << false;
    QTest::newRow("sign only") << QByteArray("-") << false;
    QTest::newRow("double sign") << QByteArray("--5") << false;
    QTest::newRow("space after sign") << QByteArray("- 5") << false;
    QTest::newRow("tab before") << QByteArray("\t71") << false;
    QTest::newRow("decimal overflow") << QByteArray("2147483648") << true;
    QTest::newRow("decimal underflow") << QByteArray("-2147483649") << true;
    QTest::newRow("huge") << QByteArray("99999999999999999999999") << true;
    QTest::newRow("dollar alone") << QByteArray("$") << false;
    QTest::newRow("0x alone") << QByteArray("0x") << false;
    QTest::newRow("hex overflow") << QByteArray("$100000000") << true;
    QTest::newRow("signed hex") << QByteArray("-$10") << false;
    QTest::newRow("plus hex") << QByteArray("+0x10") << false;
    QTest::newRow("bad hex digit") << QByteArray("$1G") << false;
    QTest::newRow("hex trailing space") << QByteArray("$47 ") << false;
    QTest::newRow("decimal point") << QByteArray("7.0") << false;
    QTest::newRow("nul inside") << QByteArray("7\0"
                                              "1",
                                              3)
                                << false;
    QTest::newRow("overflow after spaces and plus") << QByteArray("  +2147483648") << true;
    QTest::newRow("hex overflow, leading zeros") << QByteArray("0x000123456789") << true;
    QTest::newRow("too many digits, then a letter") << QByteArray("99999999999x") << false;
    QTest::newRow("hex overflow, then a bad digit") << QByteArray("$123456789G") << false;
    QTest::newRow("accented") << QByteArray("71é") << false;
}

void TestIntText::rejects()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, outOf32Bits);
    std::int32_t value = 42;
    QVERIFY(!velmorin::tryStrToInt(text.toStdString(), value));
    QCOMPARE(velmorin::readIntText(text.toStdString(), value),
             outOf32Bits ? IntTextStatus::OutOf32Bits : IntTextStatus::NotInteger);
    QCOMPARE(value, 42);
    // The window tells no range apart: every refused text gets the one message.
    try {
        StrToInt(text.toStdString());
        QFAIL("the text was accepted");
    } catch (const ConversionError &error) {
        QCOMPARE(QByteArray::fromStdString(error.message()),
                 "'" + text + "' n'est pas une valeur entière correcte");
    }
}

void TestIntText::messageNamesTheText()
{
    try {
        StrToInt("abc");
        QFAIL("abc was accepted");
    } catch (const ConversionError &error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("'abc' n'est pas une valeur entière correcte"));
        QCOMPARE(error.text(), std::string("abc"));
    }
    try {
        StrToInt("71 ");
        QFAIL("a trailing space was accepted");
    } catch (const ConversionError &error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("'71 ' n'est pas une valeur entière correcte"));
    }
}

void TestIntText::rangeMessage_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one past the top")
        << QByteArray("2147483648") << QStringLiteral("est trop grand : au plus 2 147 483 647");
    QTest::newRow("eleven nines") << QByteArray("99999999999")
                                  << QStringLiteral("est trop grand : au plus 2 147 483 647");
    QTest::newRow("one below the bottom")
        << QByteArray("  -2147483649")
        << QStringLiteral("est trop petit : au moins -2 147 483 648");
    QTest::newRow("plus sign") << QByteArray("+3000000000")
                               << QStringLiteral("est trop grand : au plus 2 147 483 647");
    QTest::newRow("nine hex digits")
        << QByteArray("$100000000") << QStringLiteral("est trop grand : au plus $FFFFFFFF");
    QTest::newRow("0x prefix") << QByteArray(" 0X100000000")
                               << QStringLiteral("est trop grand : au plus $FFFFFFFF");
    QTest::newRow("not a number") << QByteArray("-12a")
                                  << QStringLiteral("n'est pas une valeur entière correcte");
}

void TestIntText::rangeMessage()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    std::int32_t value = 0;
    const std::string bytes = text.toStdString();
    const std::string said =
        velmorin::intTextMessage(velmorin::readIntText(bytes, value), bytes, "'" + bytes + "'");
    QCOMPARE(QString::fromStdString(said),
             QStringLiteral("'%1' ").arg(QString::fromLatin1(text)) + expected);
}

void TestIntText::toText_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("zero") << qint64(0) << QByteArray("0");
    QTest::newRow("positive") << qint64(48) << QByteArray("48");
    QTest::newRow("negative") << qint64(-52) << QByteArray("-52");
    QTest::newRow("int min") << qint64(-2147483648LL) << QByteArray("-2147483648");
    QTest::newRow("beyond 32 bits") << qint64(8589934592LL) << QByteArray("8589934592");
}

void TestIntText::toText()
{
    QFETCH(qint64, value);
    QFETCH(QByteArray, text);
    QCOMPARE(QByteArray::fromStdString(IntToStr(value)), text);
}

void TestIntText::roundTrip()
{
    const qint32 samples[] = {0, 1, -1, 71, -2147483647 - 1, 2147483647, 123456789};
    for (qint32 v : samples)
        QCOMPARE(StrToInt(IntToStr(v)), v);
}

QTEST_APPLESS_MAIN(TestIntText)
#include "tst_inttext.moc"
