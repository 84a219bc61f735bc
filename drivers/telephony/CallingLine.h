#pragma once

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

// The common part of the line devices: a call is placed on a thread of the line's own, which
// reports the outcome to the observer; the connection is handed out as a PortLink over the
// line's descriptor; hang-up stops the call attempt, interrupts the link, lets the kind of
// line end the call on its descriptor, and closes it.
//
// The observer's callEvent() runs on the line's thread. hangUp() does not wait for it, but
// the line's destructor does, so the observer must outlive the line and must not destroy the
// line from inside callEvent().
class CallingLine : public LineDevice
{
public:
    ~CallingLine() override;
    CallingLine(const CallingLine&) = delete;
    CallingLine& operator=(const CallingLine&) = delete;

    ByteLink* link() override;
    void hangUp() override;
    int lastError() const override { return m_lastError.load(); }

protected:
    // What a call attempt came to: the event to report (none when the line was hung up).
    struct Outcome
    {
        std::optional<CallEvent> event;
        int detail = 0;
    };

    CallingLine(LogFile& log, std::string_view tag);

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

    // Stops what the call thread waits for besides the wake event (a host-name lookup).
    virtual void interruptAttempt() { }
    // Ends the call on the descriptor (no other thread uses it any more) within bounded time.
    // `connected`: the call was connected; `lost`: its connection saw the remote end go.
    virtual void endCall(int fd, bool connected, bool lost) = 0;
    // Closes the descriptor, putting back what the line changed on it.
    virtual void closeDescriptor(int fd) = 0;
    // Hangs up and waits for the call thread; the derived destructor calls it first, while
    // its own members still exist.
    void finish();

    // Runs `action` on the line's descriptor while it is open, under the line's lock; false
    // when no descriptor is open.
    bool withDescriptor(const std::function<void(int fd)>& action);

    LogFile& m_log;
    std::string m_tag;
    WakeEvent m_wake;
    std::atomic<int> m_lastError {0};

private:
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
