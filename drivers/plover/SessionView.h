#pragma once

// What the protocol thread shows of a send besides phase, status and progress: the progress
// view's right-hand animation and its Cancel button. The frame's progress view implements it;
// a headless send leaves every call without effect.
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
};
