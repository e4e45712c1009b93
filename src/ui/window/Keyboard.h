#pragma once

// What the main window's controls do from the keyboard beyond Qt's own handling.

class QAbstractButton;
class QLineEdit;

namespace velmorin {

class TFocusExit;
class TUpDown;

// Up, PageUp and + in the read-only `field` step `upDown` as a click on its up arrow;
// Down, PageDown and - as one on its down arrow.
void stepWithKeys(QLineEdit *field, TUpDown *upDown);

// Enter or Return on the focused `button` presses it, as Space does.
void pressWithEnter(QAbstractButton *button);

// Enter or Return in `field` acts as a click on `button`: the focus leaves the field for the
// button first, and the button is clicked only when the field's exit let the click through.
void enterClicks(QLineEdit *field, TFocusExit *fieldExit, QAbstractButton *button);

} // namespace velmorin
