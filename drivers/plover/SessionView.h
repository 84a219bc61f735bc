#pragma once

class SendReporter;

// What the protocol thread shows of a send besides phase, status and progress: the progress
// view's right-hand animation, its Cancel button and the pause that keeps a failure readable.
// The plug-in forwards these to its send frame; the defaults are those of a headless send.
class SessionView
{
public:
    virtual ~SessionView() = default;

    // Plays the connecting loop of the animation.
    virtual void showConnecting() { }
    // Plays the connected loop of the animation.
    virtual void showConnected() { }
    // Halts the animation.
    virtual void stopAnimation() { }
    // Disables the Cancel button (nothing is left to cancel).
    virtual void disableCancel() { }
    // Leaves a connect failure's status up for `ms` milliseconds, or until the send is
    // cancelled.
    virtual void pauseForReading(int ms, const SendReporter& reporter);
};
