#include "plover/SnppSession.h"

#include "frame/SendReporter.h"
#include "log/LogLevel.h"
#include "plover/PloverText.h"
#include "plover/SessionView.h"
#include "plover/SnppTransport.h"

using PloverText::format;
using PloverText::log;

namespace {

constexpr int kUserCancelled = 213;
constexpr int kNoConnection = 222;

} // namespace

SnppSession::SnppSession(SnppTransport& transport, MessageList& messages, SendReporter& reporter,
                         const PloverSettings& settings, SessionView* view)
    : m_transport(transport)
    , m_reporter(reporter)
    , m_settings(settings)
    , m_view(view != nullptr ? *view : m_headless)
    , m_engine(transport.connection(), messages, reporter,
               SnppEngineSettings {settings.replyTimeoutMs, SnppEngineSettings {}.maxRestarts})
{ }

void SnppSession::run(const std::string& host, const std::string& port)
{
    // The thread's first and last lines ("LocalThread starts", "LocalThread ends") are the
    // frame's, which runs this on its protocol thread.
    m_view.showConnecting();
    m_reporter.setPhase(1);
    m_reporter.setStatus(format("Connecting %s:%s", host.c_str(), port.c_str()));
    log(m_reporter, LogLevel::Debug2, "LocalThread start tcp connect");
    if (m_transport.connect(host, port, m_settings.lookupTimeoutMs)) {
        m_view.showConnected();
        log(m_reporter, LogLevel::Debug2, "LocalThread starts fsm");
        const bool ranToEnd = m_engine.run();
        m_view.stopAnimation();
        m_transport.close();
        // A send the user stopped did not run to its end; it must not read as a success.
        if (!ranToEnd && m_reporter.lastError() == 0) {
            m_reporter.setLastError(kUserCancelled);
        }
        return;
    }
    m_view.disableCancel();
    const int error = m_transport.lastError();
    log(m_reporter, LogLevel::Debug2, "LocalThread connect failed errCode=%d", error);
    if (m_reporter.cancelRequested()) {
        // The user's Cancel stopped the lookup or the connect: the send was aborted, as it is
        // once connected; the server was never found wanting, so there is nothing to read.
        log(m_reporter, LogLevel::Debug2, "LocalThread connect cancelled by the user");
        m_reporter.setLastError(kUserCancelled);
        m_reporter.setStatus("User aborted");
        return;
    }
    log(m_reporter, LogLevel::Errors, "%s", m_transport.lastErrorText().c_str());
    m_reporter.setLastError(kNoConnection);
    m_reporter.setStatus(SnppTransport::failureStatus(error, host));
    m_view.pauseForReading(m_settings.statusPauseMs, m_reporter);
}
