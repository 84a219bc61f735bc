#include "frame/gui/ClipArt.h"

#include <QPainter>

namespace ClipArt {

Theme themeOf(const QString& tag)
{
    return tag == QLatin1String("plover") ? Theme::Network : Theme::ModemLine;
}

QSize phaseFrameSize()
{
    return {122, 84};
}

QSize linkFrameSize()
{
    return {100, 130};
}

QPixmap controlIcon(Theme theme)
{
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor body = theme == Theme::Network ? QColor(40, 120, 70) : QColor(30, 80, 160);
    painter.setPen(QPen(body.darker(150), 1));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 4, 4);
    // A pager's display with a line of text on it.
    painter.setBrush(QColor(200, 230, 200));
    painter.drawRect(QRectF(6.5, 8.5, 19, 8));
    painter.setPen(QPen(QColor(40, 60, 40), 1.5));
    painter.drawLine(QPointF(9, 12.5), QPointF(20, 12.5));
    // Its buttons.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 230, 230));
    for (int i = 0; i < 3; ++i) {
        painter.drawEllipse(QPointF(10.0 + 6.0 * i, 22.0), 2.0, 2.0);
    }
    return icon;
}

} // namespace ClipArt
