#include "cli/SignalWatcher.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <pthread.h>

SignalWatcher::SignalWatcher(std::initializer_list<int> signals)
{
    sigemptyset(&m_set);
    for (const int signal : signals) {
        sigaddset(&m_set, signal);
    }
    pthread_sigmask(SIG_BLOCK, &m_set, &m_previous);
}

SignalWatcher::~SignalWatcher()
{
    // A signal that came after the last wait would otherwise take its default action (end
    // the process) the moment it is unblocked.
    while (wait(std::chrono::milliseconds(0)) != 0) { }
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

int SignalWatcher::wait(std::chrono::milliseconds timeout)
{
    const auto count = timeout.count() < 0 ? 0 : timeout.count();
    timespec until {static_cast<time_t>(count / 1000), static_cast<long>((count % 1000) * 1000000)};
    for (;;) {
        const int signal = sigtimedwait(&m_set, nullptr, &until);
        if (signal > 0) {
            return signal;
        }
        // EINTR: another signal's handler ran; the wait starts again (a short wait at worst
        // lasts twice as long). EAGAIN: the time ran out.
        if (errno != EINTR) {
            return 0;
        }
    }
}

void SignalWatcher::raiseDefault(int signal)
{
    std::signal(signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    // Raised while still blocked, so that unblocking delivers it at once to this thread.
    raise(signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    // Not reached for a signal whose default action ends the process.
    std::_Exit(128 + signal);
}

const char* SignalWatcher::name(int signal)
{
    switch (signal) {
    case SIGHUP:
        return "SIGHUP";
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "signal";
    }
}
