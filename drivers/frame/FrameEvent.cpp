#include "frame/FrameEvent.h"

FrameEvent::FrameEvent(Reset reset, Clock& clock)
    : m_reset(reset)
    , m_clock(clock)
{ }

void FrameEvent::set()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_set = true;
    // A manual event releases every waiter; an automatic one is consumed by the first.
    if (m_reset == Reset::Manual) {
        m_changed.notify_all();
    } else {
        m_changed.notify_one();
    }
}

void FrameEvent::reset()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_set = false;
}

bool FrameEvent::isSet() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_set;
}

bool FrameEvent::wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool set = m_clock.waitFor(lock, m_changed, timeout, {}, [this] { return m_set; });
    if (set && m_reset == Reset::Automatic) {
        m_set = false;
    }
    return set;
}
