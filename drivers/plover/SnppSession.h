#pragma once

#include "plover/PloverSettings.h"
#include "plover/SessionView.h"
#include "plover/SnppEngine.h"

#include <string>

class MessageList;
class SendReporter;
class SnppTransport;

// The work of the SNPP driver's protocol thread for one send: connects the transport to the
// server, runs the engine over the connection and closes it; a failed connect records 222 and
// shows why for a while. The frame starts it on its protocol thread and, from its own thread,
// may ask the engine to disconnect and the transport to stop its lookup.
class SnppSession
{
public:
    // A session over the transport for the list's messages, reporting to `reporter` and showing
    // its animation and Cancel button through `view` (none: headless).
    SnppSession(SnppTransport& transport, MessageList& messages, SendReporter& reporter,
                const PloverSettings& settings, SessionView* view = nullptr);

    // Connects to host and port (port text as the address or the settings give it) and pages.
    // The send's overall code is left in the reporter: 0, the engine's or 222 for no connection;
    // 213 when the user cancelled once connected and nothing else was recorded.
    void run(const std::string& host, const std::string& port);
    // Makes the engine's next step Disconnect. Thread-safe.
    void requestDisconnect() { m_engine.requestDisconnect(); }
    // The engine, for its state.
    const SnppEngine& engine() const { return m_engine; }

private:
    SnppTransport& m_transport;
    SendReporter& m_reporter;
    PloverSettings m_settings;
    SessionView m_headless;
    SessionView& m_view;
    SnppEngine m_engine;
};
