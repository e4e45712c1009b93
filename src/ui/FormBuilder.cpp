#include "FormBuilder.h"

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

// Where a named font is missing, the metric-compatible free one stands in.
QStringList fontFamilies(const char *family)
{
    const QString name = QString::fromLatin1(family);
    if (name == QLatin1String("Arial"))
        return {name, QStringLiteral("Liberation Sans")};
    if (name == QLatin1String("Symbol"))
        return {name, QStringLiteral("DejaVu Sans")};
    return {name};
}

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
    if (colour == FontColour::Inherit)
        return;
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colourOf(colour));
    widget->setPalette(palette);
}

QFont fontOf(const ControlSpec &spec, const QFont &parentFont)
{
    QFont font = parentFont;
    if (spec.fontPixels > 0)
        font.setPixelSize(spec.fontPixels);
    if (spec.family)
        font.setFamilies(fontFamilies(spec.family));
    return font;
}

QWidget *createPanel(const ControlSpec &spec, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth((spec.flags & InnerBevel) ? 2 : 1);
    return panel;
}

QWidget *createLabel(const ControlSpec &spec, QWidget *parent)
{
    QLabel *label =
        spec.kind == ControlKind::Label ? new TAutoSizeLabel(parent) : new QLabel(parent);
    if (spec.flags & Centred)
        label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget *createEdit(const ControlSpec &spec, QWidget *parent)
{
    auto *edit = new TLabeledEdit(parent);
    edit->setReadOnly(spec.kind == ControlKind::ReadOnlyEdit);
    return edit;
}

QWidget *createUpDown(const ControlSpec &spec, QWidget *parent)
{
    auto *upDown = new TUpDown(parent);
    upDown->setMin(spec.minimum);
    upDown->setMax(spec.maximum);
    upDown->setIncrement(spec.increment);
    upDown->setPosition(0);
    return upDown;
}

QWidget *createTrackBar(const ControlSpec &spec, QWidget *parent)
{
    auto *trackBar = new TTrackBar(parent);
    trackBar->setMin(spec.minimum);
    trackBar->setMax(spec.maximum);
    trackBar->setPosition(spec.minimum);
    return trackBar;
}

QWidget *createControl(const ControlSpec &spec, QWidget *parent)
{
    switch (spec.kind) {
    case ControlKind::Panel:
        return createPanel(spec, parent);
    case ControlKind::Label:
    case ControlKind::FixedLabel:
        return createLabel(spec, parent);
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit:
        return createEdit(spec, parent);
    case ControlKind::UpDown:
        return createUpDown(spec, parent);
    case ControlKind::Button:
        return new QPushButton(parent);
    case ControlKind::TrackBar:
        return createTrackBar(spec, parent);
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

FormControls buildForm(QWidget *client, const std::vector<ControlSpec> &specs)
{
    FormControls controls;
    for (const ControlSpec &spec : specs) {
        QWidget *parent = spec.parent ? controls.value(QString::fromLatin1(spec.parent)) : client;
        if (!parent)
            throw std::logic_error(std::string("layout names no parent ") + spec.parent);
        QWidget *widget = createControl(spec, parent);
        const QString name = QString::fromLatin1(spec.name);
        widget->setObjectName(name);
        widget->setFont(fontOf(spec, parent->font()));
        setFontColour(widget, spec.colour);
        widget->setGeometry(spec.left, spec.top, spec.width, spec.height);
        setText(widget, QString::fromUtf8(spec.text));
        if (spec.caption) {
            QLabel *caption = static_cast<TLabeledEdit *>(widget)->setCaption(
                QString::fromUtf8(spec.caption), parent->font());
            setFontColour(caption, spec.captionColour);
        }
        if (spec.accessibleName)
            widget->setAccessibleName(QString::fromUtf8(spec.accessibleName));
        // Labels are painted on their parent, beneath every other control.
        if (spec.kind == ControlKind::Label || spec.kind == ControlKind::FixedLabel)
            widget->lower();
        widget->setEnabled(!(spec.flags & Disabled));
        widget->setVisible(!(spec.flags & Hidden));
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
