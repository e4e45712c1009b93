#include "ByteSink.h"
#include "Calculation.h"
#include "SolutionTable.h"

#include <QtTest>

#include <string>

using namespace velmorin;

namespace {

// Keeps what it is given; refuses everything once `limit` writes have been taken.
class StringSink : public ByteSink
{
public:
    explicit StringSink(int limit = -1) : m_limit(limit) {}
    bool write(std::string_view bytes) override
    {
        if (m_limit >= 0 && writes >= m_limit) {
            ++refused;
            return false;
        }
        ++writes;
        text += bytes;
        return true;
    }
    std::string text;
    int writes = 0;
    int refused = 0;

private:
    int m_limit;
};

Problem problem(std::int32_t registered, std::int32_t finale, std::int32_t entrants1,
                Ratio round4 = Ratio::Half)
{
    Problem p;
    p.registered = registered;
    p.finale = finale;
    p.entrants1 = entrants1;
    p.round4 = round4;
    return p;
}

} // namespace

class TestSolutionTable : public QObject
{
    Q_OBJECT

private slots:
    void calculationMatchesClassByClass();
    void csvRows_data();
    void csvRows();
    void paddingAndLongText_data();
    void paddingAndLongText();
    void stopsAtTheFirstRefusedWrite();
    void wordingOfEachClass();
};

// The whole run and the window's class-by-class run give the same classes.
void TestSolutionTable::calculationMatchesClassByClass()
{
    const Problem p = problem(80, 6, 24);
    const Calculation whole = calculate(p);
    QCOMPARE(whole.chain.T5, Count(24));
    QCOMPARE(whole.totalSolutions(), Count(4 + 4 + 5));
    for (ExemptionClass k : kRunOrder) {
        const ClassResult alone = solveClass(p, backwardChain(p), k);
        QCOMPARE(whole.of(k).exemptionClass, k);
        QCOMPARE(whole.of(k).tour4, alone.tour4);
        QCOMPARE(whole.of(k).solutions.count(), alone.solutions.count());
    }
    QVERIFY(!calculate(problem(71, 6, 20, Ratio::ThreeQuarters)).anySolution());
}

void TestSolutionTable::csvRows_data()
{
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("expected");
    const QString header =
        QStringLiteral("classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4\n");
    // 64 teams, 6 in the final, 28 at round 1: one solution, in class 3.
    QTest::newRow("comma") << ',' << header + QStringLiteral("3,1,28,24,20,46,3,2,31\n");
    QString semicolons = header;
    semicolons.replace(QLatin1Char(','), QLatin1Char(';'));
    QTest::newRow("semicolon") << ';' << semicolons + QStringLiteral("3;1;28;24;20;46;3;2;31\n");
}

void TestSolutionTable::csvRows()
{
    QFETCH(char, separator);
    QFETCH(QString, expected);
    const Calculation c = calculate(problem(64, 6, 28));
    QCOMPARE(c.totalSolutions(), Count(1));
    StringSink sink;
    QVERIFY(writeCsv(c, sink, separator));
    QCOMPARE(QString::fromStdString(sink.text), expected);
    const ClassResult &class3 = c.of(ExemptionClass::Class3);
    const TableRow row = tableRow(ExemptionClass::Class3, 1, class3.solutions.at(0), class3.tour4);
    QCOMPARE(csvLine(row, separator) + '\n', sink.text.substr(sink.text.find('\n') + 1));
}

void TestSolutionTable::paddingAndLongText_data()
{
    QTest::addColumn<qlonglong>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("narrower than its width") << 42LL << 5 << QStringLiteral("   42");
    QTest::newRow("as wide") << -42LL << 3 << QStringLiteral("-42");
    QTest::newRow("wider than its width") << 123456LL << 2 << QStringLiteral("123456");
    QTest::newRow("width beyond any number")
        << 7LL << 45 << QString(44, QLatin1Char(' ')) + QStringLiteral("7");
    QTest::newRow("most negative")
        << std::numeric_limits<qlonglong>::min() << 21 << QStringLiteral(" -9223372036854775808");
}

void TestSolutionTable::paddingAndLongText()
{
    QFETCH(qlonglong, value);
    QFETCH(int, width);
    QFETCH(QString, expected);
    StringSink sink;
    {
        // A tiny buffer: every piece forces a flush, and a text longer than the buffer still
        // goes through whole.
        LineBuffer line(sink, 8);
        line.padded(value, static_cast<std::size_t>(width)).text("|0123456789abcdef").endLine();
    }
    QCOMPARE(QString::fromStdString(sink.text), expected + QStringLiteral("|0123456789abcdef\n"));
}

void TestSolutionTable::stopsAtTheFirstRefusedWrite()
{
    // Some 900 million rows: only the first buffer is taken, and nothing is tried after the
    // refusal of the second.
    const Calculation huge = calculate(problem(2147483647, 200000000, 0));
    const auto counts = [](const Calculation &c, ByteSink &sink) { return writeCounts(c, sink); };
    for (bool (*write)(const Calculation &, ByteSink &) :
         {&writeTable, +counts, &writeCountsTable}) {
        StringSink sink(0);
        QVERIFY(!write(huge, sink));
        QCOMPARE(sink.refused, 1);
    }
    StringSink sink(1);
    QVERIFY(!writeCsv(huge, sink, ','));
    QCOMPARE(sink.writes, 1);
    QCOMPARE(sink.refused, 1);
    QVERIFY(sink.text.size() >= (std::size_t{1} << 20) - 200);
}

void TestSolutionTable::wordingOfEachClass()
{
    QCOMPARE(wording(ExemptionClass::Class3).markingLabel, std::string_view("Exemptées"));
    QCOMPARE(wording(ExemptionClass::Class2).description,
             std::string_view("1 équipe exemptée du Tour 4"));
    QCOMPARE(wording(ExemptionClass::Class1).colour, 0xFF0000u);
    QCOMPARE(exemptionClassFromNumber(2), ExemptionClass::Class2);
    QCOMPARE(solutionCount(1), std::string("1 solution"));
    QCOMPARE(solutionCount(2), std::string("2 solutions"));
}

QTEST_APPLESS_MAIN(TestSolutionTable)
#include "tst_solutiontable.moc"
