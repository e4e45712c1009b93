#pragma once

// What the main window tells assistive technology beyond Qt's defaults.

#include "ExemptionClass.h"

class QLabel;
class QSlider;
class QWidget;

namespace velmorin {

class TAutoSizeLabel;

// A drawing made of text (the arrows between the rounds) is no text to read: screen readers
// see it as invisible and nameless. Call it before anything asks for the widget's
// accessible interface.
void hideFromAssistiveTechnology(QWidget *widget);

// The exemption number is read with what it counts: "2 équipes exemptées du Tour 4".
void describeExemption(QLabel *number, ExemptionClass exemptionClass);

// The solution label labels and describes its slider ("Solution : 3/4"); a change of its
// text reaches screen readers as the label's new name and the slider's new description.
void describeSliderBy(TAutoSizeLabel *label, QSlider *slider);

} // namespace velmorin
