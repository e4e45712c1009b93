#pragma once

// Drives the main window as a person would and keeps its own account, from the core, of what
// the window must show after each action. check() compares the two.

#include "Calculation.h"
#include "ClassAppearance.h"
#include "IntText.h"
#include "MessageBoxCatcher.h"
#include "Propos.h"
#include "RadioGroup.h"
#include "RoundOne.h"
#include "TrackBar.h"
#include "UpDown.h"
#include "VlmDec.h"
#include "VlmPrg.h"
#include "WindowDriver.h"
#include "aprop.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>

class WindowOracle : private velmorin::testing::WindowDriver
{
public:
    enum class SliderKey { Home, End, Left, Right, PageUp, PageDown };

    explicit WindowOracle(TVlmFPrg &window) : m_window(window)
    {
        setWindow(&window);
        m_effectif = get<QLineEdit>("Effectif");
        m_e1 = get<QLineEdit>("E1");
        m_finale = get<QLineEdit>("Finale");
        m_upFinale = get<velmorin::TUpDown>("UpFinale");
        m_upE1 = get<velmorin::TUpDown>("UpE1");
        m_rg4 = get<velmorin::TRadioGroup>("RG4");
        for (int k = 1; k <= 3; ++k) {
            m_trackBar[k] = trackBar(k);
            m_slider[k] = {m_trackBar[k]->isVisible(), m_trackBar[k]->maximum(),
                           m_trackBar[k]->position()};
            m_label[k] = labelText(solutionLabelName(k));
        }
        for (const char *field : kRoundFields)
            m_rounds << get<QLineEdit>(field)->text();
        m_effectifText = m_effectif->text();
        m_finalePosition = m_upFinale->position();
        m_e1Position = m_upE1->position();
        m_e1Maximum = m_upE1->maximum();
        m_ratio4 = m_rg4->itemIndex();
        const auto *nbrs = get<QLabel>("ExempNbrs");
        m_marking = {nbrs->isVisible(), nbrs->text(), get<QLabel>("ExempLabel")->text(),
                     nbrs->palette().color(QPalette::WindowText)};
        m_fini = get<QLabel>("Fini")->isVisible();

        m_window.Propos1->setDialogHook([this](TApropos &dialog) {
            ++m_aboutShows;
            if (!m_withHistory) {
                QTimer::singleShot(0, &dialog, &QDialog::reject);
                return;
            }
            // The history plays at once; the close request waits for its end.
            dialog.setFrameDelay(std::chrono::milliseconds(0));
            dialog.setFinalPause(std::chrono::milliseconds(0));
            QTimer::singleShot(0, &dialog, [&dialog] {
                dialog.Button1Click();
                dialog.reject();
            });
        });
    }

    ~WindowOracle() { m_window.Propos1->setDialogHook({}); }

    int errorBoxes() const { return m_boxes.shown().size(); }
    int aboutShows() const { return m_aboutShows; }
    int runs() const { return m_runs; }
    int runsWithSolutions() const { return m_runsWithSolutions; }
    int solutionsShown() const { return m_solutionsShown; }
    velmorin::Count solutionCount(int k) const { return m_classes[k].count(); }
    bool sliderVisible(int k) const { return m_slider[k].visible; }
    int finale() const { return m_finalePosition; }
    int ratio4() const { return m_ratio4; }
    QLineEdit *effectif() const { return m_effectif; }

    void typeEffectif(const QString &typed)
    {
        WindowDriver::typeEffectif(typed);
        m_effectifText = typed;
    }

    void tab(bool backward)
    {
        const bool inEffectif = m_effectif->hasFocus();
        QWidget *from = QApplication::focusWidget() ? QApplication::focusWidget() : &m_window;
        QTest::keyClick(from, Qt::Key_Tab, backward ? Qt::ShiftModifier : Qt::NoModifier);
        if (inEffectif && !m_effectif->hasFocus())
            leftEffectif();
    }

    // The arrows take no focus: no exit from Effectif.
    void clickFinaleArrow(bool up)
    {
        const int position = m_finalePosition;
        QTest::mouseClick(up ? m_upFinale->upArrow() : m_upFinale->downArrow(), Qt::LeftButton);
        const int moved = std::clamp(position + (up ? 2 : -2), 0, 32);
        if (moved == position)
            return;
        m_finalePosition = moved;
        if (const auto registered = typedRegistered())
            m_e1Maximum = roundOneBound(*registered);
        else
            expectConversionError();
    }

    void clickEntrantsArrow(bool up)
    {
        QTest::mouseClick(up ? m_upE1->upArrow() : m_upE1->downArrow(), Qt::LeftButton);
        const std::int64_t position = m_e1Position;
        if (up && position < m_e1Maximum)
            m_e1Position = static_cast<int>(std::min<std::int64_t>(position + 4, m_e1Maximum));
        else if (!up && position > 0)
            m_e1Position = static_cast<int>(std::max<std::int64_t>(position - 4, 0));
    }

    void clickCalcul()
    {
        if (!clickLeavingEffectif(get<QPushButton>("Button1")))
            return;
        calculated();
    }

    // A second press of "Calcul" that arrives while the first one lets events through runs
    // nested; the first one then finishes its run.
    void clickCalculTwice()
    {
        auto *button = get<QPushButton>("Button1");
        if (!typedRegistered()) {
            clickCalcul();
            return;
        }
        m_nestedPress = false;
        QTimer::singleShot(0, button, [this, button] {
            m_nestedPress = true;
            QTest::mouseClick(button, Qt::LeftButton);
        });
        clickLeavingEffectif(button);
        if (!m_nestedPress)
            m_problems << QStringLiteral("the run let no events through");
        calculated();
        calculated();
    }

    void clickRatio4(int item)
    {
        if (clickLeavingEffectif(m_rg4->item(item)))
            m_ratio4 = item;
    }

    // A click somewhere on the slider (when `clickAt` is given), then a key; every key is a
    // scroll step of its own and runs the change handler.
    void stepSlider(int k, std::optional<double> clickAt, SliderKey key)
    {
        velmorin::TTrackBar *bar = m_trackBar[k];
        if (clickAt) {
            const QPoint where(static_cast<int>(*clickAt * (bar->width() - 1)), bar->height() / 2);
            if (!clickLeavingEffectif(bar, where))
                return;
            if (bar->position() != m_slider[k].position)
                browsed(k, bar->position());
        }
        const int n = m_slider[k].maximum;
        const int p = m_slider[k].position;
        static const std::array<int, 6> keys{Qt::Key_Home,  Qt::Key_End,    Qt::Key_Left,
                                             Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown};
        QTest::keyClick(bar, Qt::Key(keys[static_cast<int>(key)]));
        const std::array<int, 6> targets{1, n, p - 1, p + 1, p + 2, p - 2};
        browsed(k, std::clamp(targets[static_cast<int>(key)], 1, n));
    }

    void showAbout(bool withHistory)
    {
        m_withHistory = withHistory;
        const int shows = m_aboutShows;
        const bool shown = clickLeavingEffectif(get<QPushButton>("Button3"));
        if (shown && m_aboutShows != shows + 1)
            m_problems << QStringLiteral("the about box did not show");
        if (!shown && m_aboutShows != shows)
            m_problems << QStringLiteral("the about box showed after a failed exit");
    }

    // Everything the window shows against the account; empty when they agree.
    QString check()
    {
        // The desktop gives the activation back to the window when a dialog or message box
        // closes; the offscreen platform does not.
        if (!QApplication::activeModalWidget() && QApplication::activeWindow() != &m_window)
            QApplication::setActiveWindow(&m_window);
        QStringList problems = m_problems;
        m_problems.clear();
        const auto expect = [&problems](const QString &what, const auto &shown,
                                        const auto &expected) {
            if (shown != expected)
                problems << QStringLiteral("%1: shown %2, expected %3")
                                .arg(what, describe(shown), describe(expected));
        };

        expect(QStringLiteral("window visible"), m_window.isVisible(), true);
        expect(QStringLiteral("window active"), QApplication::activeWindow() == &m_window, true);
        expect(QStringLiteral("modal widget left open"),
               QApplication::activeModalWidget() != nullptr, false);
        // Only the boxes from the first difference on.
        const QStringList boxes = m_boxes.texts();
        qsizetype same = m_boxesAgreed;
        while (same < boxes.size() && same < m_expectedBoxes.size() &&
               boxes.at(same) == m_expectedBoxes.at(same))
            ++same;
        m_boxesAgreed = same;
        expect(QStringLiteral("error boxes after the first %1").arg(same), boxes.mid(same),
               m_expectedBoxes.mid(same));

        expect(QStringLiteral("Effectif"), m_effectif->text(), m_effectifText);
        expect(QStringLiteral("Finale"), m_finale->text(), QString::number(m_finalePosition));
        expect(QStringLiteral("UpFinale"), m_upFinale->position(), m_finalePosition);
        expect(QStringLiteral("E1"), m_e1->text(), QString::number(m_e1Position));
        expect(QStringLiteral("UpE1 position"), m_upE1->position(), m_e1Position);
        expect(QStringLiteral("UpE1 minimum"), m_upE1->minimum(), 0);
        expect(QStringLiteral("UpE1 maximum"), m_upE1->maximum(), m_e1Maximum);
        expect(QStringLiteral("RG4"), m_rg4->itemIndex(), m_ratio4);
        expect(QStringLiteral("RG5"), get<velmorin::TRadioGroup>("RG5")->itemIndex(), 0);
        expect(QStringLiteral("RG6"), get<velmorin::TRadioGroup>("RG6")->itemIndex(), 0);

        QStringList rounds;
        for (const char *field : kRoundFields)
            rounds << get<QLineEdit>(field)->text();
        expect(QStringLiteral("round fields"), rounds, m_rounds);

        for (int k = 1; k <= 3; ++k) {
            const QString slider = QStringLiteral("TrackBar%1 ").arg(k);
            const velmorin::TTrackBar *bar = m_trackBar[k];
            expect(slider + QStringLiteral("visible"), bar->isVisible(), m_slider[k].visible);
            expect(slider + QStringLiteral("position"), bar->position(), m_slider[k].position);
            if (m_slider[k].visible) {
                expect(slider + QStringLiteral("minimum"), bar->minimum(), 1);
                expect(slider + QStringLiteral("maximum"), bar->maximum(), m_slider[k].maximum);
                expect(slider + QStringLiteral("maximum against the core"),
                       velmorin::Count{bar->maximum()}, m_classes[k].count());
            }
            expect(QString::fromLatin1(solutionLabelName(k)), labelText(solutionLabelName(k)),
                   m_label[k]);
        }

        const auto *nbrs = get<QLabel>("ExempNbrs");
        const auto *exempLabel = get<QLabel>("ExempLabel");
        expect(QStringLiteral("ExempNbrs visible"), nbrs->isVisible(), m_marking.visible);
        expect(QStringLiteral("ExempLabel visible"), exempLabel->isVisible(), m_marking.visible);
        expect(QStringLiteral("ExempNbrs"), nbrs->text(), m_marking.number);
        expect(QStringLiteral("ExempLabel"), exempLabel->text(), m_marking.label);
        expect(QStringLiteral("ExempNbrs colour"), nbrs->palette().color(QPalette::WindowText),
               m_marking.colour);
        expect(QStringLiteral("ExempLabel colour"),
               exempLabel->palette().color(QPalette::WindowText), m_marking.colour);
        expect(QStringLiteral("FIN visible"), get<QLabel>("Fini")->isVisible(), m_fini);
        return problems.join(QStringLiteral("; "));
    }

private:
    struct Slider
    {
        bool visible = false;
        int maximum = 10;
        int position = 1;
    };
    struct Marking
    {
        bool visible = true;
        QString number;
        QString label;
        QColor colour;
    };

    // T1, T2, T3, T4, E2, E3, E4, T5, T6, T7.
    static constexpr std::array<const char *, 10> kRoundFields{"T1", "T2", "T3", "T4", "E2",
                                                               "E3", "E4", "T5", "T6", "T7"};

    static QString describe(bool value)
    {
        return value ? QStringLiteral("yes") : QStringLiteral("no");
    }
    static QString describe(int value) { return QString::number(value); }
    static QString describe(velmorin::Count value) { return QString::number(value); }
    static QString describe(const QString &value)
    {
        return QLatin1Char('"') + value + QLatin1Char('"');
    }
    static QString describe(const QStringList &value) { return value.join(QLatin1Char('|')); }
    static QString describe(const QColor &value) { return value.name(); }

    std::optional<std::int32_t> typedRegistered() const
    {
        std::int32_t value = 0;
        if (!velmorin::tryStrToInt(m_effectifText.toStdString(), value))
            return std::nullopt;
        return value;
    }

    int roundOneBound(std::int32_t registered) const
    {
        return clampToInt(velmorin::entrants1Bound(registered, m_finalePosition));
    }

    static int clampToInt(std::int64_t value)
    {
        return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                         std::numeric_limits<int>::max()));
    }

    void expectConversionError()
    {
        m_expectedBoxes << velmorin::testing::conversionError(m_effectifText);
    }

    // The focus has left Effectif for another control: round 1 is proposed again, or the
    // conversion error is shown. Returns whether it went through.
    bool leftEffectif()
    {
        const auto registered = typedRegistered();
        if (!registered) {
            expectConversionError();
            return false;
        }
        m_e1Position = clampToInt(velmorin::proposedEntrants1(*registered));
        m_e1Maximum = roundOneBound(*registered);
        return true;
    }

    // Returns whether the click reached its control: a failed exit from Effectif drops it.
    bool clickLeavingEffectif(QWidget *target, QPoint where = QPoint())
    {
        const bool inEffectif = m_effectif->hasFocus();
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, where);
        if (!inEffectif || m_effectif->hasFocus())
            return true;
        return leftEffectif();
    }

    void calculated()
    {
        m_fini = false;
        for (int field : {1, 2, 4, 5, 6})
            m_rounds[field].clear();
        const auto registered = typedRegistered();
        if (!registered) {
            expectConversionError();
            return;
        }
        ++m_runs;
        using namespace velmorin;
        // The semi-final and quarter-final ratios cannot be changed: both stay "1/2".
        Problem problem;
        problem.registered = *registered;
        problem.finale = m_finalePosition;
        problem.entrants1 = m_e1Position;
        problem.round4 = ratioFromIndex(m_ratio4);
        const Calculation calculation = calculate(problem);
        m_rounds[7] = QString::number(calculation.chain.T5);
        m_rounds[8] = QString::number(calculation.chain.T6);
        m_rounds[9] = QString::number(calculation.chain.T7);
        bool anySolution = false;
        for (const ClassResult &result : calculation.classes) {
            const int k = classNumber(result.exemptionClass);
            m_classes[k] = result.solutions;
            const Count n = m_classes[k].count();
            Slider &slider = m_slider[k];
            // The slider's own rules: the range first, then position 1; each change of the
            // stored position runs the change handler.
            if (n > 0) {
                anySolution = true;
                showSolution(k, n);
                slider.maximum = static_cast<int>(n);
                if (slider.position > n) {
                    slider.position = slider.maximum;
                    showSolution(k, n);
                }
            }
            if (slider.position != 1) {
                slider.position = 1;
                if (n > 0)
                    showSolution(k, 1);
                else
                    mark(k);
            }
            slider.visible = n > 0;
            m_label[k] =
                n > 0 ? QStringLiteral("Solution : 1/%1").arg(n) : QStringLiteral("0 solution");
        }
        m_fini = !anySolution;
        m_runsWithSolutions += anySolution ? 1 : 0;
    }

    void browsed(int k, int position)
    {
        ++m_solutionsShown;
        m_slider[k].position = position;
        showSolution(k, position);
        m_label[k] = QStringLiteral("Solution : %1/%2").arg(position).arg(m_classes[k].count());
    }

    void showSolution(int k, velmorin::Count position)
    {
        mark(k);
        const velmorin::TSolution s = m_classes[k].at(position - 1);
        if (s.tour4() != m_classes[k].tour4())
            m_problems << QStringLiteral("class %1, solution %2: round 4 of %3, required %4")
                              .arg(k)
                              .arg(position)
                              .arg(s.tour4())
                              .arg(m_classes[k].tour4());
        const std::array<velmorin::Count, 7> values{s.Tour1,    s.Tour2,    s.Tour3,   s.tour4(),
                                                    s.Entrant2, s.Entrant3, s.Entrant4};
        for (int i = 0; i < 7; ++i)
            m_rounds[i] = QString::number(values[i]);
    }

    void mark(int k)
    {
        const velmorin::ExemptionClass c = velmorin::exemptionClassFromNumber(k);
        if (velmorin::exemptedTeams(c) == 0) {
            m_marking.visible = false;
            return;
        }
        m_marking = {true, QString::number(velmorin::exemptedTeams(c)),
                     velmorin::toQString(velmorin::wording(c).markingLabel),
                     velmorin::classColour(c)};
    }

    TVlmFPrg &m_window;
    QLineEdit *m_effectif = nullptr;
    QLineEdit *m_e1 = nullptr;
    QLineEdit *m_finale = nullptr;
    velmorin::TUpDown *m_upFinale = nullptr;
    velmorin::TUpDown *m_upE1 = nullptr;
    velmorin::TRadioGroup *m_rg4 = nullptr;
    std::array<velmorin::TTrackBar *, 4> m_trackBar{};

    MessageBoxCatcher m_boxes;
    QStringList m_expectedBoxes;
    qsizetype m_boxesAgreed = 0; // boxes already found as expected
    QStringList m_problems;
    int m_aboutShows = 0;
    bool m_withHistory = false;
    bool m_nestedPress = false;
    int m_runs = 0;
    int m_runsWithSolutions = 0;
    int m_solutionsShown = 0;

    // The account of what the window shows.
    QString m_effectifText;
    int m_finalePosition = 0;
    int m_e1Position = 0;
    int m_e1Maximum = 0;
    int m_ratio4 = 0;
    QStringList m_rounds;
    std::array<Slider, 4> m_slider{};
    std::array<QString, 4> m_label{};
    std::array<velmorin::ClassSolutions, 4> m_classes{};
    Marking m_marking;
    bool m_fini = false;
};
