#include "HelpWindow.h"

#include "Placement.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

namespace velmorin {

HelpWindow::HelpWindow(FeatureHost &host) : FeatureWindow(host, QStringLiteral("Aide"), QString())
{
    setWindowTitle(QStringLiteral("Aide de Velmorin"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("TexteAide"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QStringLiteral("qrc:/aide/guide.html")));

    m_findBar = new QWidget(this);
    m_findText = new QLineEdit(m_findBar);
    m_findText->setObjectName(QStringLiteral("ChercherAide"));
    m_findText->setPlaceholderText(QStringLiteral("Chercher dans l'aide"));
    m_findText->setToolTip(QStringLiteral("Texte à chercher : Entrée pour le suivant, "
                                          "Maj+Entrée pour le précédent, Échap pour fermer"));
    m_findStatus = new QLabel(m_findBar);
    m_findStatus->setObjectName(QStringLiteral("ResultatChercherAide"));
    auto *next = new QPushButton(QStringLiteral("Suivant"), m_findBar);
    auto *previous = new QPushButton(QStringLiteral("Précédent"), m_findBar);
    auto *findLayout = new QHBoxLayout(m_findBar);
    findLayout->setContentsMargins(0, 0, 0, 0);
    findLayout->addWidget(new QLabel(QStringLiteral("Chercher :"), m_findBar));
    findLayout->addWidget(m_findText, 1);
    findLayout->addWidget(previous);
    findLayout->addWidget(next);
    findLayout->addWidget(m_findStatus);
    m_findBar->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(m_findBar);
    resize(640, 720);

    const auto findFromBar = [this](bool backward) {
        const bool found = m_findText->text().isEmpty() || find(m_findText->text(), backward);
        m_findStatus->setText(found ? QString() : QStringLiteral("Introuvable"));
    };
    connect(m_findText, &QLineEdit::returnPressed, this, [this, findFromBar] {
        findFromBar(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
    connect(next, &QPushButton::clicked, this, [findFromBar] { findFromBar(false); });
    connect(previous, &QPushButton::clicked, this, [findFromBar] { findFromBar(true); });
    auto *findShortcut = new QShortcut(QKeySequence::Find, this);
    connect(findShortcut, &QShortcut::activated, this, &HelpWindow::showFindBar);
    auto *closeFind = new QShortcut(QKeySequence(Qt::Key_Escape), m_findBar);
    closeFind->setContext(Qt::WidgetWithChildrenShortcut);
    connect(closeFind, &QShortcut::activated, this, [this] {
        m_findBar->hide();
        m_browser->setFocus();
    });
}

void HelpWindow::showFindBar()
{
    m_findBar->show();
    m_findText->setFocus(Qt::ShortcutFocusReason);
    m_findText->selectAll();
}

bool HelpWindow::find(const QString &text, bool backward)
{
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (m_browser->find(text, flags))
        return true;
    // From the other end once, as a reader expects of a search that reached the end.
    QTextCursor cursor = m_browser->textCursor();
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    m_browser->setTextCursor(cursor);
    return m_browser->find(text, flags);
}

void HelpWindow::showSection(const QString &section)
{
    if (!section.isEmpty())
        m_browser->scrollToAnchor(section);
}

void installHelp(FeatureHost &host)
{
    const auto open = [host = &host](const QString &section) {
        FeatureWindow::open<HelpWindow>(*host, QStringLiteral("Aide"))->showSection(section);
    };
    host.setHelpOpener(open);
    host.addContextSeparator();
    addFeatureAction(host, QStringLiteral("Aide"), QStringLiteral("actionAide"),
                     QKeySequence(Qt::Key_F1), [open] { open(QString()); });
}

} // namespace velmorin
