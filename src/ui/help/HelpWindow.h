#pragma once

// The guide of the program: a French text for the organiser, shipped inside the program,
// with its contents list, its pictures and a search (Ctrl+F). F1 opens it from the main
// window and from every dialog; a second F1 raises it. Esc (once the find bar is closed) and
// Ctrl+W close it.

#include "FeatureWindow.h"

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace velmorin {

class HelpWindow : public FeatureWindow
{
    Q_OBJECT

public:
    explicit HelpWindow(FeatureHost &host);

    // Shows the guide at a section (an anchor of the guide; empty: where it is).
    void showSection(const QString &section);

    QTextBrowser *browser() const { return m_browser; }

    // Finds the next (or previous) place of the text from the cursor on, wrapping round at
    // the end, whatever the accents and the case; returns whether the guide holds it.
    bool find(const QString &text, bool backward = false);

private:
    void showFindBar();

    QTextBrowser *m_browser = nullptr;
    QWidget *m_findBar = nullptr;
    QLineEdit *m_findText = nullptr;
    QLabel *m_findStatus = nullptr;
    QString m_foldedText; // the guide's text as find() compares it, made on the first search
};

// Adds the action "Aide" (F1) to the host's context menu, last, after a separator, and
// offers the guide to every feature window (their F1 opens it at their section).
void installHelp(FeatureHost &host);

} // namespace velmorin
