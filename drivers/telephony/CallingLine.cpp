#include "telephony/CallingLine.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "telephony/PortLink.h"

CallingLine::CallingLine(LogFile& log, std::string_view tag, CallHooks& hooks)
    : m_log(log)
    , m_tag(tag)
    , m_hooks(hooks)
{ }

CallingLine::~CallingLine()
{
    // The line's other members, which the call thread and the hooks use, still exist: this is
    // its last member.
    hangUp();
    if (!m_thread.joinable()) {
        return;
    }
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // Destroyed from the call thread itself, which cannot wait for itself.
        m_thread.detach();
    } else {
        m_thread.join();
    }
}

ByteLink* CallingLine::link()
{
    std::lock_guard lock(m_mutex);
    return m_link.get();
}

bool CallingLine::beginDial()
{
    std::lock_guard lock(m_mutex);
    if (m_dialled || m_hungUp) {
        m_lastError = 4;
        m_log.write(LogLevel::Errors, m_tag,
                    "Line refuses a second call: it has dialled or was hung up");
        return false;
    }
    m_dialled = true;
    m_lastError = 0;
    return true;
}

bool CallingLine::refuse(int code)
{
    m_lastError = code;
    return false;
}

bool CallingLine::startCall(CallObserver& observer, int fd, std::function<Outcome()> attempt)
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp) {
        // Hung up from another thread while dial() was opening the device.
        if (fd >= 0) {
            m_hooks.closeDescriptor(fd);
        }
        m_closed = true;
        m_lastError = 4;
        return false;
    }
    m_fd = fd;
    m_attemptRunning = true;
    m_thread = std::thread([this, &observer, attempt = std::move(attempt)] {
        const Outcome outcome = attempt();
        bool report;
        {
            std::lock_guard guard(m_mutex);
            m_attemptRunning = false;
            m_attemptDone.notify_all();
            // After a hang-up nothing about the call is news any more.
            report = outcome.event.has_value() && !m_hungUp;
        }
        if (report) {
            observer.callEvent(*outcome.event, outcome.detail);
        }
    });
    return true;
}

bool CallingLine::connect(bool modemResults)
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp || m_fd < 0) {
        return false;
    }
    m_link = std::make_unique<PortLink>(m_fd, m_log, m_tag, modemResults);
    m_connected = true;
    return true;
}

bool CallingLine::adoptDescriptor(int fd)
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp) {
        return false;
    }
    m_fd = fd;
    return true;
}

bool CallingLine::withDescriptor(const std::function<void(int fd)>& action)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0 || m_closed) {
        return false;
    }
    action(m_fd);
    return true;
}

void CallingLine::hangUp()
{
    std::unique_lock lock(m_mutex);
    if (m_closed) {
        return;
    }
    m_hungUp = true;
    m_wake.signal();
    PortLink* const link = m_link.get();
    lock.unlock();

    m_hooks.interruptAttempt();
    // The link returns only when no read or write is left on the descriptor.
    if (link) {
        link->interrupt();
    }

    lock.lock();
    // Every wait of the call thread also watches the wake event, so this is short.
    m_attemptDone.wait(lock, [this] { return !m_attemptRunning; });
    // A concurrent hang-up may have finished the work while this one waited.
    if (m_closed) {
        return;
    }
    if (m_fd >= 0) {
        m_hooks.endCall(m_fd, m_connected, m_link && m_link->connectionLost());
        m_hooks.closeDescriptor(m_fd);
        m_fd = -1;
    }
    m_closed = true;
}
