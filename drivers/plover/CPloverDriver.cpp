#include "plover/CPloverDriver.h"

#include "log/LogLevel.h"
#include "plover/FrameSessionView.h"
#include "plover/SnppSession.h"

CPloverDriver::CPloverDriver()
    : m_frame(frameConfig(), *this)
{ }

CPloverDriver::~CPloverDriver() = default;

FrameConfig CPloverDriver::frameConfig()
{
    FrameConfig config;
    config.tag = "plover";
    config.sendStart = {LogLevel::Debug1, "Send Start (instance=%d)"};
    config.startThread = {LogLevel::Debug3, "Starting protocol thread..."};
    config.showView = {LogLevel::Debug3, "Showing Modal Dialog"};
    config.viewReturns = {LogLevel::Debug3, "Modal dialog returns (%d)"};
    config.waitThread = {LogLevel::Debug3, "Waiting for thread termination"};
    config.threadStarts = {LogLevel::Debug2, "LocalThread starts"};
    config.threadEnds = {LogLevel::Debug2, "LocalThread ends"};
    config.viewInit = {LogLevel::Debug4, "Dialog init"};
    config.viewCaption = {LogLevel::Debug4, "Dialog providername=%s"};
    config.cancelled = {LogLevel::Debug3, "Dialog IDCANCEL received"};
    config.caption = "SNPP Paging";
    config.versionLabel = "";
    config.leftClip = 202;
    config.leftClipFrames = 5;
    config.rightClip = 203;
    config.rightClipFrames = 33;
    config.connectingLastFrame = 12;
    // Cancel only raises the user-abort flag and stops a host lookup; the send's code is
    // then what the engine or the transport recorded.
    config.cancelAborts = false;
    // The protocol thread ends the view itself; once it has, the engine is over anyway.
    config.stopEngineWhenViewEnds = false;
    config.timings = defaultTimings();
    return config;
}

FrameTimings CPloverDriver::defaultTimings()
{
    FrameTimings timings;
    timings.threadWait = std::chrono::milliseconds(PloverKeys::threadWait.fallback);
    timings.statusPause = std::chrono::milliseconds(PloverKeys::statusPause.fallback);
    return timings;
}

int CPloverDriver::send(const SendArgs& args, MessageList& messages)
{
    if (!m_frame.isBusy()) {
        // A busy frame refuses the send; a let-go protocol thread may still read these.
        m_host = args.host;
        m_port = args.port;
        m_settings = args.settings;
        const std::lock_guard<std::mutex> guard(m_sessionMutex);
        m_interrupted = false;
    }
    SendRequest request;
    // A shared object has no instance handle of its own to report.
    request.instance = 0;
    request.clientName = args.clientName;
    request.providerName = args.providerName;
    request.address = args.serverAddress;
    request.timings = args.timings;
    request.viewFactory = args.viewFactory;
    request.parentWindow = args.parentWindow;
    request.keepAlive = weak_from_this().lock();
    return m_frame.send(request, messages);
}

void CPloverDriver::runProtocol(SendFrame& frame)
{
    FrameSessionView view(frame);
    SnppSession session(m_transport, frame.messages(), frame, m_settings, &view);
    {
        const std::lock_guard<std::mutex> guard(m_sessionMutex);
        m_session = &session;
        if (m_interrupted) {
            session.requestDisconnect();
        }
    }
    struct Unpublish
    {
        CPloverDriver& driver;
        ~Unpublish()
        {
            const std::lock_guard<std::mutex> guard(driver.m_sessionMutex);
            driver.m_session = nullptr;
        }
    } unpublish {*this};
    session.run(m_host, m_port);
}

void CPloverDriver::cancelProtocol()
{
    // The frame has raised the user-abort flag, which the engine looks at after each step and
    // while it waits for a reply; only a pending host lookup needs stopping from here.
    m_transport.cancelLookup();
}

void CPloverDriver::viewEnded()
{
    m_transport.cancelLookup();
}

void CPloverDriver::interruptProtocol()
{
    // The protocol thread outlived the frame's wait: no lookup goes on, and the engine says
    // goodbye at its next step (a wait for a reply ends within its poll interval).
    m_transport.cancelLookup();
    const std::lock_guard<std::mutex> guard(m_sessionMutex);
    m_interrupted = true;
    if (m_session != nullptr) {
        m_session->requestDisconnect();
    }
}
