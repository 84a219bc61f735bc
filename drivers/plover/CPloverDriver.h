#pragma once

#include "frame/ControlledDriver.h"
#include "frame/SendDriver.h"
#include "frame/SendFrame.h"
#include "plover/PloverSettings.h"
#include "plover/SnppTransport.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class MessageList;
class SnppSession;

// The SNPP driver object behind the plover control: one send connects to the SNPP server,
// runs the SNPP engine over the connection and closes it, on the send frame's protocol
// thread. It owns the transport for its whole life; each send connects anew.
class CPloverDriver final : public SendDriver,
                            public ControlledDriver,
                            public std::enable_shared_from_this<CPloverDriver>
{
public:
    // What one send is given besides the messages.
    struct SendArgs
    {
        std::string clientName;
        std::string providerName;
        std::string serverAddress; // as the host gave it
        std::string host; // the server's host, never empty
        std::string port; // the port text: a decimal number or a service name
        ProgressViewFactory viewFactory;
        void* parentWindow = nullptr; // the host's owner for the progress window
        FrameTimings timings;
        PloverSettings settings;
    };

    // A driver with its transport and no connection. When it is owned by a shared_ptr, a
    // protocol thread that has to be let go keeps it alive.
    CPloverDriver();
    ~CPloverDriver() override;

    // Runs one send (see SendFrame::send); 0 or the overall code.
    [[nodiscard]] int send(const SendArgs& args, MessageList& messages);

    // The overall code of the latest operation.
    int lastError() const { return m_frame.lastError(); }
    // ControlledDriver: the control's codes and log lines outside a send.
    void setLastError(int code) override { m_frame.setLastError(code); }
    void logOutsideSend(int level, std::string_view text) override
    {
        m_frame.logOutsideSend(level, text);
    }

    // The send frame's settings for the SNPP driver.
    static FrameConfig frameConfig();
    // The SNPP driver's frame waits when nothing is stored (the thread wait is ten seconds).
    static FrameTimings defaultTimings();

private:
    // SendDriver, on the protocol thread, for Cancel and after the view.
    void runProtocol(SendFrame& frame) override;
    void cancelProtocol() override;
    void viewEnded() override;
    void interruptProtocol() override;

    // Declared before the frame, whose end joins a protocol thread that still uses it.
    SnppTransport m_transport;
    // What the protocol thread reads: written by send() only while no protocol thread runs.
    std::string m_host;
    std::string m_port;
    PloverSettings m_settings;
    SendFrame m_frame;

    std::mutex m_sessionMutex; // guards the two members below against interruptProtocol()
    SnppSession* m_session = nullptr; // the protocol thread's session while it runs
    bool m_interrupted = false; // interruptProtocol() came; a session made now stops at once
};
