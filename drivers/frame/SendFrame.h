#pragma once

#include "frame/FrameConfig.h"
#include "frame/FrameEvent.h"
#include "frame/MessageList.h"
#include "frame/ProgressView.h"
#include "frame/ProgressViewFactory.h"
#include "frame/SendReporter.h"
#include "log/LogFile.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class SendDriver;
class StepEngine;

// What one send is given.
struct SendRequest
{
    int instance = 0; // the number the send's first log line shows
    std::string clientName; // empty: "unknownClient"
    std::string providerName; // shown in the view's caption; may be empty
    std::string address; // the number to dial or the server to reach
    FrameTimings timings; // the send's bounded waits
    ProgressViewFactory viewFactory; // null: a headless view that nothing cancels
    void* parentWindow = nullptr; // the host's opaque owner for the progress window
    // Held by the protocol thread. When the thread has to be let go because it does not end,
    // this keeps the driver (and the frame inside it) alive until it does; without it the
    // send waits for the thread however long it takes.
    std::shared_ptr<void> keepAlive;
};

// The send frame both driver plug-ins are built on. send() runs the driver's protocol on a
// protocol thread while the calling thread runs a progress view (a window, or a headless
// stand-in); the protocol thread reports phase, status and progress through the view, the
// user (or the host) may cancel, and send() returns the overall code once the exchange is
// over. Every wait is bounded (FrameTimings). The driver supplies the protocol through
// SendDriver; the differences between the drivers are a FrameConfig.
//
// Threads: send() and the control's other calls on the caller's thread; the SendReporter
// calls and the services below from the protocol thread or any other thread, except where a
// comment says otherwise.
class SendFrame final : public SendReporter, private ProgressViewEvents
{
public:
    // A frame for the driver, writing to its own log in plug-in mode.
    SendFrame(FrameConfig config, SendDriver& driver, Clock& clock = Clock::system());
    ~SendFrame() override;
    SendFrame(const SendFrame&) = delete;
    SendFrame& operator=(const SendFrame&) = delete;

    // Runs one send of the messages and returns 0 or the overall code. The messages' result
    // codes are those the protocol recorded once the protocol thread has ended.
    [[nodiscard]] int send(const SendRequest& request, MessageList& messages);

    // SendReporter: what the protocol reports while it runs.
    void setPhase(int phase) override;
    void setStatus(std::string text) override;
    void setProgress(int value) override;
    int lastError() const override;
    void setLastError(int code) override;
    bool cancelRequested() const override;
    LogFile& log() override { return m_log; }
    std::string_view tag() const override { return m_config.tag; }

    // The send's copy of the messages, which the protocol settles (protocol thread).
    MessageList& messages() { return m_session; }
    // The send's client name ("unknownClient" when none was given), provider and address.
    const std::string& clientName() const { return m_clientName; }
    const std::string& providerName() const { return m_providerName; }
    const std::string& address() const { return m_address; }
    // The send's waits.
    const FrameTimings& timings() const { return m_timings; }
    // The frame's configuration.
    const FrameConfig& config() const { return m_config; }

    // Switches the view's right animation.
    void setRightAnimation(RightAnimation animation);
    // Enables or disables the view's Cancel button.
    void setCancelEnabled(bool enabled);
    // Waits up to FrameTimings::callWait for the call event; true when it came. One
    // signalCallEvent() releases one wait; Cancel and the view's end signal it too.
    [[nodiscard]] bool waitForCallEvent();
    // Something happened on the call (a line device's event handler).
    void signalCallEvent();
    // Whether the view is up (shown and not yet ended).
    bool isViewUp() const;
    // Leaves a failure's status readable: waits FrameTimings::statusPause when the view is up
    // and a person can see it (Cancel cuts the wait short), else returns at once.
    void pauseForReading();
    // Starts the engine and steps it until a step returns false (protocol thread). Cancel
    // and, by the configuration, the view's end ask it to stop, even before it started.
    void runEngine(StepEngine& engine);
    // Writes one line with the frame's origin tag.
    void logLine(int level, std::string_view text);
    // Writes one line with the frame's origin tag to the shared log outside a send (the log
    // is opened for the line with the log settings of the moment).
    void logOutsideSend(int level, std::string_view text) const;
    // Whether a protocol thread still runs (during a send, or one that a send had to let go):
    // the driver must not change what that thread reads, and send() refuses.
    bool isBusy() const { return m_threadActive.load(); }

private:
    // ProgressViewEvents, called by the view while it runs.
    void viewShown() override;
    void cancelPressed() override;

    void logLine(const FrameLogLine& line);
    void resetForSend(const SendRequest& request, const MessageList& messages);
    std::unique_ptr<ProgressView> makeView(const SendRequest& request);
    bool startThread(const SendRequest& request);
    void threadMain();
    bool waitForThread(bool canLetGo);
    int resultStep(int viewResult);
    void stopEngine();
    void waitForGate();
    void applyStatus(std::string text);
    void applyCancelEnabled(bool enabled);

    const FrameConfig m_config;
    SendDriver& m_driver;
    LogFile m_log {LogFile::Mode::PlugIn};

    // Set by send() before the protocol thread starts; read-only while it runs.
    std::string m_clientName;
    std::string m_providerName;
    std::string m_address;
    FrameTimings m_timings;
    ProgressViewSetup m_setup;
    MessageList m_session;

    FrameEvent m_gate {FrameEvent::Reset::Manual}; // open while the view takes updates or is gone
    FrameEvent m_callEvent {FrameEvent::Reset::Automatic};
    FrameEvent m_finished {FrameEvent::Reset::Manual}; // the protocol thread's work is done
    FrameEvent m_cancelled {FrameEvent::Reset::Manual}; // Cancel was pressed

    mutable std::mutex m_mutex; // guards the members below; never held while calling the driver
    ProgressView* m_view = nullptr; // the send's view until it has ended
    bool m_viewUp = false;
    int m_phase = 0;
    std::string m_status;
    int m_progress = 0;
    bool m_cancelEnabled = true;
    RightAnimation m_animation = RightAnimation::Stopped;
    int m_lastError = 0;
    bool m_errorFinal = false; // Cancel has made 213 the send's code
    StepEngine* m_engine = nullptr;
    bool m_engineStopRequested = false;

    std::atomic<bool> m_cancelRequested {false};
    std::atomic<bool> m_threadStarted {false};
    std::atomic<bool> m_threadActive {false}; // a protocol thread (maybe a let-go one) runs
    std::thread m_thread;
};
