// The right clip of the progress dialog: the remote end being called (rings going out from
// the modem or the server, a blinking lamp), then the standing connection with a page
// travelling down it to the paging terminal's tower.
#include "frame/gui/ClipArt.h"

#include <QPainter>

#include <algorithm>

namespace ClipArt {

namespace {

const QRectF sender(25.5, 8.5, 50, 26);

void drawSender(QPainter& painter, Theme theme, bool lampOn, bool connected)
{
    painter.setPen(QPen(QColor(40, 40, 50), 1));
    painter.setBrush(theme == Theme::Network ? QColor(90, 100, 120) : QColor(200, 195, 180));
    painter.drawRoundedRect(sender, 3, 3);
    if (theme == Theme::Network) {
        // Drive bays of a server.
        painter.setBrush(QColor(60, 65, 80));
        painter.drawRect(QRectF(31.5, 13.5, 26, 5));
        painter.drawRect(QRectF(31.5, 22.5, 26, 5));
    } else {
        // The modem's front grille.
        for (int i = 0; i < 4; ++i) {
            painter.drawLine(QPointF(32.5 + 5 * i, 16), QPointF(32.5 + 5 * i, 27));
        }
    }
    const QColor lamp = connected ? QColor(40, 200, 60) : QColor(230, 160, 20);
    painter.setBrush(lampOn ? lamp : lamp.darker(300));
    painter.drawEllipse(QPointF(67, 21), 3, 3);
}

void drawTower(QPainter& painter)
{
    painter.setPen(QPen(QColor(70, 70, 80), 2));
    painter.drawLine(QPointF(50, 84), QPointF(38, 124));
    painter.drawLine(QPointF(50, 84), QPointF(62, 124));
    painter.setPen(QPen(QColor(70, 70, 80), 1));
    for (int i = 1; i < 4; ++i) {
        const double y = 84 + 10.0 * i;
        const double half = 3.0 * i;
        painter.drawLine(QPointF(50 - half, y), QPointF(50 + half, y));
    }
    painter.setBrush(QColor(200, 40, 40));
    painter.drawEllipse(QPointF(50, 82), 3, 3);
}

void drawRings(QPainter& painter, int step)
{
    // Rings leave the sender downwards, the newest innermost.
    painter.setBrush(Qt::NoBrush);
    const QPointF origin(50, 36);
    for (int ring = 0; ring < 3; ++ring) {
        const int radius = 8 + 10 * ((step + ring) % 4);
        const int alpha = 255 - 55 * ((step + ring) % 4);
        painter.setPen(QPen(QColor(30, 90, 200, alpha), 2));
        painter.drawArc(
            QRectF(origin.x() - radius, origin.y() - radius, 2.0 * radius, 2.0 * radius), -30 * 16,
            -120 * 16);
    }
}

void drawPage(QPainter& painter, double progress)
{
    painter.setPen(QPen(QColor(40, 140, 60), 2));
    painter.drawLine(QPointF(50, 35), QPointF(50, 78));
    const double y = 38 + progress * 34;
    painter.setPen(QPen(QColor(90, 70, 40), 1));
    painter.setBrush(QColor(250, 245, 225));
    painter.drawRect(QRectF(43.5, y, 13, 8));
    painter.drawLine(QPointF(43.5, y), QPointF(50, y + 4));
    painter.drawLine(QPointF(56.5, y), QPointF(50, y + 4));
}

QPixmap linkFrame(Theme theme, int frameIndex, int count, int connectingLast)
{
    QPixmap frame(linkFrameSize());
    frame.fill(QColor(245, 247, 250));
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool connected = frameIndex > connectingLast;
    drawSender(painter, theme, connected || frameIndex % 2 == 0, connected);
    drawTower(painter);
    if (connected) {
        const int span = std::max(1, count - connectingLast - 2);
        drawPage(painter, static_cast<double>(frameIndex - connectingLast - 1) / span);
    } else {
        drawRings(painter, frameIndex);
    }
    return frame;
}

} // namespace

QVector<QPixmap> linkFrames(Theme theme, int count, int connectingLast)
{
    QVector<QPixmap> frames;
    for (int i = 0; i < count; ++i) {
        frames.append(linkFrame(theme, i, count, connectingLast));
    }
    return frames;
}

} // namespace ClipArt
