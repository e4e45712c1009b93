
#pragma once
#include "Calc.h"
#include "CalcRun.h"
#include "WhyNoSolution.h"

#include <QtTest>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

using velmorin::cli::runCalc;

namespace {

using Run = velmorin::testing::CalcRun;

inline Run run(const QStringList &args)
{
    return velmorin::testing::runCalculator(args);
}

// Accepts a fixed number of bytes, then fails every write, as a pipe whose reader has gone.
class ClosingBuffer : public std::streambuf
{
public:
    explicit ClosingBuffer(std::size_t capacity) : m_left(capacity) {}
    std::size_t accepted = 0;
    int writesAfterClose = 0;

protected:
    int_type overflow(int_type ch) override
    {
        const char c = traits_type::to_char_type(ch);
        return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
    }
    std::streamsize xsputn(const char *, std::streamsize count) override
    {
        if (m_left == 0) {
            ++writesAfterClose;
            return 0;
        }
        const auto n = std::min(m_left, static_cast<std::size_t>(count));
        m_left -= n;
        accepted += n;
        return static_cast<std::streamsize>(n);
    }

private:
    std::size_t m_left;
};

const char kDefaultsCsv[] = "classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4\n"
                            "3,1,20,20,60,46,5,45,1\n"
                            "3,2,20,24,56,46,9,38,4\n"
                            "3,3,20,28,52,46,13,31,7\n"
                            "3,4,20,32,48,46,17,24,10\n"
                            "3,5,20,36,44,46,21,17,13\n"
                            "3,6,20,40,40,46,25,10,16\n"
                            "3,7,20,44,36,46,29,3,19\n"
                            "2,1,20,16,60,47,1,48,2\n"
                            "2,2,20,20,56,47,5,41,5\n"
                            "2,3,20,24,52,47,9,34,8\n"
                            "2,4,20,28,48,47,13,27,11\n"
                            "2,5,20,32,44,47,17,20,14\n"
                            "2,6,20,36,40,47,21,13,17\n"
                            "2,7,20,40,36,47,25,6,20\n"
                            "1,1,20,16,56,48,1,44,6\n"
                            "1,2,20,20,52,48,5,37,9\n"
                            "1,3,20,24,48,48,9,30,12\n"
                            "1,4,20,28,44,48,13,23,15\n"
                            "1,5,20,32,40,48,17,16,18\n"
                            "1,6,20,36,36,48,21,9,21\n"
                            "1,7,20,40,32,48,25,2,24\n";

const char kCountsNone[] = "classe,solutions\n3,0\n2,0\n1,0\n";

} // namespace

class TestCalc : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void usageErrors_data();
    void usageErrors();
    void argumentsShownSafely_data();
    void argumentsShownSafely();
    void defaultsTable();
    void tableColumnsStayAligned();
    void stopsWhenTheReaderGoesAway();
    void scanStopsWhenTheReaderGoesAway();
};
