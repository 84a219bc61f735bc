#pragma once

#include "frame/ProgressView.h"

#include <QDialog>

class ClipPlayer;
class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of a send: the phase animation on the left, the line's animation on the
// right, the status line, the progress bar (enabled in the sending phase only), a version
// label and Cancel. Cancel, Escape and the window's close button only ask to cancel (the send
// decides when the window goes); finish() closes it. GUI thread only.
class ProgressDialog final : public QDialog
{
    Q_OBJECT

public:
    // The phase in which the progress bar is enabled (messages going out).
    static constexpr int sendingPhase = 3;

    // A dialog showing the setup's caption, version label, first status and progress range.
    explicit ProgressDialog(const ProgressViewSetup& setup, QWidget* parent = nullptr);

    // Shows the phase's frame of the left animation; enables the bar in sendingPhase only.
    void setPhase(int phase);
    // Replaces the status line.
    void setStatus(const QString& text);
    // Moves the progress bar.
    void setProgress(int value);
    // Enables or disables Cancel (and with it Escape and the close button).
    void setCancelEnabled(bool enabled);
    // Switches the right animation's loop.
    void setRightAnimation(RightAnimation animation);
    // Closes the dialog with the result.
    void finish(int result);

    // What it shows now.
    int phase() const { return m_phase; }
    RightAnimation rightAnimation() const { return m_animation; }

    // Escape: a request to cancel, never a close.
    void reject() override;

signals:
    // The user asked to cancel (Cancel, Escape or the close button, while Cancel is enabled).
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void requestCancel();

    const ProgressViewSetup m_setup;
    ClipPlayer* m_phaseClip = nullptr;
    ClipPlayer* m_linkClip = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_phase = 0;
    RightAnimation m_animation = RightAnimation::Stopped;
};
