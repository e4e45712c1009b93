#pragma once

// The main window: the problem's inputs, the calculation, and the browsing of its solutions.

#include "VlmDec.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class TPropos;

namespace velmorin {
class TAutoSizeLabel;
class TFocusExit;
class TLabeledEdit;
class TRadioGroup;
class TTrackBar;
class TUpDown;
} // namespace velmorin

class TVlmFPrg : public QWidget
{
    Q_OBJECT

public:
    explicit TVlmFPrg(QWidget *parent = nullptr);
    ~TVlmFPrg() override;

    // The event handlers. They may throw; the connections run them through the error box.
    void FormActivate();
    void FormDeactivate();
    void EffectifExit();
    void UpFinaleClick();
    void UpE1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();

    // The about-box component, owned by the window.
    TPropos *Propos1 = nullptr;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    template <typename Sender, typename Signal>
    void connectHandler(Sender *sender, Signal signal, void (TVlmFPrg::*handler)());
    void connectHandlers();
    void centreOnScreen();

    void trackBarChange(int exemptionClass);
    void showExemption(int exemptionClass);
    void writeSolution(const velmorin::TSolution &solution, velmorin::Count tour4);
    velmorin::Ratio ratioOf(int round) const;

    velmorin::TTrackBar *trackBar(int exemptionClass) const;
    velmorin::TAutoSizeLabel *solutionLabel(int exemptionClass) const;

    velmorin::SolutionLists m_lists;
    bool m_activated = false;

    velmorin::TLabeledEdit *m_effectif = nullptr;
    velmorin::TLabeledEdit *m_finale = nullptr;
    velmorin::TUpDown *m_upFinale = nullptr;
    velmorin::TLabeledEdit *m_e1 = nullptr;
    velmorin::TUpDown *m_upE1 = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
    QPushButton *m_button3 = nullptr;
    std::array<velmorin::TLabeledEdit *, 8> m_tour{};    // T1..T7 at 1..7
    std::array<velmorin::TLabeledEdit *, 5> m_entrant{}; // E2..E4 at 2..4
    std::array<velmorin::TRadioGroup *, 7> m_ratio{};    // RG1..RG6 at 1..6
    std::array<velmorin::TTrackBar *, 4> m_trackBar{};   // per exemption class, at 1..3
    std::array<velmorin::TAutoSizeLabel *, 4> m_solution{};
    velmorin::TAutoSizeLabel *m_fini = nullptr;
    velmorin::TAutoSizeLabel *m_exempLabel = nullptr;
    QLabel *m_exempNbrs = nullptr;
    velmorin::TFocusExit *m_effectifExit = nullptr;
};
