// The main window's binding: its controls fetched from the layout, its handlers connected to
// their events (each through the error box), the keys that reach them, and the signal that
// tells the features the inputs changed.

#include "VlmPrg.h"

#include "Accessibility.h"
#include "AutoSizeLabel.h"
#include "FocusExit.h"
#include "FormBuilder.h"
#include "Hints.h"
#include "Keyboard.h"
#include "LabeledEdit.h"
#include "RadioGroup.h"
#include "TrackBar.h"
#include "UpDown.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QShortcut>

using namespace velmorin;

namespace {

QString nameWithNumber(const char *prefix, int number)
{
    return QLatin1String(prefix) + QString::number(number);
}

} // namespace

void TVlmFPrg::bindControls(const FormControls &controls)
{
    installHints(controls);
    m_effectif = controlAs<TLabeledEdit>(controls, "Effectif");
    m_finale = controlAs<TLabeledEdit>(controls, "Finale");
    m_upFinale = controlAs<TUpDown>(controls, "UpFinale");
    m_e1 = controlAs<TLabeledEdit>(controls, "E1");
    m_upE1 = controlAs<TUpDown>(controls, "UpE1");
    m_button1 = controlAs<QPushButton>(controls, "Button1");
    m_button2 = controlAs<QPushButton>(controls, "Button2");
    m_button3 = controlAs<QPushButton>(controls, "Button3");
    for (int round = 1; round <= 7; ++round)
        m_tour[round] = controlAs<TLabeledEdit>(controls, qPrintable(nameWithNumber("T", round)));
    for (int round = 2; round <= 4; ++round)
        m_entrant[round] =
            controlAs<TLabeledEdit>(controls, qPrintable(nameWithNumber("E", round)));
    for (int round = 1; round <= 6; ++round)
        m_ratio[round] = controlAs<TRadioGroup>(controls, qPrintable(nameWithNumber("RG", round)));
    for (ExemptionClass k : kRunOrder)
        m_trackBar[classIndex(k)] =
            controlAs<TTrackBar>(controls, qPrintable(nameWithNumber("TrackBar", classNumber(k))));
    m_solution[0] = controlAs<TAutoSizeLabel>(controls, "solution1");
    m_solution[1] = controlAs<TAutoSizeLabel>(controls, "Solution2");
    m_solution[2] = controlAs<TAutoSizeLabel>(controls, "Solution3");
    m_fini = controlAs<TAutoSizeLabel>(controls, "Fini");
    m_exempLabel = controlAs<TAutoSizeLabel>(controls, "ExempLabel");
    m_exempNbrs = controlAs<QLabel>(controls, "ExempNbrs");
    describeExemption(m_exempNbrs, ExemptionClass::Class3); // the "2" of the layout
    for (ExemptionClass k : kRunOrder)
        describeSliderBy(solutionLabel(k), trackBar(k));
}

template <typename Sender, typename Signal>
void TVlmFPrg::connectHandler(Sender *sender, Signal signal, void (TVlmFPrg::*handler)())
{
    connect(sender, signal, this,
            [this, handler] { guardHandler(this, [this, handler] { (this->*handler)(); }); });
}

void TVlmFPrg::connectHandlers()
{
    m_effectifExit = new TFocusExit(m_effectif);
    // The error box interrupts the click that left the field: that click is dropped
    // rather than left half-done (a button held down after the box closes).
    connect(m_effectifExit, &TFocusExit::exited, this, [this] {
        if (!guardHandler(this, [this] { EffectifExit(); }))
            m_effectifExit->cancelPressInProgress();
    });
    connectHandler(m_upFinale, &TUpDown::clicked, &TVlmFPrg::UpFinaleClick);
    connectHandler(m_upE1, &TUpDown::clicked, &TVlmFPrg::UpE1Click);
    connectHandler(m_button1, &QPushButton::clicked, &TVlmFPrg::Button1Click);
    connectHandler(m_button2, &QPushButton::clicked, &TVlmFPrg::Button2Click);
    connectHandler(m_button3, &QPushButton::clicked, &TVlmFPrg::Button3Click);
    connectHandler(trackBar(ExemptionClass::Class1), &TTrackBar::changed,
                   &TVlmFPrg::TrackBar1Change);
    connectHandler(trackBar(ExemptionClass::Class2), &TTrackBar::changed,
                   &TVlmFPrg::TrackBar2Change);
    connectHandler(trackBar(ExemptionClass::Class3), &TTrackBar::changed,
                   &TVlmFPrg::TrackBar3Change);

    // The keyboard reaches what the mouse does, through the same handlers.
    stepWithKeys(m_finale, m_upFinale);
    stepWithKeys(m_e1, m_upE1);
    enterClicks(m_effectif, m_effectifExit, m_button1);
    for (QPushButton *button : {m_button1, m_button2, m_button3})
        pressWithEnter(button);
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setObjectName(QStringLiteral("quitShortcut"));
    connectHandler(quit, &QShortcut::activated, &TVlmFPrg::Button2Click);

    announceInputChanges();
}

// The features follow the inputs that the run reads, except the registered teams' text while
// it is being typed: those count once the exit from Effectif has taken them in.
void TVlmFPrg::announceInputChanges()
{
    connect(m_effectif, &QLineEdit::textEdited, this, [this] { m_registeredTeamsPending = true; });
    for (QLineEdit *field : {m_finale, m_e1})
        connect(field, &QLineEdit::textChanged, m_notifier, &FeatureNotifier::inputsChanged);
    for (int round = 4; round <= 6; ++round) {
        for (QAbstractButton *item : m_ratio[round]->findChildren<QAbstractButton *>()) {
            connect(item, &QAbstractButton::toggled, this, [this](bool checked) {
                if (checked)
                    emit m_notifier->inputsChanged();
            });
        }
    }
}
