#include "aprop.h"

#include "Appearance.h"
#include "Contrast.h"
#include "Emblem.h"
#include "HistoryScroll.h"
#include "Placement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <utility>

// Shows the last picture it was given, whole, at its top-left corner.
class TPaintBox : public QWidget
{
public:
    using QWidget::QWidget;

    void setPicture(const QImage &picture)
    {
        m_picture = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_picture);
    }

private:
    QImage m_picture;
};

namespace {

const QColor red(255, 0, 0);
const QColor lime(0, 255, 0);
const QColor blue(0, 0, 255);

// Where the version label stands before it grows to its text.
const QRect versionBox(8, 88, 303, 33);

// Only so many characters of the caption fit the mail subject.
constexpr qsizetype subjectLength = 38;

QFont schoolbook(int pixels, bool bold)
{
    QFont font;
    font.setFamilies(velmorin::fontFamilies(QStringLiteral("Century Schoolbook")));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Labels grow to their text from their left edge, or from their right edge when their text
// is right-aligned, and never shrink below their laid-out box. Fonts that run larger than
// the layout expects push a label back inside the dialog rather than clip its text.
void fitToText(QLabel *label, const QRect &box)
{
    const QSize hint = label->sizeHint();
    QRect fitted(box.topLeft(), box.size().expandedTo(hint));
    if (label->alignment() & Qt::AlignRight)
        fitted.moveRight(box.right());
    const QRect area = label->parentWidget()->rect();
    fitted.moveBottom(std::min(fitted.bottom(), area.bottom()));
    fitted.moveRight(std::min(fitted.right(), area.right()));
    label->setGeometry(fitted);
}

struct LabelDesc
{
    const char *name;
    QString text;
    QRect box;
    QFont font;
    QColor colour;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
};

QLabel *addLabel(QWidget *parent, const LabelDesc &desc)
{
    auto *label = new QLabel(desc.text, parent);
    label->setObjectName(QLatin1String(desc.name));
    label->setFont(desc.font);
    label->setAlignment(desc.alignment);
    velmorin::setFontColour(label, desc.colour);
    fitToText(label, desc.box);
    return label;
}

} // namespace

TApropos::TApropos(QWidget *parent) : QDialog(parent), m_urlOpener(&QDesktopServices::openUrl)
{
    setObjectName(QStringLiteral("Apropos"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(321, 184);
    QFont font;
    font.setFamilies(velmorin::fontFamilies(QStringLiteral("MS Sans Serif")));
    font.setPixelSize(11);
    setFont(font);
    // The button and the history's frame were drawn on a light face, as the main window.
    velmorin::keepDesignedBackground(this, {Qt::blue, Qt::black});
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, red);
    setPalette(palette);
    setAutoFillBackground(true);
    buildControls();
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setObjectName(QStringLiteral("quitShortcut"));
    connect(quit, &QShortcut::activated, qApp, &QCoreApplication::quit);
}

TApropos::~TApropos() = default;

void TApropos::buildControls()
{
    const QFont large = schoolbook(27, true);
    QFont link = schoolbook(16, true);
    link.setUnderline(true);

    addLabel(this, {"nom", QStringLiteral("Velmorin"), {96, 8, 193, 33}, large, lime});
    addLabel(this, {"Label1", QStringLiteral("Support"), {96, 48, 102, 33}, large, lime});
    m_version = addLabel(
        this, {"Version", QString(), versionBox, large, lime, Qt::AlignHCenter | Qt::AlignTop});
    m_label3 = addLabel(this, {"Label3",
                               contactAddress(),
                               {111, 128, 192, 20},
                               link,
                               blue,
                               Qt::AlignRight | Qt::AlignTop});
    m_label3->installEventFilter(this);
    m_label3->setFocusPolicy(Qt::StrongFocus);
    addLabel(this,
             {"Label2", QStringLiteral("E-mail "), {16, 128, 59, 20}, schoolbook(16, true), lime});

    auto *image2 = new QLabel(this);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setGeometry(16, 8, 65, 65);
    image2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image2->setPixmap(QPixmap::fromImage(velmorinEmblem()));

    addLabel(this, {"Memo1",
                    QStringLiteral("Toutes critiques afin d'améliorer ce programme \n"
                                   "seront les bienvenues ainsi que les encouragements."),
                    {8, 152, 305, 33},
                    schoolbook(12, false),
                    lime,
                    Qt::AlignCenter});

    m_button1 = new QPushButton(QStringLiteral("Historique"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(224, 56, 75, 25);
    connect(m_button1, &QPushButton::clicked, this, &TApropos::Button1Click);
    setTabOrder(m_button1, m_label3);

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(0, 0, 89, 65);
    m_panel1->setFrameStyle(QFrame::Box | QFrame::Raised);
    m_panel1->setLineWidth(3);
    m_panel1->setMidLineWidth(1);
    QPalette face = m_panel1->palette();
    face.setColor(QPalette::Window, this->palette().color(QPalette::Button));
    m_panel1->setPalette(face);
    m_panel1->setAutoFillBackground(true);
    m_paintBox1 = new TPaintBox(m_panel1);
    m_paintBox1->setObjectName(QStringLiteral("PaintBox1"));
    m_paintBox1->setGeometry(m_panel1->contentsRect());
    m_panel1->hide();
    m_panel1->raise();
}

QString TApropos::contactAddress()
{
    return QStringLiteral("aide@velmorin.example");
}

QUrl TApropos::mailtoUrl(const QString &caption)
{
    QString subject = caption.left(subjectLength);
    if (subject.size() == subjectLength && subject.back().isHighSurrogate())
        subject.chop(1); // never split a character in two
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(contactAddress());
    url.setQuery(QStringLiteral("subject=") +
                 QString::fromLatin1(QUrl::toPercentEncoding(subject)));
    return url;
}

QString TApropos::versionText() const
{
    return m_version->text();
}

void TApropos::setVersionText(const QString &text)
{
    m_version->setText(text);
    fitToText(m_version, versionBox);
}

void TApropos::done(int result)
{
    if (isAnimating()) {
        m_pendingResult = result;
        return;
    }
    QDialog::done(result);
}

void TApropos::Label3MouseEnter()
{
    setCursor(Qt::PointingHandCursor);
}

void TApropos::Label3MouseLeave()
{
    unsetCursor();
}

void TApropos::Label3Click()
{
    if (m_urlOpener(mailtoUrl(windowTitle())))
        return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Avertissement"),
                    QStringLiteral("Le courier électronique par défaut\r\r"
                                   "n'est pas installé correctement"),
                    QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("&Oui"), QMessageBox::AcceptRole);
    box.exec();
}

void TApropos::Button1Click()
{
    if (isAnimating())
        return; // the history is already playing
    m_panel1->setGeometry(rect());
    m_paintBox1->setGeometry(m_panel1->contentsRect());
    m_panel1->show();
    m_panel1->raise();
    qApp->installEventFilter(this); // for a quit request while the history plays
    m_scroll = std::make_unique<HistoryScroll>(m_histoLignes, m_paintBox1->size());
    if (m_scroll->frameCount() > 0)
        showFrame(1);
    else
        QTimer::singleShot(m_finalPause, this, &TApropos::finishAnimation);
}

void TApropos::showFrame(int frame)
{
    m_scroll->drawFrame(frame);
    m_paintBox1->setPicture(m_scroll->bitmap());
    emit frameShown(frame, m_scroll->bitmap());
    QTimer::singleShot(m_frameDelay, this, [this, frame] { afterFrame(frame); });
}

void TApropos::afterFrame(int frame)
{
    if (frame < m_scroll->frameCount()) {
        m_scroll->eraseFrame(frame);
        showFrame(frame + 1);
        return;
    }
    // The last picture stays a while before the dialog shows again.
    QTimer::singleShot(m_finalPause, this, &TApropos::finishAnimation);
}

void TApropos::finishAnimation()
{
    qApp->removeEventFilter(this);
    m_panel1->hide();
    m_scroll.reset();
    if (m_pendingResult) {
        const int result = *m_pendingResult;
        m_pendingResult.reset();
        QDialog::done(result);
    }
    emit animationFinished();
    // The dialog has closed: the program quits now, as it was asked to.
    if (std::exchange(m_quitRequested, false))
        QCoreApplication::quit();
}

bool TApropos::eventFilter(QObject *watched, QEvent *event)
{
    // The dialog refuses to close while the history plays, and so the application's quit;
    // it is remembered for the end of the history.
    if (watched == qApp && event->type() == QEvent::Quit && isAnimating()) {
        m_quitRequested = true;
        if (!m_pendingResult)
            m_pendingResult = QDialog::Rejected;
    }
    if (watched == m_label3) {
        switch (event->type()) {
        case QEvent::Enter:
            Label3MouseEnter();
            break;
        case QEvent::Leave:
            Label3MouseLeave();
            break;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_label3->rect().contains(mouse->position().toPoint()))
                Label3Click();
            break;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                Label3Click();
                return true;
            }
            break;
        }
        case QEvent::Paint:
            if (m_label3->hasFocus()) {
                paintFocusedLink(event);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TApropos::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        velmorin::centreOnAvailableArea(this);
    }
    QDialog::showEvent(event);
}

// The link as usual, framed with a dotted line in its own colour: styles draw their focus
// frames in shades that vanish on the dialog's red.
void TApropos::paintFocusedLink(QEvent *paint)
{
    static_cast<QObject *>(m_label3)->event(paint);
    QPainter painter(m_label3);
    painter.setPen(QPen(m_label3->palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(m_label3->rect().adjusted(0, 0, -1, -1));
}
