#include "FormBuilder.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "AutoSizeLabel.h"
#include "LabeledEdit.h"
#include "RadioGroup.h"
#include "TrackBar.h"
#include "UpDown.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace velmorin {

namespace {

QColor colourOf(FontColour colour)
{
    switch (colour) {
    case FontColour::Red:
        return Qt::red;
    case FontColour::Blue:
        return Qt::blue;
    case FontColour::Black:
        return Qt::black;
    case FontColour::Inherit:
        break;
    }
    return {};
}

void setFontColour(QWidget *widget, FontColour colour)
{
    if (colour != FontColour::Inherit)
        velmorin::setFontColour(widget, colourOf(colour));
}

QFont fontOf(const ControlDesc &desc, const QFont &parentFont)
{
    QFont font = parentFont;
    if (desc.fontPixels > 0)
        font.setPixelSize(desc.fontPixels);
    if (desc.family)
        font.setFamilies(fontFamilies(QString::fromLatin1(desc.family)));
    return font;
}

QWidget *createPanel(const ControlDesc &desc, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth((desc.flags & InnerBevel) ? 2 : 1);
    return panel;
}

QWidget *createLabel(const ControlDesc &desc, QWidget *parent)
{
    QLabel *label =
        desc.kind == ControlKind::Label ? new TAutoSizeLabel(parent) : new QLabel(parent);
    if (desc.flags & Centred)
        label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget *createEdit(const ControlDesc &desc, QWidget *parent)
{
    auto *edit = new TLabeledEdit(parent);
    edit->setReadOnly(desc.kind == ControlKind::ReadOnlyEdit);
    return edit;
}

QWidget *createUpDown(const ControlDesc &desc, QWidget *parent)
{
    auto *upDown = new TUpDown(parent);
    upDown->setMin(desc.minimum);
    upDown->setMax(desc.maximum);
    upDown->setIncrement(desc.increment);
    upDown->setPosition(0);
    return upDown;
}

QWidget *createTrackBar(const ControlDesc &desc, QWidget *parent)
{
    auto *trackBar = new TTrackBar(parent);
    trackBar->setMin(desc.minimum);
    trackBar->setMax(desc.maximum);
    trackBar->setPosition(desc.minimum);
    return trackBar;
}

QWidget *createControl(const ControlDesc &desc, QWidget *parent)
{
    switch (desc.kind) {
    case ControlKind::Panel:
        return createPanel(desc, parent);
    case ControlKind::Label:
    case ControlKind::FixedLabel:
        return createLabel(desc, parent);
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit:
        return createEdit(desc, parent);
    case ControlKind::UpDown:
        return createUpDown(desc, parent);
    case ControlKind::Button:
        return new QPushButton(parent);
    case ControlKind::TrackBar:
        return createTrackBar(desc, parent);
    case ControlKind::RadioGroup:
        return new TRadioGroup({QStringLiteral("1/2"), QStringLiteral("3/4")}, parent);
    }
    throw std::logic_error("unknown control kind");
}

void setText(QWidget *widget, const QString &text)
{
    if (auto *autoLabel = qobject_cast<TAutoSizeLabel *>(widget))
        autoLabel->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
}

} // namespace

FormControls buildForm(QWidget *client, const std::vector<ControlDesc> &specs)
{
    FormControls controls;
    for (const ControlDesc &desc : specs) {
        QWidget *parent = desc.parent ? controls.value(QString::fromLatin1(desc.parent)) : client;
        if (!parent)
            throw std::logic_error(std::string("layout names no parent ") + desc.parent);
        QWidget *widget = createControl(desc, parent);
        const QString name = QString::fromLatin1(desc.name);
        widget->setObjectName(name);
        widget->setFont(fontOf(desc, parent->font()));
        setFontColour(widget, desc.colour);
        widget->setGeometry(desc.left, desc.top, desc.width, desc.height);
        setText(widget, QString::fromUtf8(desc.text));
        if (desc.caption) {
            QLabel *caption = static_cast<TLabeledEdit *>(widget)->setCaption(
                QString::fromUtf8(desc.caption), parent->font());
            setFontColour(caption, desc.captionColour);
        }
        if (desc.accessibleName)
            widget->setAccessibleName(QString::fromUtf8(desc.accessibleName));
        if (desc.flags & Decorative)
            hideFromAssistiveTechnology(widget);
        // Labels are painted on their parent, beneath every other control.
        if (desc.kind == ControlKind::Label || desc.kind == ControlKind::FixedLabel)
            widget->lower();
        widget->setEnabled(!(desc.flags & Disabled));
        widget->setVisible(!(desc.flags & Hidden));
        controls.insert(name, widget);
    }
    return controls;
}

void setTabOrder(const FormControls &controls, const std::vector<const char *> &order)
{
    QWidget *previous = nullptr;
    auto chain = [&previous](QWidget *next) {
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (const char *name : order) {
        QWidget *widget = controls.value(QString::fromLatin1(name));
        if (auto *group = qobject_cast<TRadioGroup *>(widget)) {
            chain(group->item(0));
            chain(group->item(1));
        } else if (widget) {
            chain(widget);
        }
    }
}

} // namespace velmorin
