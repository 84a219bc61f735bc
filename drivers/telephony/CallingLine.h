#pragma once

#include "telephony/CallHooks.h"
#include "telephony/LineDevice.h"
#include "threads/WakeEvent.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

class LogFile;
class PortLink;

// The common part of the line devices, which each holds as its LAST member: a call is placed
// on a thread of the line's own, which reports the outcome to the observer; the connection is
// handed out as a PortLink over the line's descriptor; hang-up stops the call attempt,
// interrupts the link, lets the kind of line end the call on its descriptor (CallHooks), and
// closes it. Its destruction hangs up and waits for the call thread, before the members of
// the line that the call thread and the hooks use are gone.
//
// The observer's callEvent() runs on the line's thread. hangUp() does not wait for it, but
// the line's destruction does, so the observer must outlive the line and must not destroy the
// line from inside callEvent().
class CallingLine final
{
public:
    // What a call attempt came to: the event to report (none when the line was hung up).
    struct Outcome
    {
        std::optional<CallEvent> event;
        int detail = 0;
    };

    // The call machinery of a line that logs to `log` with `tag` and ends its calls through
    // `hooks` (the line itself).
    CallingLine(LogFile& log, std::string_view tag, CallHooks& hooks);
    // Hangs up and waits for the call thread.
    ~CallingLine();
    CallingLine(const CallingLine&) = delete;
    CallingLine& operator=(const CallingLine&) = delete;

    // The connection while the call is connected (see LineDevice::link()).
    ByteLink* link();
    // Ends the call (see LineDevice::hangUp()).
    void hangUp();
    // The code of the last failure (see LineDevice::lastError()).
    int lastError() const { return m_lastError.load(); }

    // Takes the line for its one call; false (lastError() 4) when it has dialled before or
    // was hung up.
    [[nodiscard]] bool beginDial();
    // Records a failure of dial() and returns false.
    bool refuse(int code);
    // Runs `attempt` on the line's thread and reports its outcome. `fd` (may be -1) becomes
    // the line's descriptor, which hang-up closes once the attempt has returned. False (the
    // descriptor closed, lastError() 4) when the line was hung up before the call started.
    [[nodiscard]] bool startCall(CallObserver& observer, int fd, std::function<Outcome()> attempt);
    // Makes the line's descriptor the connection; false when the line was hung up meanwhile.
    // With `modemResults` the connection watches for the modem's NO CARRIER.
    [[nodiscard]] bool connect(bool modemResults = false);
    // Sets the line's descriptor from the call thread (a TCP line makes its socket there);
    // false when the line was hung up meanwhile, and the caller closes the descriptor.
    [[nodiscard]] bool adoptDescriptor(int fd);
    // Runs `action` on the line's descriptor while it is open, under the line's lock; false
    // when no descriptor is open.
    bool withDescriptor(const std::function<void(int fd)>& action);
    // The wake event that a hang-up signals; every wait of the call thread watches it.
    const WakeEvent& wake() const { return m_wake; }

private:
    LogFile& m_log;
    std::string m_tag;
    CallHooks& m_hooks;
    WakeEvent m_wake;
    std::atomic<int> m_lastError {0};
    std::mutex m_mutex;
    std::condition_variable m_attemptDone;
    std::thread m_thread;
    std::unique_ptr<PortLink> m_link;
    int m_fd = -1;
    bool m_dialled = false;
    bool m_hungUp = false;
    bool m_attemptRunning = false;
    bool m_connected = false;
    bool m_closed = false;
};
