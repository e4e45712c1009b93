#include "PlanSearch.h"

#include "Division.h"
#include "RoundOne.h"

#include <algorithm>
#include <limits>
#include <queue>
#include <tuple>

namespace velmorin {

// A class's solutions are the lattice points (e, j) of a polygon. With E1 = 4e and
// E2 = e + 4j (the progression of VlmDec.cpp, C = 4 (N - R)):
//   E3 = C - 11 e - 7 j      E4 = 4 R - 3 N + 6 e + 3 j
//   T2 = 4 e + 4 j           T3 = C - 8 e - 4 j           T4 = R
// one step along a class's list adds 4 to E2, E4 3, T2 4 and takes 7 from E3, 4 from T3. The
// polygon is E2, E3, E4 >= 0 with e in the class's exact range of E1 values.
//
// The deviation is a sum of distances of affine functions to intervals: convex in (e, j). For
// one e it is convex in j, so its best j is found by bisection and the others come in order
// by walking out on both sides. Over e the search needs a bound for the values not opened yet:
// the least deviation over real j, h(e), is convex in e (a convex function minimised over one
// variable on a convex polygon). Each distance is first replaced by the line through its
// values at whole steps of its own direction (E4 and T3 share 2 e + j), which equals it on the
// lattice and stays convex: h then knows, for instance, that T3 is always a multiple of 4.
// The walk opens e from the smallest minimiser of h outwards, best-first, each side's next e
// standing in the queue with its bound.

namespace {

// j is handled in 84ths: every breakpoint of h in j is a multiple of 1/4 or 1/7.
constexpr Count kScale = 84;
constexpr Count kNone = std::numeric_limits<Count>::min();

// A wished quantity along its direction: value = c + k u.
struct Term
{
    Count k = 0;
    Count c = 0;
    Interval interval;
};

// The quantities that vary along u = alpha e + beta j.
struct Direction
{
    Count alpha = 0;
    Count beta = 0;
    std::vector<Term> terms;

    Count at(Count u) const
    {
        Count sum = 0;
        for (const Term &t : terms)
            sum += t.interval.distance(t.c + t.k * u);
        return sum;
    }
};

class ClassLattice
{
public:
    ClassLattice(const Problem &problem, ExemptionClass exemptionClass, Count tour4,
                 const Wishes &wishes, Count lastE)
        : m_class(exemptionClass), m_n(problem.registered), m_r(tour4),
          m_range(entrants1WithSolutions(problem.registered, tour4, lastE))
    {
        const Count c = 4 * (m_n - m_r);
        m_fixed = wishes.of(Quantity::Tour4).distance(m_r);
        const auto add = [&wishes](Direction &d, Quantity q, Count k, Count c0) {
            if (wishes.of(q).bounded())
                d.terms.push_back({k, c0, wishes.of(q)});
        };
        m_directions[0] = {1, 0, {}};
        add(m_directions[0], Quantity::Entrants1, 4, 0);
        m_directions[1] = {1, 4, {}};
        add(m_directions[1], Quantity::Entrants2, 1, 0);
        m_directions[2] = {11, 7, {}};
        add(m_directions[2], Quantity::Entrants3, -1, c);
        m_directions[3] = {2, 1, {}};
        add(m_directions[3], Quantity::Entrants4, 3, 4 * m_r - 3 * m_n);
        add(m_directions[3], Quantity::Tour3, -4, c);
        m_directions[4] = {1, 1, {}};
        add(m_directions[4], Quantity::Tour2, 4, 0);
    }

    ExemptionClass exemptionClass() const { return m_class; }
    Count tour4() const { return m_r; }
    const Entrants1Band &range() const { return m_range; }

    Count jMin(Count e) const
    {
        return std::max(ceilDiv(-e, 4), ceilDiv(3 * m_n - 4 * m_r, 3) - 2 * e);
    }
    Count jMax(Count e) const { return floorDiv(4 * (m_n - m_r) - 11 * e, 7); }

    Count deviation(Count e, Count j) const
    {
        Count sum = m_fixed;
        for (const Direction &d : m_directions)
            sum += d.at(d.alpha * e + d.beta * j);
        return sum;
    }

    // The smallest j of least deviation at e.
    Count bestJ(Count e) const
    {
        Count lo = jMin(e);
        Count hi = jMax(e);
        while (lo < hi) {
            const Count mid = lo + (hi - lo) / 2;
            if (deviation(e, mid + 1) < deviation(e, mid))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }

    // The least deviation over real j at e, times 84: h(e).
    Count relaxed(Count e) const
    {
        // E4 >= 0 is 3 (2e + j) >= 3 N - 4 R: whole u = 2e + j, so the bound rounds up once for
        // every e. Left unrounded, a wish that pushes E4 to 0 would meet a bound lower than
        // every solution by the same amount at every e, and the walk would open them all.
        const Count low = std::max(-21 * e, kScale * (ceilDiv(3 * m_n - 4 * m_r, 3) - 2 * e));
        const Count high = 12 * (4 * (m_n - m_r) - 11 * e);
        Count best = std::min(relaxedAt(e, low), relaxedAt(e, high));
        for (const Direction &d : m_directions) {
            if (d.beta == 0)
                continue;
            for (const Term &term : d.terms) {
                for (const std::optional<std::int32_t> &end :
                     {term.interval.lo, term.interval.hi}) {
                    if (!end)
                        continue;
                    // The whole u on both sides of where the value meets the end.
                    const Count num = term.k > 0 ? *end - term.c : term.c - *end;
                    const Count den = term.k > 0 ? term.k : -term.k;
                    for (Count u : {floorDiv(num, den), ceilDiv(num, den)}) {
                        const Count t = kScale * (u - d.alpha * e) / d.beta;
                        best = std::min(best, relaxedAt(e, std::clamp(t, low, high)));
                    }
                }
            }
        }
        return best;
    }

    // A lower bound of the deviation of every solution at e.
    Count bound(Count e) const { return ceilDiv(relaxed(e), kScale); }

    // The smallest minimiser of h over the range; h is convex.
    Count bestE() const
    {
        Count lo = m_range.first;
        Count hi = m_range.last;
        while (lo < hi) {
            const Count mid = lo + (hi - lo) / 2;
            if (relaxed(mid + 1) < relaxed(mid))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }

private:
    // The interpolated deviation at (e, t / 84), times 84.
    Count relaxedAt(Count e, Count t) const
    {
        Count sum = kScale * m_fixed;
        for (const Direction &d : m_directions) {
            if (d.terms.empty())
                continue;
            const Count scaled = kScale * d.alpha * e + d.beta * t; // 84 u
            const Count whole = floorDiv(scaled, kScale);
            const Count part = scaled - kScale * whole;
            sum += (kScale - part) * d.at(whole) + (part == 0 ? 0 : part * d.at(whole + 1));
        }
        return sum;
    }

    ExemptionClass m_class;
    Count m_n;
    Count m_r;
    Entrants1Band m_range;
    Count m_fixed = 0; // the round-4 wish: R is the same for every solution of the class
    std::array<Direction, 5> m_directions;
};

// One entry of the best-first queue: a solution (the next of an opened e), or the next e to
// open on one side, standing in with its bound.
struct Entry
{
    enum class Kind { Solution, OpenBelow, OpenAbove };

    Count deviation = 0;
    int classNumber = 0;
    Count e = 0;
    Count j = 0;
    Kind kind = Kind::Solution;
    std::size_t lattice = 0;
    Count opened = 0; // the e to open
    Count below = 0;  // a solution's next j on each side, not given yet
    Count above = 0;

    // The order of the plans; an e not opened yet sorts before what it could hold.
    auto key() const { return std::tie(deviation, classNumber, e, j); }
    friend bool operator>(const Entry &a, const Entry &b) { return a.key() > b.key(); }
};

class Walk
{
public:
    explicit Walk(std::vector<ClassLattice> lattices) : m_lattices(std::move(lattices))
    {
        for (std::size_t i = 0; i < m_lattices.size(); ++i) {
            const ClassLattice &l = m_lattices[i];
            if (l.range().empty())
                continue;
            const Count start = l.bestE();
            pushOpen(i, start, Entry::Kind::OpenAbove);
            if (start > l.range().first)
                pushOpen(i, start - 1, Entry::Kind::OpenBelow);
        }
    }

    // The next solution in the plans' order, as its entry.
    std::optional<Entry> next()
    {
        while (!m_queue.empty()) {
            Entry top = m_queue.top();
            m_queue.pop();
            if (top.kind == Entry::Kind::Solution) {
                advance(top);
                return top;
            }
            const ClassLattice &l = m_lattices[top.lattice];
            const Count e = top.opened;
            const Count j = l.bestJ(e);
            pushSolution(top.lattice, e, j - 1, j);
            if (top.kind == Entry::Kind::OpenAbove && e < l.range().last)
                pushOpen(top.lattice, e + 1, top.kind);
            if (top.kind == Entry::Kind::OpenBelow && e > l.range().first)
                pushOpen(top.lattice, e - 1, top.kind);
        }
        return std::nullopt;
    }

    const ClassLattice &lattice(const Entry &entry) const { return m_lattices[entry.lattice]; }

private:
    void pushOpen(std::size_t lattice, Count e, Entry::Kind kind)
    {
        Entry entry;
        entry.deviation = m_lattices[lattice].bound(e);
        entry.classNumber = classNumber(m_lattices[lattice].exemptionClass());
        entry.kind = kind;
        entry.lattice = lattice;
        entry.opened = e;
        // Above: every e still closed is at least this one. Below: they are all smaller than
        // the opened ones, so they come first among equal deviations.
        entry.e = kind == Entry::Kind::OpenAbove ? e : kNone;
        entry.j = kNone;
        m_queue.push(entry);
    }

    // The better of the next j below and above at e, if either is left; the lower j on a tie.
    void pushSolution(std::size_t lattice, Count e, Count below, Count above)
    {
        const ClassLattice &l = m_lattices[lattice];
        const bool hasBelow = below >= l.jMin(e);
        const bool hasAbove = above <= l.jMax(e);
        if (!hasBelow && !hasAbove)
            return;
        Entry entry;
        entry.classNumber = classNumber(l.exemptionClass());
        entry.e = e;
        entry.lattice = lattice;
        entry.below = below;
        entry.above = above;
        const Count belowDeviation = hasBelow ? l.deviation(e, below) : 0;
        const Count aboveDeviation = hasAbove ? l.deviation(e, above) : 0;
        if (hasBelow && (!hasAbove || belowDeviation <= aboveDeviation)) {
            entry.j = below;
            entry.deviation = belowDeviation;
        } else {
            entry.j = above;
            entry.deviation = aboveDeviation;
        }
        m_queue.push(entry);
    }

    void advance(const Entry &given)
    {
        if (given.j == given.below)
            pushSolution(given.lattice, given.e, given.below - 1, given.above);
        else
            pushSolution(given.lattice, given.e, given.below, given.above + 1);
    }

    std::vector<ClassLattice> m_lattices;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> m_queue;
};

Walk walkOf(const Problem &problem, const Wishes &wishes)
{
    const Count lastE = lastExaminedEntrants1(problem.registered) / 4;
    const BackwardChain chain = backwardChain(problem);
    std::vector<ClassLattice> lattices;
    for (ExemptionClass k : kRunOrder)
        lattices.emplace_back(problem, k, RequiredTour4(k, chain.T5, problem.round4), wishes,
                              lastE);
    return Walk(std::move(lattices));
}

} // namespace

std::vector<RankedPlan> findPlans(const Problem &problem, const Wishes &wishes, std::size_t limit,
                                  bool strict)
{
    std::vector<RankedPlan> plans;
    Walk walk = walkOf(problem, wishes);
    while (plans.size() < limit) {
        const std::optional<Entry> entry = walk.next();
        if (!entry || (strict && entry->deviation > 0))
            break;
        const ClassLattice &l = walk.lattice(*entry);
        // 4e <= N inside the range, so E1 fits in 32 bits.
        const ClassSolutions found =
            searchClass(problem.registered, static_cast<std::int32_t>(4 * entry->e), l.tour4());
        RankedPlan plan;
        plan.deviation = entry->deviation;
        plan.exemptionClass = l.exemptionClass();
        plan.position = entry->j - l.jMin(entry->e) + 1;
        plan.solutions = found.count();
        plan.solution = found.at(plan.position - 1);
        plan.tour4 = l.tour4();
        plans.push_back(plan);
    }
    return plans;
}

std::optional<Count> bestDeviation(const Problem &problem, const Wishes &wishes)
{
    const std::vector<RankedPlan> best = findPlans(problem, wishes, 1);
    if (best.empty())
        return std::nullopt;
    return best.front().deviation;
}

} // namespace velmorin
