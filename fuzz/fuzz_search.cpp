// The search: with N - E1 small, the closed form lists exactly what the literal loops find;
// with any 32-bit inputs it never overflows and what it lists passes the loops' tests.
//
// Input layout (missing bytes read as 0, so short inputs still make a case):
//   [mode][N: 4][E1: 4][F: 4][RG4][RG5][RG6][class][R: 8]   integers little-endian
// mode bit 0: 0 bounded (compare with the literal loops), 1 unbounded;
// mode bit 1: 0 round-4 size from the final and the ratios, 1 the raw R given.

#include "FuzzCheck.h"
#include "ReferenceSearch.h"
#include "VlmDec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

using velmorin::Count;
using velmorin::TSolution;
__extension__ typedef __int128 Wide;

constexpr Count kBoundedSpan = 150; // keeps the literal loops at about 10^5 steps

using velmorin::fuzz::check;

class Bytes
{
public:
    Bytes(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    template <typename T> T take()
    {
        unsigned char raw[sizeof(T)] = {};
        for (std::size_t i = 0; i < sizeof(T) && m_pos < m_size; ++i)
            raw[i] = m_data[m_pos++];
        T value;
        std::memcpy(&value, raw, sizeof value);
        return value;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

struct Case
{
    std::int32_t registered = 0;
    std::int32_t entrants1 = 0;
    Count tour4 = 0;
};

// The loops' conditions and tests a, b, c for one candidate, in 128 bits.
bool passesTheLoops(const Case &c, Wide e2, Wide e3, Wide e4)
{
    const Wide n = c.registered;
    const Wide e1 = c.entrants1;
    const Wide r = c.tour4;
    if (e2 < 0 || e2 > n - e1 || e3 < 0 || e3 > n - e1 - e2 || e4 < 0 || e4 > n - e1 - e2 - e3)
        return false;
    const Wide t2 = (3 * e1) / 4 + e2;
    const Wide t3 = (3 * t2) / 4 + e3;
    return t2 % 4 == 0 && t3 % 4 == 0 && e1 + e2 + e3 + e4 == n // a
           && 36 * e1 + 48 * e2 + 64 * e3 == 64 * t3            // b
           && 27 * e1 + 36 * e2 + 48 * e3 + 64 * e4 == 64 * r;  // c
}

// Whether any candidate with this E2 is accepted: test a fixes E4 from E3, and test c then
// fixes E3, so there is at most one.
bool hasSolutionAt(const Case &c, Wide e2)
{
    const Wide m = Wide{c.registered} - c.entrants1;
    const Wide sixteenE3 = 27 * Wide{c.entrants1} - 28 * e2 + 64 * (m - c.tour4);
    if (sixteenE3 % 16 != 0)
        return false;
    const Wide e3 = sixteenE3 / 16;
    return passesTheLoops(c, e2, e3, m - e2 - e3);
}

void checkSolution(const Case &c, const TSolution &s)
{
    check(s.Tour1 == c.entrants1, "Tour1 is not E1");
    check(passesTheLoops(c, s.Entrant2, s.Entrant3, s.Entrant4), "solution fails the tests");
    check(s.Tour2 == (3 * Wide{s.Tour1}) / 4 + s.Entrant2, "Tour2 is not the round-2 size");
    check(s.Tour3 == (3 * Wide{s.Tour2}) / 4 + s.Entrant3, "Tour3 is not the round-3 size");
    check(s.tour4() == c.tour4, "round 4 is not the required size");
}

void checkBounded(const Case &c, const velmorin::ClassSolutions &found)
{
    const std::vector<TSolution> expected =
        velmorin::reference::search(c.registered, c.entrants1, c.tour4);
    check(found.count() == static_cast<Count>(expected.size()), "count differs from the loops");
    velmorin::SolutionLists lists;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        check(found.at(static_cast<Count>(i)) == expected[i], "solution differs from the loops");
        lists.append(velmorin::ExemptionClass::Class2, expected[i]);
    }
    for (std::size_t p = 1; p <= expected.size(); ++p)
        check(lists.moveCursorTo(velmorin::ExemptionClass::Class2, static_cast<Count>(p)) ==
                  expected[p - 1],
              "cursor move");
    lists.FreeSolutionList(velmorin::ExemptionClass::Class2);
    check(!lists.hasRecords(velmorin::ExemptionClass::Class2) &&
              !lists.SolutionCursor(velmorin::ExemptionClass::Class2),
          "release left records");
}

void checkUnbounded(const Case &c, const velmorin::ClassSolutions &found, Count probe)
{
    const Count m = Count{c.registered} - c.entrants1;
    const Count count = found.count();
    check(count >= 0, "negative count");
    if (count > 0) {
        for (Count index : {Count{0}, count / 2, count - 1})
            checkSolution(c, found.at(index));
        if (count > 1) {
            check(found.at(1).Entrant2 - found.at(0).Entrant2 == 4, "Entrant2 does not step by 4");
            check(found.at(count - 1).Entrant2 - found.at(count - 2).Entrant2 == 4,
                  "Entrant2 does not step by 4 at the end");
        }
        // Nothing just outside the listed ones, nor between them, is a solution.
        const Wide first = found.at(0).Entrant2;
        const Wide last = found.at(count - 1).Entrant2;
        for (int d = 1; d <= 4; ++d) {
            check(!hasSolutionAt(c, first - d) && !hasSolutionAt(c, last + d), "one left out");
            if (d < 4)
                check(!hasSolutionAt(c, first + d), "one left out between two");
        }
    }
    // A random E2 of the outer loop is a solution exactly when the progression lists it.
    if (m >= 0) {
        const Count e2 = static_cast<Count>(static_cast<std::uint64_t>(probe) %
                                            (static_cast<std::uint64_t>(m) + 1));
        bool listed = false;
        if (count > 0) {
            const Count first = found.at(0).Entrant2;
            listed = e2 >= first && e2 <= found.at(count - 1).Entrant2 && (e2 - first) % 4 == 0;
        }
        check(hasSolutionAt(c, e2) == listed, "probe disagrees with the list");
    }
    for (Count outside : {Count{-1}, count}) {
        try {
            (void)found.at(outside);
            check(false, "index outside the solutions accepted");
        } catch (const std::out_of_range &) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Bytes in(data, size);
    const auto mode = in.take<std::uint8_t>();
    const bool bounded = (mode & 1) == 0;
    const bool rawTour4 = (mode & 2) != 0;

    Case c;
    c.registered = in.take<std::int32_t>();
    c.entrants1 = in.take<std::int32_t>();
    const auto finale = in.take<std::int32_t>();
    const auto rg4 = in.take<std::int8_t>();
    const auto rg5 = in.take<std::int8_t>();
    const auto rg6 = in.take<std::int8_t>();
    const velmorin::ExemptionClass exemptionClass =
        velmorin::exemptionClassFromNumber(1 + in.take<std::uint8_t>() % 3);
    const auto raw = in.take<std::int64_t>();

    if (bounded) {
        const Count m = Count{c.registered} - c.entrants1;
        if (m > kBoundedSpan)
            c.entrants1 = static_cast<std::int32_t>(c.registered - m % (kBoundedSpan + 1));
    }
    if (rawTour4) {
        c.tour4 = bounded ? raw % 4096 : raw;
    } else {
        const auto chain = velmorin::backwardChain(finale, velmorin::ratioFromIndex(rg6),
                                                   velmorin::ratioFromIndex(rg5));
        c.tour4 = velmorin::RequiredTour4(exemptionClass, chain.T5, velmorin::ratioFromIndex(rg4));
    }

    const velmorin::ClassSolutions found =
        velmorin::searchClass(c.registered, c.entrants1, c.tour4);
    check(found.tour4() == c.tour4, "search lost the round-4 size");
    if (bounded)
        checkBounded(c, found);
    checkUnbounded(c, found, raw);
    return 0;
}
