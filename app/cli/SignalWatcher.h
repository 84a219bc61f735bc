#pragma once

#include <chrono>
#include <csignal>
#include <initializer_list>

// Takes signals as plain values instead of through handlers: the constructor blocks them in
// the calling thread, and every thread started afterwards inherits the blocked set, so the
// signals stay pending until wait() takes them with sigtimedwait(). Nothing runs in signal
// context, so nothing needs to be async-signal-safe. Make it on the main thread before any
// other thread starts.
class SignalWatcher
{
public:
    // Blocks the signals in the calling thread.
    explicit SignalWatcher(std::initializer_list<int> signals);
    // Drops the signals still pending and unblocks them again.
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // Waits up to `timeout` for one of the signals and returns its number; 0 when none came.
    int wait(std::chrono::milliseconds timeout);
    // Gives the signal back its default action, unblocks it and raises it, so that the
    // process ends as that signal ends it (used for a second stop request).
    [[noreturn]] void raiseDefault(int signal);

    // The signal's name for messages ("SIGTERM"; "signal N" for others).
    static const char* name(int signal);

private:
    sigset_t m_set;
    sigset_t m_previous;
};
