#pragma once

#include <string>

// Which loop the right-hand animation of a progress view plays.
enum class RightAnimation {
    Stopped, // halted on its current frame
    Connecting, // frames 0 .. ProgressViewSetup::connectingLastFrame, over and over
    Connected, // the whole clip, over and over
};

// What a progress view shows that stays the same for one send.
struct ProgressViewSetup
{
    std::string tag; // the driver's origin tag ("kestrel", "plover")
    std::string caption; // the window's title ("IXO/TAP Paging (Provider)")
    std::string versionLabel; // right-aligned label ("kestrel v1.0"); empty for none
    std::string initialStatus; // the status line before the first update ("Initializing...")
    int progressMaximum = 0; // the progress range is 0 .. this (twice the message count)
    int leftClip = 0; // resource number of the left clip: one frame per phase
    int leftClipFrames = 5;
    int rightClip = 0; // resource number of the right clip (dialling / connected loops)
    int rightClipFrames = 0;
    int connectingLastFrame = 0; // the connecting loop plays frames 0 .. this
    void* parentWindow = nullptr; // the host's opaque owner window, or null
};

// What a progress view reports back to the send it shows. Both calls are made only while the
// view's run() has not returned, from whichever thread the view runs its window on.
class ProgressViewEvents
{
public:
    virtual ~ProgressViewEvents() = default;
    // The view is up and takes updates. Called once; until then updates wait (boundedly).
    virtual void viewShown() = 0;
    // The user asked to stop the send (a Cancel button, or the host's cancel request).
    // Presses after the first are ignored, so a view may report every one.
    virtual void cancelPressed() = 0;
};

// The window (or its headless stand-in) that shows a send's progress: phase, status line,
// progress bar, two animations and a Cancel button.
//
// Threads: run() blocks the thread that called send(). Every other member may be called from
// any thread (the protocol thread, the view's own thread, a line device's thread) and must
// return at once without waiting for another thread: a GUI view posts the change to its GUI
// thread, in the order the calls came, and must not call the events back from inside. Updates
// arrive only between viewShown() and the end of run(); end() may come at any time, even
// before run().
class ProgressView
{
public:
    virtual ~ProgressView() = default;

    // Shows the view and blocks the calling thread until end(); returns end()'s result, or a
    // negative number when the view cannot be shown. A GUI view called on the GUI thread runs
    // a modal loop that keeps serving the thread's events; called on another thread it shows
    // the window on the GUI thread and waits. When end() came first, returns its result at
    // once without showing anything.
    virtual int run(ProgressViewEvents& events) = 0;
    // Makes run() return `result` (1: the protocol thread ended it; 2: cancelled before any
    // protocol thread ran). Calls after the first are ignored.
    virtual void end(int result) = 0;
    // Shows the phase (0..4) as the left animation's frame; the progress bar is enabled in
    // phase 3 only.
    virtual void setPhase(int phase) = 0;
    // Replaces the status line.
    virtual void setStatus(const std::string& text) = 0;
    // Moves the progress bar (0 .. ProgressViewSetup::progressMaximum).
    virtual void setProgress(int value) = 0;
    // Enables or disables the Cancel button.
    virtual void setCancelEnabled(bool enabled) = 0;
    // Switches the right animation's loop.
    virtual void setRightAnimation(RightAnimation animation) = 0;
    // Whether a person can see the view (a failure's status is then left up for a moment).
    virtual bool isVisible() const = 0;
};
