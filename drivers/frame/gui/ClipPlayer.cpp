#include "frame/gui/ClipPlayer.h"

#include <QPainter>

#include <algorithm>

ClipPlayer::ClipPlayer(QVector<QPixmap> frames, QWidget* parent)
    : QWidget(parent)
    , m_frames(std::move(frames))
{
    m_timer.setInterval(1000 / framesPerSecond);
    connect(&m_timer, &QTimer::timeout, this, &ClipPlayer::advance);
    setFixedSize(sizeHint());
}

int ClipPlayer::clamp(int frame) const
{
    return m_frames.isEmpty() ? 0 : std::clamp(frame, 0, frameCount() - 1);
}

void ClipPlayer::showFrame(int frame)
{
    m_timer.stop();
    m_current = clamp(frame);
    update();
    emit frameShown(m_current);
}

void ClipPlayer::play(int first, int last)
{
    m_first = clamp(first);
    m_last = std::max(m_first, clamp(last));
    m_current = m_first;
    update();
    emit frameShown(m_current);
    m_timer.start();
}

void ClipPlayer::stop()
{
    m_timer.stop();
}

void ClipPlayer::advance()
{
    m_current = m_current >= m_last ? m_first : m_current + 1;
    update();
    emit frameShown(m_current);
}

QSize ClipPlayer::sizeHint() const
{
    return m_frames.isEmpty() ? QSize(0, 0) : m_frames.front().size();
}

void ClipPlayer::paintEvent(QPaintEvent*)
{
    if (m_frames.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_frames[m_current]);
}
