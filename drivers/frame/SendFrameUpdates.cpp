// The send frame's shared state: what the protocol reports, what the view shows, Cancel.
#include "frame/FrameText.h"
#include "frame/SendDriver.h"
#include "frame/SendFrame.h"
#include "frame/StepEngine.h"

namespace {

constexpr int highestPhase = 4;
constexpr int codeCancelled = 213;

} // namespace

void SendFrame::waitForGate()
{
    // Bounded: a view that never comes up must not hold the protocol up for good. After the
    // wait the update is stored either way and reaches the view only if it is up.
    (void)m_gate.wait(m_timings.updateWait);
}

void SendFrame::setPhase(int phase)
{
    waitForGate();
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (phase == m_phase || phase < 0 || phase > highestPhase) {
        return;
    }
    m_phase = phase;
    if (m_viewUp) {
        m_view->setPhase(phase);
    }
}

void SendFrame::setStatus(std::string text)
{
    waitForGate();
    applyStatus(std::move(text));
}

void SendFrame::applyStatus(std::string text)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_status = std::move(text);
    if (m_viewUp) {
        m_view->setStatus(m_status);
    }
}

void SendFrame::setProgress(int value)
{
    waitForGate();
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_progress = value;
    if (m_viewUp) {
        m_view->setProgress(value);
    }
}

void SendFrame::setRightAnimation(RightAnimation animation)
{
    waitForGate();
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_animation = animation;
    if (m_viewUp) {
        m_view->setRightAnimation(animation);
    }
}

void SendFrame::setCancelEnabled(bool enabled)
{
    waitForGate();
    applyCancelEnabled(enabled);
}

void SendFrame::applyCancelEnabled(bool enabled)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_cancelEnabled = enabled;
    if (m_viewUp) {
        m_view->setCancelEnabled(enabled);
    }
}

int SendFrame::lastError() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_lastError;
}

void SendFrame::setLastError(int code)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_errorFinal) {
        m_lastError = code;
    }
}

bool SendFrame::cancelRequested() const
{
    return m_cancelRequested.load();
}

bool SendFrame::waitForCallEvent()
{
    return m_callEvent.wait(m_timings.callWait);
}

void SendFrame::signalCallEvent()
{
    m_callEvent.set();
}

bool SendFrame::isViewUp() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_viewUp;
}

void SendFrame::pauseForReading()
{
    bool readable = false;
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        readable = m_viewUp && m_view->isVisible();
    }
    if (readable) {
        (void)m_cancelled.wait(m_timings.statusPause);
    }
}

void SendFrame::runEngine(StepEngine& engine)
{
    {
        // Started under the lock so that a stop request cannot slip in between the start and
        // the check of an earlier one.
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_engine = &engine;
        engine.start();
        if (m_engineStopRequested) {
            engine.requestStop();
        }
    }
    struct Forget
    {
        SendFrame& frame;
        ~Forget()
        {
            const std::lock_guard<std::mutex> guard(frame.m_mutex);
            frame.m_engine = nullptr;
        }
    } forget {*this};
    while (engine.step()) { }
}

void SendFrame::stopEngine()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_engineStopRequested = true;
    if (m_engine != nullptr) {
        m_engine->requestStop();
    }
}

void SendFrame::viewShown()
{
    logLine(m_config.viewInit);
    logLine(m_config.viewCaption.level,
            FrameText::fill(m_config.viewCaption.text, {m_setup.caption}));
    {
        // What the protocol reported before the view came up is shown at once.
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (m_view == nullptr) {
            return;
        }
        m_viewUp = true;
        m_view->setPhase(m_phase);
        m_view->setStatus(m_status);
        m_view->setProgress(m_progress);
        m_view->setCancelEnabled(m_cancelEnabled);
        m_view->setRightAnimation(m_animation);
    }
    m_gate.set();
}

void SendFrame::cancelPressed()
{
    if (m_cancelRequested.exchange(true)) {
        return;
    }
    m_cancelled.set();
    if (m_config.cancelAborts) {
        applyStatus("Aborting...");
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_lastError = codeCancelled;
        m_errorFinal = true;
    }
    applyCancelEnabled(false);
    logLine(m_config.cancelled);
    if (m_threadStarted.load()) {
        // The engine is told first: the call event wakes a protocol thread that may be just
        // about to start it.
        stopEngine();
        m_driver.cancelProtocol();
        m_callEvent.set();
    } else {
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (m_view != nullptr) {
            m_view->end(2);
        }
    }
}
