// Thousands of random user actions on the main window, each followed by a full comparison of
// what the window shows with what the core says it must show. A failure names the seed, the
// action and the actions before it; VELMORIN_SEED and VELMORIN_ACTIONS replay or extend a run:
//   VELMORIN_SEED=71 VELMORIN_ACTIONS=20000 tst_randomuse randomUse:environment

#include "VlmPrg.h"
#include "WindowOracle.h"

#include <QElapsedTimer>
#include <QtTest>

#include <deque>
#include <memory>
#include <random>

namespace {

constexpr int kDefaultActions = 3000;
constexpr std::size_t kActionsRemembered = 8;

class RandomUser
{
public:
    RandomUser(WindowOracle &oracle, std::uint32_t seed) : m_oracle(oracle), m_random(seed) {}

    // Performs one action and says what it was.
    QString act()
    {
        switch (pick({22, 8, 8, 10, 14, 6, 30, 2})) {
        case 0: {
            const QString typed = randomText();
            m_oracle.typeEffectif(typed);
            return QStringLiteral("type '%1'").arg(typed);
        }
        case 1: {
            const bool backward = chance(4);
            m_oracle.tab(backward);
            return backward ? QStringLiteral("Shift+Tab") : QStringLiteral("Tab");
        }
        case 2: {
            // Finals around 8 teams, where registered counts of a few hundred have solutions.
            const bool up = uniform(0, 9) < (m_oracle.finale() < 8 ? 7 : 3);
            m_oracle.clickFinaleArrow(up);
            return up ? QStringLiteral("UpFinale up") : QStringLiteral("UpFinale down");
        }
        case 3: {
            const bool up = chance(2);
            m_oracle.clickEntrantsArrow(up);
            return up ? QStringLiteral("UpE1 up") : QStringLiteral("UpE1 down");
        }
        case 4:
            if (chance(10)) {
                m_oracle.clickCalculTwice();
                return QStringLiteral("Calcul, pressed again during the run");
            }
            m_oracle.clickCalcul();
            return QStringLiteral("Calcul");
        case 5: {
            const int item = uniform(0, 1);
            m_oracle.clickRatio4(item);
            return QStringLiteral("RG4 item %1").arg(item);
        }
        case 6:
            return stepASlider();
        default: {
            const bool history = chance(8);
            m_oracle.showAbout(history);
            return history ? QStringLiteral("about, with history") : QStringLiteral("about");
        }
        }
    }

private:
    int uniform(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    bool chance(int oneIn) { return uniform(1, oneIn) == 1; }

    int pick(std::initializer_list<double> weights)
    {
        std::discrete_distribution<int> choose(weights);
        return choose(m_random);
    }

    QString stepASlider()
    {
        QList<int> visible;
        for (int k = 1; k <= 3; ++k) {
            if (m_oracle.sliderVisible(k))
                visible << k;
        }
        if (visible.isEmpty()) {
            const QString typed = countWithSolutions();
            m_oracle.typeEffectif(typed);
            return QStringLiteral("type '%1' (no slider to move)").arg(typed);
        }
        const int k = visible.at(uniform(0, static_cast<int>(visible.size()) - 1));
        std::optional<double> clickAt;
        if (chance(3))
            clickAt = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
        const auto key = static_cast<WindowOracle::SliderKey>(uniform(0, 5));
        static const char *const keyNames[] = {"Home",  "End",    "Left",
                                               "Right", "PageUp", "PageDown"};
        m_oracle.stepSlider(k, clickAt, key);
        return QStringLiteral("TrackBar%1 %2%3")
            .arg(k)
            .arg(clickAt ? QStringLiteral("click at %1, ").arg(*clickAt, 0, 'f', 2) : QString())
            .arg(QLatin1String(keyNames[static_cast<int>(key)]));
    }

    // Where the current final and round-4 ratio have solutions.
    QString countWithSolutions()
    {
        const int finale = m_oracle.finale();
        return QString::number(m_oracle.ratio4() == 0 ? uniform(9 * finale, 16 * finale + 4)
                                                      : uniform(0, 10 * finale + 4));
    }

    // Mostly counts that have solutions; also every written form of an integer, texts that
    // are none, and the largest values.
    QString randomText()
    {
        static const QStringList huge{
            "2147483647", "-2147483648",     "2147483648",     "-2147483649", "99999999999",
            "$FFFFFFFF",  "$7FFFFFFF",       "$80000000",      "$100000000",  "0x7fffffff",
            "4294967295", "000000000000071", "$0000000000047", "-0",          "+2147483647"};
        static const QStringList broken{"",    " ",    "abc", "71 ", "7 1", "+",   "-",
                                        "$",   "0x",   "x",   "--5", "+-3", "$-1", "0x 1",
                                        "1e3", "12.5", "$G",  "0X",  " -",  "$ 47"};
        static const QString hexPrefixes[] = {"$", "x", "X", "0x", "0X"};
        static const QString garbage = QStringLiteral("0123456789+-$xXaAfFgG ");

        switch (pick({50, 8, 6, 10, 8, 8, 10})) {
        case 0:
            return countWithSolutions();
        case 1:
            return QString(uniform(0, 3), QLatin1Char(' ')) + (chance(2) ? "+" : "") +
                   QString::number(uniform(0, 300));
        case 2:
            return QLatin1Char('-') + QString::number(uniform(0, 500));
        case 3: {
            QString digits = QString::number(uniform(0, 400), 16);
            if (chance(2))
                digits = digits.toUpper();
            return hexPrefixes[uniform(0, 4)] + QString(uniform(0, 1) * 3, QLatin1Char('0')) +
                   digits;
        }
        case 4:
            return huge.at(uniform(0, static_cast<int>(huge.size()) - 1));
        case 5:
            return broken.at(uniform(0, static_cast<int>(broken.size()) - 1));
        default: {
            QString text;
            for (int i = uniform(1, 7); i > 0; --i)
                text += garbage.at(uniform(0, static_cast<int>(garbage.size()) - 1));
            return text;
        }
        }
    }

    WindowOracle &m_oracle;
    std::mt19937 m_random;
};

} // namespace

class TestRandomUse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void randomUse_data();
    void randomUse();

private:
    std::unique_ptr<TVlmFPrg> m_window;
};

void TestRandomUse::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    QVERIFY(velmorin::testing::showActive(*m_window));
}

void TestRandomUse::cleanup()
{
    m_window.reset();
}

void TestRandomUse::randomUse_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("actions");

    for (quint32 seed : {1u, 71u, 2006u, 424242u, 3141592653u})
        QTest::addRow("seed %u", seed) << seed << kDefaultActions;

    bool seedGiven = false;
    const quint32 seed = qEnvironmentVariable("VELMORIN_SEED").toUInt(&seedGiven, 0);
    if (seedGiven) {
        bool countGiven = false;
        const int actions = qEnvironmentVariableIntValue("VELMORIN_ACTIONS", &countGiven);
        QTest::newRow("environment") << seed << (countGiven ? actions : kDefaultActions);
    }
}

void TestRandomUse::randomUse()
{
    QFETCH(quint32, seed);
    QFETCH(int, actions);

    WindowOracle oracle(*m_window);
    QVERIFY2(oracle.check().isEmpty(), qPrintable(oracle.check()));
    RandomUser user(oracle, seed);
    std::deque<QString> lastActions;
    QElapsedTimer clock;
    clock.start();

    for (int index = 0; index < actions; ++index) {
        lastActions.push_back(user.act());
        if (lastActions.size() > kActionsRemembered)
            lastActions.pop_front();
        const QString problem = oracle.check();
        if (!problem.isEmpty()) {
            QString trail;
            for (const QString &action : lastActions)
                trail += QStringLiteral("\n    ") + action;
            QFAIL(qPrintable(QStringLiteral("seed %1, action %2: %3\n  last actions:%4")
                                 .arg(seed)
                                 .arg(index)
                                 .arg(problem, trail)));
        }
    }
    qInfo("seed %u: %d actions in %lld ms: %d runs (%d with solutions), %d solutions browsed, "
          "%d error boxes, %d about shows",
          seed, actions, static_cast<long long>(clock.elapsed()), oracle.runs(),
          oracle.runsWithSolutions(), oracle.solutionsShown(), oracle.errorBoxes(),
          oracle.aboutShows());
}

VELMORIN_WINDOW_TEST_MAIN(TestRandomUse)

#include "tst_randomuse.moc"
