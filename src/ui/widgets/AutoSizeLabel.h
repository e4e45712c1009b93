#pragma once

#include <QLabel>

namespace velmorin {

// A label that sizes itself to its text, keeping its left edge.
class TAutoSizeLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TAutoSizeLabel(QWidget *parent = nullptr);

    // Hides QLabel::setText so that every text change refits the label.
    void setText(const QString &text);

signals:
    void textChanged(const QString &text);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refit();

    bool m_fitPending = false;
};

} // namespace velmorin
