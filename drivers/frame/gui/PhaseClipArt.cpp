// The left clip of the progress dialog: one picture per phase of a send, a computer on the
// left, the pager on the right and what the phase does between them.
#include "frame/gui/ClipArt.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace ClipArt {

namespace {

constexpr int lastPhase = 4;

void drawComputer(QPainter& painter)
{
    painter.setPen(QPen(QColor(60, 60, 70), 1));
    painter.setBrush(QColor(220, 220, 210));
    painter.drawRect(QRectF(6.5, 14.5, 30, 24));
    painter.setBrush(QColor(40, 70, 120));
    painter.drawRect(QRectF(10.5, 18.5, 22, 16));
    painter.setBrush(QColor(200, 200, 190));
    painter.drawRect(QRectF(16.5, 38.5, 10, 4));
    painter.drawRect(QRectF(4.5, 42.5, 34, 6));
}

void drawPager(QPainter& painter)
{
    painter.setPen(QPen(QColor(30, 30, 30), 1));
    painter.setBrush(QColor(50, 50, 60));
    painter.drawRoundedRect(QRectF(90.5, 20.5, 26, 30), 4, 4);
    painter.setBrush(QColor(190, 220, 180));
    painter.drawRect(QRectF(94.5, 24.5, 18, 10));
}

void drawHandset(QPainter& painter, const QPointF& centre, bool lifted)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(lifted ? -25 : 0);
    painter.setPen(QPen(QColor(20, 20, 20), 1));
    painter.setBrush(QColor(70, 70, 75));
    QPainterPath path;
    path.addRoundedRect(QRectF(-16, -4, 32, 8), 3, 3);
    path.addEllipse(QRectF(-19, -3, 9, 9));
    path.addEllipse(QRectF(10, -3, 9, 9));
    painter.drawPath(path.simplified());
    painter.restore();
}

void drawGlobe(QPainter& painter, const QPointF& centre)
{
    painter.setPen(QPen(QColor(20, 70, 120), 1.2));
    painter.setBrush(QColor(150, 200, 240));
    painter.drawEllipse(centre, 12, 12);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 5, 12);
    painter.drawLine(centre - QPointF(12, 0), centre + QPointF(12, 0));
}

void drawKey(QPainter& painter, const QPointF& centre)
{
    painter.setPen(QPen(QColor(120, 90, 10), 2));
    painter.setBrush(QColor(230, 190, 60));
    painter.drawEllipse(centre - QPointF(8, 0), 6, 6);
    painter.drawLine(centre - QPointF(2, 0), centre + QPointF(12, 0));
    painter.drawLine(centre + QPointF(8, 0), centre + QPointF(8, 5));
    painter.drawLine(centre + QPointF(12, 0), centre + QPointF(12, 5));
}

void drawEnvelope(QPainter& painter, const QPointF& centre)
{
    const QRectF body(centre - QPointF(13, 8), QSizeF(26, 16));
    painter.setPen(QPen(QColor(90, 70, 40), 1));
    painter.setBrush(QColor(250, 245, 225));
    painter.drawRect(body);
    painter.drawLine(body.topLeft(), body.center() + QPointF(0, 2));
    painter.drawLine(body.topRight(), body.center() + QPointF(0, 2));
}

void drawCut(QPainter& painter, const QPointF& centre)
{
    painter.setPen(QPen(QColor(170, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-7, -7), centre + QPointF(7, 7));
    painter.drawLine(centre + QPointF(-7, 7), centre + QPointF(7, -7));
}

void drawPhaseDots(QPainter& painter, int phase)
{
    painter.setPen(QPen(QColor(80, 80, 80), 1));
    for (int i = 0; i <= lastPhase; ++i) {
        painter.setBrush(i == phase ? QColor(30, 140, 60) : QColor(235, 235, 235));
        painter.drawEllipse(QPointF(37.0 + 12.0 * i, 72.0), 4.0, 4.0);
    }
}

QPixmap phaseFrame(Theme theme, int phase)
{
    QPixmap frame(phaseFrameSize());
    frame.fill(QColor(245, 247, 250));
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    drawComputer(painter);
    drawPager(painter);

    const QPointF middle(63, 32);
    // The link between computer and pager: dotted until a connection stands.
    const bool linked = phase == 2 || phase == 3;
    painter.setPen(QPen(QColor(120, 120, 120), 1.5, linked ? Qt::SolidLine : Qt::DotLine));
    painter.drawLine(QPointF(39, 32), QPointF(88, 32));
    switch (phase) {
    case 1:
        if (theme == Theme::Network) {
            drawGlobe(painter, middle);
        } else {
            drawHandset(painter, middle, true);
        }
        break;
    case 2:
        drawKey(painter, middle);
        break;
    case 3:
        drawEnvelope(painter, middle);
        break;
    case 4:
        if (theme == Theme::Network) {
            drawCut(painter, middle);
        } else {
            drawHandset(painter, middle + QPointF(0, 6), false);
        }
        break;
    default:
        break;
    }
    drawPhaseDots(painter, phase);
    return frame;
}

} // namespace

QVector<QPixmap> phaseFrames(Theme theme, int count)
{
    QVector<QPixmap> frames;
    for (int i = 0; i < count; ++i) {
        frames.append(phaseFrame(theme, std::min(i, lastPhase)));
    }
    return frames;
}

} // namespace ClipArt
