#include "Accessibility.h"

#include "AutoSizeLabel.h"
#include "ClassAppearance.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QSlider>

namespace velmorin {

namespace {

const char kDecoration[] = "velmorinDecoration";

class DecorationInterface : public QAccessibleWidget
{
public:
    explicit DecorationInterface(QWidget *widget) : QAccessibleWidget(widget) {}

    QAccessible::State state() const override
    {
        QAccessible::State hidden = QAccessibleWidget::state();
        hidden.invisible = true;
        return hidden;
    }
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface *decorationFactory(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->property(kDecoration).toBool())
        return new DecorationInterface(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void hideFromAssistiveTechnology(QWidget *widget)
{
    static const bool installed = [] {
        QAccessible::installFactory(decorationFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(kDecoration, true);
    // An interface made before the widget was marked would be kept for its lifetime.
    QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget);
    if (made && !dynamic_cast<DecorationInterface *>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void describeExemption(QLabel *number, ExemptionClass exemptionClass)
{
    number->setAccessibleName(toQString(wording(exemptionClass).description));
}

void describeSliderBy(TAutoSizeLabel *label, QSlider *slider)
{
    label->setBuddy(slider);
    slider->setAccessibleDescription(label->text());
    // The label itself announces its new text: QLabel::setText signals a changed name.
    // The slider, which has the focus while the user browses, signals a changed description.
    QObject::connect(label, &TAutoSizeLabel::textChanged, slider,
                     [slider](const QString &text) { slider->setAccessibleDescription(text); });
}

} // namespace velmorin
