#include "kestrel/gui/DeviceMarkArt.h"

#include <QPainter>

namespace {

// The square every mark is drawn in, with its edge and its ground.
void drawBox(QPainter& painter, const QColor& edge, const QColor& ground)
{
    painter.setPen(QPen(edge, 1));
    painter.setBrush(ground);
    painter.drawRect(QRectF(1.5, 1.5, 11, 11));
}

// A sign of two round-ended strokes inside the box (a tick, a cross).
void drawStrokes(QPainter& painter, const QColor& colour, qreal width, const QLineF& first,
                 const QLineF& second)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(first);
    painter.drawLine(second);
}

} // namespace

namespace DeviceMarkArt {

QPixmap picture(DeviceMark mark)
{
    QPixmap image(14, 14);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (mark) {
    case DeviceMark::NotSelected:
        drawBox(painter, QColor(90, 90, 90), Qt::white);
        break;
    case DeviceMark::Selected:
        drawBox(painter, QColor(30, 90, 40), QColor(220, 245, 220));
        drawStrokes(painter, QColor(20, 130, 40), 2, QLineF(4, 7, 6, 10), QLineF(6, 10, 10.5, 4));
        break;
    case DeviceMark::Unavailable:
        drawBox(painter, QColor(150, 150, 150), QColor(225, 225, 225));
        drawStrokes(painter, QColor(170, 40, 40), 1.5, QLineF(4, 4, 10, 10), QLineF(4, 10, 10, 4));
        break;
    }
    return image;
}

} // namespace DeviceMarkArt
