#include "HelpWindow.h"

#include "Placement.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QVBoxLayout>

namespace velmorin {

namespace {

// The pictures are the README's, larger than the guide shows them: the text browser scales
// them without smoothing, and "Tour" reads "lour". Each goes into the document already scaled
// smoothly to the size shown (in device pixels, for a sharp picture on a dense screen).
void smoothPictures(QTextDocument *document, qreal pixelRatio)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QTextImageFormat picture = format.toImageFormat();
            const QUrl name(picture.name());
            const QImage full =
                document->resource(QTextDocument::ImageResource, name).value<QImage>();
            if (full.isNull() || picture.width() <= 0 || full.width() <= picture.width())
                continue;
            QImage shown =
                full.scaledToWidth(qRound(picture.width() * pixelRatio), Qt::SmoothTransformation);
            shown.setDevicePixelRatio(pixelRatio);
            document->addResource(QTextDocument::ImageResource, name, shown);
        }
    }
    document->markContentsDirty(0, document->characterCount());
}

// A character as the search compares it: without its accent, in lower case. One character
// for one, so that a place in the folded text is the same place in the document.
QChar folded(QChar c)
{
    if (c.isSurrogate())
        return c;
    const QString bare = QString(c).normalized(QString::NormalizationForm_D);
    return bare.isEmpty() ? c : bare.at(0).toLower();
}

QString folded(const QString &text)
{
    QString result(text.size(), QChar());
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = folded(text.at(i));
    return result;
}

} // namespace

HelpWindow::HelpWindow(FeatureHost &host) : FeatureWindow(host, QStringLiteral("Aide"), QString())
{
    setWindowTitle(QStringLiteral("Aide de Velmorin"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("TexteAide"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QStringLiteral("qrc:/aide/guide.html")));
    smoothPictures(m_browser->document(), qGuiApp->devicePixelRatio());

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
    // Esc closes the find bar, then the guide; Ctrl+W closes the guide, as in a browser.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("fermerAide"));
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_findBar->isVisible()) {
            m_findBar->hide();
            m_browser->setFocus();
        } else {
            close();
        }
    });
    auto *closeShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::showFindBar()
{
    m_findBar->show();
    m_findText->setFocus(Qt::ShortcutFocusReason);
    m_findText->selectAll();
}

bool HelpWindow::find(const QString &text, bool backward)
{
    if (text.isEmpty())
        return false;
    // "ecart" finds "écart", "Equipe" finds "équipe": the guide's text and the query are
    // compared without accents and case.
    const QTextDocument *document = m_browser->document();
    if (m_foldedText.isEmpty()) {
        m_foldedText.resize(document->characterCount());
        for (int i = 0; i < document->characterCount(); ++i)
            m_foldedText[i] = folded(document->characterAt(i));
    }
    const QString query = folded(text);
    const QTextCursor cursor = m_browser->textCursor();
    qsizetype at = -1;
    if (backward) {
        const int before = cursor.selectionStart() - 1;
        if (before >= 0)
            at = m_foldedText.lastIndexOf(query, before);
        // From the other end once, as a reader expects of a search that reached the end.
        if (at < 0)
            at = m_foldedText.lastIndexOf(query);
    } else {
        at = m_foldedText.indexOf(query, cursor.selectionEnd());
        if (at < 0)
            at = m_foldedText.indexOf(query);
    }
    if (at < 0)
        return false;
    QTextCursor found(m_browser->document());
    found.setPosition(int(at));
    found.setPosition(int(at + query.size()), QTextCursor::KeepAnchor);
    m_browser->setTextCursor(found);
    m_browser->ensureCursorVisible();
    return true;
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
