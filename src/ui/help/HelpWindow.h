#pragma once

// The guide of the program: a French text for the organiser, shipped inside the program,
// with its contents list, its pictures and a search (Ctrl+F). F1 opens it from the main
// window and from every dialog; a second F1 raises it.

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;
class TVlmFPrg;

namespace velmorin {

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent);

    QTextBrowser *browser() const { return m_browser; }

    // Finds the next (or previous) place of the text from the cursor on, wrapping round at
    // the end; returns whether the guide holds it.
    bool find(const QString &text, bool backward = false);

private:
    void showFindBar();

    QTextBrowser *m_browser = nullptr;
    QWidget *m_findBar = nullptr;
    QLineEdit *m_findText = nullptr;
    QLabel *m_findStatus = nullptr;
};

// Adds the action "Aide" (F1, anywhere in the program) to the window's context menu, last,
// after a separator.
void installHelp(TVlmFPrg *window);

} // namespace velmorin
