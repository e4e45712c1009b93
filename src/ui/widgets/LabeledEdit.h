#pragma once

#include <QLineEdit>

class QLabel;

namespace velmorin {

// An edit box with its caption standing 3 pixels above it, in the same parent.
class TLabeledEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TLabeledEdit(QWidget *parent = nullptr);

    // Creates the caption on first use and places it above the box.
    QLabel *setCaption(const QString &text, const QFont &font);
    QLabel *caption() const { return m_caption; }

protected:
    void moveEvent(QMoveEvent *event) override;

private:
    void placeCaption();

    QLabel *m_caption = nullptr;
};

} // namespace velmorin
