#pragma once

#include <QPixmap>
#include <QTimer>
#include <QVector>
#include <QWidget>

// An animation of drawn frames, as the progress dialog's two clips play them: one frame shown
// still, or a range of frames looped at five frames per second.
class ClipPlayer final : public QWidget
{
    Q_OBJECT

public:
    // The clips' speed.
    static constexpr int framesPerSecond = 5;

    // A player of `frames` (all of one size) showing the first.
    explicit ClipPlayer(QVector<QPixmap> frames, QWidget* parent = nullptr);

    // Stops any loop and shows the frame (clamped to the clip).
    void showFrame(int frame);
    // Plays frames first..last (clamped) over and over, starting at first.
    void play(int first, int last);
    // Halts on the frame shown now.
    void stop();

    // The frame shown now.
    int currentFrame() const { return m_current; }
    // Whether a loop plays.
    bool isPlaying() const { return m_timer.isActive(); }
    // The loop's first and last frame (meaningful while it plays).
    int loopFirst() const { return m_first; }
    int loopLast() const { return m_last; }
    // The number of frames in the clip.
    int frameCount() const { return static_cast<int>(m_frames.size()); }
    // The picture of a frame (a null pixmap outside the clip).
    QPixmap frame(int index) const { return m_frames.value(index); }

    QSize sizeHint() const override;

signals:
    // A frame was put on show (a still frame, a loop's start or its next frame).
    void frameShown(int frame);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int clamp(int frame) const;
    void advance();

    QVector<QPixmap> m_frames;
    int m_current = 0;
    int m_first = 0;
    int m_last = 0;
    QTimer m_timer;
};
