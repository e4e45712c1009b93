#include "Emblem.h"

#include <QPainter>
#include <QPolygon>
#include <QVector>

namespace {

QVector<QRgb> sixteenColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

void drawCup(QPainter &painter)
{
    const QColor gold(255, 255, 0);
    const QColor shade(128, 128, 0);
    painter.setPen(QPen(gold, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRect(9, 10, 12, 14), 90 * 16, 180 * 16);   // left handle
    painter.drawArc(QRect(39, 10, 12, 14), 270 * 16, 180 * 16); // right handle
    painter.setPen(QPen(shade, 1));
    painter.setBrush(gold);
    painter.drawPolygon(QPolygon({QPoint(14, 7), QPoint(46, 7), QPoint(40, 27), QPoint(20, 27)}));
    painter.drawRect(27, 27, 6, 8);  // stem
    painter.drawRect(19, 35, 22, 5); // plinth
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRect(20, 10, 3, 10); // highlight
}

void drawBoules(QPainter &painter)
{
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.setBrush(QColor(192, 192, 192));
    for (int x : {3, 17, 31, 45})
        painter.drawEllipse(x, 45, 11, 11);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 0, 0));
    painter.drawEllipse(27, 41, 5, 5); // the jack
}

} // namespace

QImage velmorinEmblem()
{
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 128));
    {
        QPainter painter(&image); // no antialiasing: every pixel stays in the palette
        drawCup(painter);
        drawBoules(painter);
    }
    return image.convertToFormat(QImage::Format_Indexed8, sixteenColours(),
                                 Qt::ThresholdDither | Qt::AvoidDither);
}
