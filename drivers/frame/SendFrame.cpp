#include "frame/SendFrame.h"

#include "frame/FrameText.h"
#include "frame/HeadlessProgressView.h"
#include "frame/SendDriver.h"
#include "log/LogLevel.h"

#include <system_error>

namespace {

constexpr int resultEndedByThread = 1;
constexpr int resultCancelled = 2;
constexpr int codeCancelled = 213;
constexpr int codeOtherError = 216;

} // namespace

SendFrame::SendFrame(FrameConfig config, SendDriver& driver, Clock& clock)
    : m_config(std::move(config))
    , m_driver(driver)
    , m_timings(m_config.timings)
    , m_gate(FrameEvent::Reset::Manual, clock)
    , m_callEvent(FrameEvent::Reset::Automatic, clock)
    , m_finished(FrameEvent::Reset::Manual, clock)
    , m_cancelled(FrameEvent::Reset::Manual, clock)
{ }

SendFrame::~SendFrame()
{
    // A let-go thread holds the frame alive itself, so a joinable thread here is one that a
    // send did not get to join (it cannot happen through send(), which always joins or lets go).
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

int SendFrame::send(const SendRequest& request, MessageList& messages)
{
    if (m_threadActive.load()) {
        // The thread of an earlier send was let go and still uses this frame's state.
        m_log.loadSettings();
        m_log.openForAppend();
        logLine(LogLevel::Errors,
                "Send refused: the protocol thread of an earlier send still runs");
        m_log.close();
        return codeOtherError;
    }

    // Step 1: the log is opened afresh for each send, with the log settings of the moment.
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_lastError = 0;
        m_errorFinal = false;
    }
    m_log.loadSettings();
    m_log.openForAppend();
    logLine(m_config.sendStart.level, FrameText::fill(m_config.sendStart.text, request.instance));

    // Steps 2 and 3.
    resetForSend(request, messages);
    std::unique_ptr<ProgressView> view = makeView(request);
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_view = view.get();
    }

    // Step 4.
    logLine(m_config.startThread);
    const bool threadStarted = startThread(request);
    if (!threadStarted && !view->isVisible()) {
        // Nobody could press Cancel on a view no one sees, and without a protocol thread
        // nothing else ends it.
        view->end(resultCancelled);
    }

    // Step 5.
    logLine(m_config.showView);
    const int viewResult = view->run(*this);
    logLine(m_config.viewReturns.level, FrameText::fill(m_config.viewReturns.text, viewResult));

    // Step 6: from here on no update reaches the view.
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_view = nullptr;
        m_viewUp = false;
    }
    m_gate.set();
    if (m_config.stopEngineWhenViewEnds) {
        stopEngine();
    }
    m_callEvent.set();
    m_driver.viewEnded();
    view.reset();

    // Step 7.
    if (threadStarted) {
        logLine(m_config.waitThread);
        if (waitForThread(request.keepAlive != nullptr)) {
            for (int i = 0; i < messages.count(); ++i) {
                messages.setResult(i, m_session.result(i));
            }
        }
    }
    return resultStep(viewResult);
}

void SendFrame::resetForSend(const SendRequest& request, const MessageList& messages)
{
    m_clientName = request.clientName.empty() ? "unknownClient" : request.clientName;
    m_providerName = request.providerName;
    m_address = request.address;
    m_timings = request.timings;
    m_session = messages;

    m_setup = ProgressViewSetup {};
    m_setup.tag = m_config.tag;
    m_setup.caption = m_providerName.empty() ? m_config.caption
                                             : m_config.caption + " (" + m_providerName + ")";
    m_setup.versionLabel = m_config.versionLabel;
    m_setup.initialStatus = m_config.initialStatus;
    m_setup.progressMaximum = 2 * messages.count();
    m_setup.leftClip = m_config.leftClip;
    m_setup.leftClipFrames = m_config.leftClipFrames;
    m_setup.rightClip = m_config.rightClip;
    m_setup.rightClipFrames = m_config.rightClipFrames;
    m_setup.connectingLastFrame = m_config.connectingLastFrame;
    m_setup.parentWindow = request.parentWindow;

    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_view = nullptr;
        m_viewUp = false;
        m_phase = 0;
        m_status = m_config.initialStatus;
        m_progress = 0;
        m_cancelEnabled = true;
        m_animation = RightAnimation::Stopped;
        m_engine = nullptr;
        m_engineStopRequested = false;
    }
    m_cancelRequested = false;
    m_threadStarted = false;
    m_gate.reset();
    m_callEvent.reset();
    m_finished.reset();
    m_cancelled.reset();
}

std::unique_ptr<ProgressView> SendFrame::makeView(const SendRequest& request)
{
    std::unique_ptr<ProgressView> view;
    if (request.viewFactory) {
        view = request.viewFactory(m_setup, *this);
    }
    if (!view) {
        view = std::make_unique<HeadlessProgressView>(m_log, m_config.tag, nullptr,
                                                      m_setup.progressMaximum);
    }
    return view;
}

bool SendFrame::startThread(const SendRequest& request)
{
    m_threadActive = true;
    try {
        m_thread = std::thread([this, keepAlive = request.keepAlive] { threadMain(); });
    } catch (const std::system_error& error) {
        m_threadActive = false;
        logLine(LogLevel::Errors,
                FrameText::fill("Error on create thread (err=%d)", error.code().value()));
        return false;
    }
    m_threadStarted = true;
    return true;
}

void SendFrame::threadMain()
{
    logLine(m_config.threadStarts);
    try {
        m_driver.runProtocol(*this);
    } catch (const std::exception& error) {
        // An exception must not end the host's process; the send fails with a code instead.
        logLine(LogLevel::Fatal, FrameText::fill("Protocol thread failed: %s", {error.what()}));
        if (lastError() == 0) {
            setLastError(codeOtherError);
        }
    }
    {
        // The view is ended whether or not it is up yet: one that comes up after the protocol
        // is over would otherwise wait for an end that never comes.
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (m_view != nullptr) {
            m_view->end(resultEndedByThread);
        }
    }
    // Written before the send is released, which closes the log.
    logLine(m_config.threadEnds);
    m_finished.set();
    m_threadActive = false;
}

bool SendFrame::waitForThread(bool canLetGo)
{
    bool ended = m_finished.wait(m_timings.threadWait);
    if (!ended) {
        // A thread cannot be ended by force without leaving its locks and resources in an
        // undefined state; instead everything it may be blocked in is made to fail.
        logLine(LogLevel::Errors,
                FrameText::fill("Protocol thread still runs after %d ms; interrupting it",
                                m_timings.threadWait.count()));
        stopEngine();
        m_driver.interruptProtocol();
        m_callEvent.set();
        ended = m_finished.wait(m_timings.updateWait) || !canLetGo;
    }
    if (ended) {
        m_thread.join();
        return true;
    }
    logLine(LogLevel::Fatal, "Protocol thread does not end; it is left to end on its own");
    m_thread.detach();
    return false;
}

int SendFrame::resultStep(int viewResult)
{
    int code = lastError();
    if (code != 0) {
        logLine(LogLevel::Debug2, FrameText::fill("Send failed - Last Error bad (err=%d)", code));
    } else if (viewResult == resultCancelled || viewResult < 0) {
        logLine(LogLevel::Debug2, "Send failed - aborted");
        code = codeCancelled;
        setLastError(code);
    } else {
        logLine(LogLevel::Debug2, "Send okay");
    }
    m_log.close();
    {
        // Outside a send nothing is final: addMessage() records its own codes.
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_errorFinal = false;
    }
    return code;
}

void SendFrame::logLine(int level, std::string_view text)
{
    m_log.write(level, m_config.tag, "%.*s", static_cast<int>(text.size()), text.data());
}

void SendFrame::logOutsideSend(int level, std::string_view text) const
{
    // A log of its own, so that a line written between sends neither needs nor disturbs the
    // send's log, which is open only while a send runs.
    LogFile log(LogFile::Mode::PlugIn);
    log.loadSettings();
    log.openForAppend();
    log.write(level, m_config.tag, "%.*s", static_cast<int>(text.size()), text.data());
    log.close();
}

void SendFrame::logLine(const FrameLogLine& line)
{
    logLine(line.level, line.text);
}
