#include "ByteSink.h"
#include "Calculation.h"
#include "SolutionTable.h"

#include <QtTest>

#include <string>

using namespace velmorin;

namespace {

// Keeps what it is given; refuses everything once `limit` writes have been taken.
class LimitedSink : public ByteSink
{
public:
    explicit LimitedSink(int limit = -1) : m_limit(limit) {}
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
    void calculation_data();
    void calculation();
    void csvRows_data();
    void csvRows();
    void paddingAndLongText_data();
    void paddingAndLongText();
    void stopsAtTheFirstRefusedWrite();
    void classWording_data();
    void classWording();
    void solutionCountWording_data();
    void solutionCountWording();
};

// Pinned results, and the rules every solution must keep whatever the search does: round 1
// is E1, each of rounds 1 to 3 sends three quarters on to meet the next round's entrants,
// round 4 sends exactly the quarter-final on (its exempted teams included), and every
// registered team enters once.
void TestSolutionTable::calculation_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("finale");
    QTest::addColumn<int>("entrants1");
    QTest::addColumn<int>("round4");           // 0 for 1/2, 1 for 3/4
    QTest::addColumn<int>("semiFinal");        // the same
    QTest::addColumn<QList<qint64>>("chain");  // T7, T6, T5
    QTest::addColumn<QList<qint64>>("counts"); // classes 3, 2, 1
    // The first and last solution of each class that has one, in run order, as
    // "Tour1 Tour2 Tour3 Tour4 Entrant2 Entrant3 Entrant4".
    QTest::addColumn<QStringList>("ends");

    QTest::newRow("typical use: 80 teams, E1 = 24")
        << 80 << 6 << 24 << 0 << 0 << QList<qint64>{6, 12, 24} << QList<qint64>{4, 4, 5}
        << QStringList{"24 52 60 46 34 21 1", "24 64 48 46 46 0 10", "24 48 60 47 30 24 2",
                       "24 60 48 47 42 3 11", "24 40 64 48 22 34 0", "24 56 48 48 38 6 12"};
    QTest::newRow("one solution: 64 teams, E1 = 28")
        << 64 << 6 << 28 << 0 << 0 << QList<qint64>{6, 12, 24} << QList<qint64>{1, 0, 0}
        << QStringList{"28 24 20 46 3 2 31", "28 24 20 46 3 2 31"};
    QTest::newRow("round 4 at 3/4: class 1 only")
        << 44 << 6 << 20 << 1 << 0 << QList<qint64>{6, 12, 24} << QList<qint64>{0, 0, 1}
        << QStringList{"20 16 12 32 1 0 23", "20 16 12 32 1 0 23"};
    QTest::newRow("final of 9 through a 3/4 semi-final")
        << 71 << 9 << 20 << 0 << 1 << QList<qint64>{9, 12, 24} << QList<qint64>{7, 7, 7}
        << QStringList{"20 20 60 46 5 45 1",  "20 44 36 46 29 3 19", "20 16 60 47 1 48 2",
                       "20 40 36 47 25 6 20", "20 16 56 48 1 44 6",  "20 40 32 48 25 2 24"};
    QTest::newRow("round 1 not whole") << 80 << 6 << 22 << 0 << 0 << QList<qint64>{6, 12, 24}
                                       << QList<qint64>{0, 0, 0} << QStringList{};
}

void TestSolutionTable::calculation()
{
    QFETCH(int, registered);
    QFETCH(int, finale);
    QFETCH(int, entrants1);
    QFETCH(int, round4);
    QFETCH(int, semiFinal);
    QFETCH(QList<qint64>, chain);
    QFETCH(QList<qint64>, counts);
    QFETCH(QStringList, ends);

    Problem p = problem(registered, finale, entrants1, ratioFromIndex(round4));
    p.semiFinal = ratioFromIndex(semiFinal);
    const Calculation c = calculate(p);
    QCOMPARE((QList<qint64>{c.chain.T7, c.chain.T6, c.chain.T5}), chain);

    QList<qint64> gotCounts;
    QStringList gotEnds;
    for (const ClassResult &result : c.classes) {
        const Count n = result.solutions.count();
        gotCounts << n;
        const auto text = [&result](const TSolution &s) {
            return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                .arg(s.Tour1)
                .arg(s.Tour2)
                .arg(s.Tour3)
                .arg(result.tour4)
                .arg(s.Entrant2)
                .arg(s.Entrant3)
                .arg(s.Entrant4);
        };
        if (n > 0)
            gotEnds << text(result.solutions.at(0)) << text(result.solutions.at(n - 1));

        const Count exempted = exemptedTeams(result.exemptionClass);
        const Count through4 = p.round4 == Ratio::Half ? (result.tour4 - exempted) / 2
                                                       : (result.tour4 - exempted) * 3 / 4;
        for (Count i = 0; i < n; ++i) {
            const TSolution s = result.solutions.at(i);
            const QByteArray where = text(s).toUtf8();
            QVERIFY2(s.Tour1 == entrants1, where);
            QVERIFY2(s.Tour1 % 4 == 0 && s.Tour2 % 4 == 0 && s.Tour3 % 4 == 0, where);
            QVERIFY2(s.Tour2 == s.Tour1 * 3 / 4 + s.Entrant2, where);
            QVERIFY2(s.Tour3 == s.Tour2 * 3 / 4 + s.Entrant3, where);
            QVERIFY2(result.tour4 == s.Tour3 * 3 / 4 + s.Entrant4, where);
            QVERIFY2(s.Entrant2 >= 0 && s.Entrant3 >= 0 && s.Entrant4 >= 0, where);
            QVERIFY2(s.Tour1 + s.Entrant2 + s.Entrant3 + s.Entrant4 == registered, where);
            QVERIFY2(through4 + exempted == c.chain.T5, where);
        }
    }
    QCOMPARE(gotCounts, counts);
    QCOMPARE(gotEnds, ends);
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
    LimitedSink sink;
    QVERIFY(writeCsv(c, sink, separator));
    QCOMPARE(QString::fromStdString(sink.text), expected);
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
    LimitedSink sink;
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
        LimitedSink sink(0);
        QVERIFY(!write(huge, sink));
        QCOMPARE(sink.refused, 1);
    }
    LimitedSink sink(1);
    QVERIFY(!writeCsv(huge, sink, ','));
    QCOMPARE(sink.writes, 1);
    QCOMPARE(sink.refused, 1);
    QVERIFY(sink.text.size() >= (std::size_t{1} << 20) - 200);
}

// What the listings and the window say of each class: a class's row swapped with another's,
// or a plural lost, shows here.
void TestSolutionTable::classWording_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("exempted");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("markingLabel");
    QTest::addColumn<uint>("colour"); // 0xRRGGBB

    QTest::newRow("class 3") << 3 << 2 << "Classe 3 (2 exemptées)"
                             << "2 équipes exemptées du Tour 4"
                             << "Exemptées" << 0x000000u;
    QTest::newRow("class 2") << 2 << 1 << "Classe 2 (1 exemptée)"
                             << "1 équipe exemptée du Tour 4"
                             << "Exemptée" << 0x0000FFu;
    QTest::newRow("class 1") << 1 << 0 << "Classe 1 (aucune exemptée)"
                             << "aucune équipe exemptée" << QString() << 0xFF0000u;
}

void TestSolutionTable::classWording()
{
    QFETCH(int, number);
    QFETCH(int, exempted);
    QFETCH(QString, heading);
    QFETCH(QString, description);
    QFETCH(QString, markingLabel);
    QFETCH(uint, colour);

    // Classes are numbered 1 to 3 and nothing else.
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, exemptionClassFromNumber(number - 3));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, exemptionClassFromNumber(number + 3));
    const ExemptionClass k = exemptionClassFromNumber(number);
    QCOMPARE(classNumber(k), number);
    QCOMPARE(exemptedTeams(k), exempted);
    const ClassWording &w = wording(k);
    QCOMPARE(QString::fromUtf8(w.heading.data(), qsizetype(w.heading.size())), heading);
    QCOMPARE(QString::fromUtf8(w.description.data(), qsizetype(w.description.size())), description);
    QCOMPARE(QString::fromUtf8(w.markingLabel.data(), qsizetype(w.markingLabel.size())),
             markingLabel);
    QCOMPARE(uint(w.colour), colour);

    // The table's heading of the class is that wording, with the count that follows it.
    LimitedSink sink;
    QVERIFY(writeTable(calculate(problem(80, 6, 24)), sink));
    const int count = number == 1 ? 5 : 4;
    QVERIFY2(QString::fromStdString(sink.text).contains(
                 QLatin1Char('\n') + heading + QStringLiteral(" : %1 solutions\n").arg(count)),
             sink.text.c_str());
}

void TestSolutionTable::solutionCountWording_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << qint64(0) << "0 solution";
    QTest::newRow("one") << qint64(1) << "1 solution";
    QTest::newRow("two") << qint64(2) << "2 solutions";
    QTest::newRow("beyond 32 bits") << qint64(5000000000) << "5000000000 solutions";
}

void TestSolutionTable::solutionCountWording()
{
    QFETCH(qint64, count);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(solutionCount(count)), text);
}

QTEST_APPLESS_MAIN(TestSolutionTable)
#include "tst_solutiontable.moc"
