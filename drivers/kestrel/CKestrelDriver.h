#pragma once

#include "frame/ControlledDriver.h"
#include "frame/SendDriver.h"
#include "frame/SendFrame.h"
#include "kestrel/LineSource.h"
#include "kestrel/TapEngine.h"
#include "telephony/CallEvent.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class ByteLink;
class MessageList;
class SendReporter;
class StepEngine;

// The IXO/TAP driver object behind the kestrel control: one send dials the paging terminal
// through the modem device list, runs the IXO/TAP engine over the connected line and hangs
// up, on the send frame's protocol thread. It also receives the call's events and turns them
// into status texts and overall codes.
class CKestrelDriver final : public SendDriver,
                             public CallObserver,
                             public ControlledDriver,
                             public std::enable_shared_from_this<CKestrelDriver>
{
public:
    // Makes the engine that runs over a connected line.
    using EngineFactory = std::function<std::unique_ptr<StepEngine>(
        ByteLink& link, MessageList& messages, SendReporter& reporter,
        const TapSettings& settings)>;

    // What one send is given besides the messages.
    struct SendArgs
    {
        std::string clientName;
        std::string providerName;
        std::string number; // the paging terminal's modem number
        ProgressViewFactory viewFactory;
        void* parentWindow = nullptr; // the host's owner for the progress window
        FrameTimings timings;
        TapSettings tap;
        // The modem device list from the settings; empty: keep the driver's list.
        std::vector<std::uint32_t> devices;
    };

    // A driver dialling through `lines` and running engines from `engines`. When it is owned by
    // a shared_ptr, a protocol thread that has to be let go keeps it alive.
    CKestrelDriver(std::unique_ptr<LineSource> lines, EngineFactory engines);
    ~CKestrelDriver() override;

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

    // The send frame's settings for the IXO/TAP driver.
    static FrameConfig frameConfig();

private:
    // SendDriver, on the protocol thread and for Cancel.
    void runProtocol(SendFrame& frame) override;
    void cancelProtocol() override;
    void interruptProtocol() override;
    // CallObserver, on whichever thread the line reports on.
    void callEvent(CallEvent event, int detail) override;

    bool dial(std::size_t index);
    void runExchange(LineDevice& line);
    void hangUp();

    std::unique_ptr<LineSource> m_lines;
    EngineFactory m_engines;
    // The modem device list tried in order (at creation only the line mapper) and the engine's
    // settings: written by send() only while no protocol thread runs.
    std::vector<std::uint32_t> m_devices;
    TapSettings m_tapSettings;
    SendFrame m_frame;

    std::mutex m_lineMutex; // guards the two members below against Cancel's hang-up
    std::unique_ptr<LineDevice> m_line; // replaced only by the protocol thread
    bool m_dialling = false; // the protocol thread is inside LineDevice::dial()
    std::atomic<bool> m_connected {false};
};
