#include "frame/HeadlessProgressView.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"

HeadlessProgressView::HeadlessProgressView(LogFile& log, std::string tag,
                                           std::function<bool()> isCancelled, int progressMaximum,
                                           std::chrono::milliseconds pollInterval)
    : m_log(log)
    , m_tag(std::move(tag))
    , m_isCancelled(std::move(isCancelled))
    , m_progressMaximum(progressMaximum)
    , m_pollInterval(pollInterval)
{ }

int HeadlessProgressView::run(ProgressViewEvents& events)
{
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (m_ended) {
            return m_result;
        }
    }
    events.viewShown();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_ended) {
        if (m_endChanged.wait_for(lock, m_pollInterval, [this] { return m_ended; })) {
            break;
        }
        // A disabled Cancel button cannot be pressed; the host's request waits until it is
        // enabled again, as a user's press would.
        if (!m_isCancelled || !m_cancelEnabled) {
            continue;
        }
        // The host's check and the frame's reaction may take time and call back into this
        // view, so neither runs under the lock.
        lock.unlock();
        const bool cancelled = m_isCancelled();
        if (cancelled) {
            events.cancelPressed();
        }
        lock.lock();
    }
    return m_result;
}

void HeadlessProgressView::end(int result)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_ended) {
        m_ended = true;
        m_result = result;
        m_endChanged.notify_all();
    }
}

void HeadlessProgressView::setPhase(int phase)
{
    m_log.write(LogLevel::Debug4, m_tag, "Phase: %d", phase);
}

void HeadlessProgressView::setStatus(const std::string& text)
{
    m_log.write(LogLevel::Debug3, m_tag, "Status: %s", text.c_str());
}

void HeadlessProgressView::setProgress(int value)
{
    m_log.write(LogLevel::Debug4, m_tag, "Progress: %d of %d", value, m_progressMaximum);
}

void HeadlessProgressView::setCancelEnabled(bool enabled)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_cancelEnabled = enabled;
}

void HeadlessProgressView::setRightAnimation(RightAnimation)
{
    // Nothing to animate without a window, and the log has the phases already.
}
