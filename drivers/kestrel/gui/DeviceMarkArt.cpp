#include "DeviceMarkArt.h"

#include <QPainter>

namespace DeviceMarkArt {

QPixmap picture(DeviceMark mark)
{
    QPixmap image(14, 14);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(1.5, 1.5, 11, 11);
    switch (mark) {
    case DeviceMark::NotSelected:
        painter.setPen(QPen(QColor(90, 90, 90), 1));
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        break;
    case DeviceMark::Selected:
        painter.setPen(QPen(QColor(30, 90, 40), 1));
        painter.setBrush(QColor(220, 245, 220));
        painter.drawRect(box);
        painter.setPen(QPen(QColor(20, 130, 40), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, 7), QPointF(6, 10));
        painter.drawLine(QPointF(6, 10), QPointF(10.5, 4));
        break;
    case DeviceMark::Unavailable:
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.setBrush(QColor(225, 225, 225));
        painter.drawRect(box);
        painter.setPen(QPen(QColor(170, 40, 40), 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, 4), QPointF(10, 10));
        painter.drawLine(QPointF(4, 10), QPointF(10, 4));
        break;
    }
    return image;
}

} // namespace DeviceMarkArt
