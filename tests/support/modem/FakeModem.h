#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <termios.h>
#include <thread>
#include <vector>

// A Hayes modem simulated on a pseudo-terminal pair, for tests of the modem line. The slave's
// path stands in for the modem's serial device; the modem's own thread answers AT commands on
// the master side: OK to commands (or a reply the test sets), echo until ATE0 (ATZ turns it
// back on), ATD followed after a delay by the dial result the test chose. After CONNECT the
// bytes pass between the host and a remote end: a descriptor the test attaches (one end of a
// socket pair, say, with a TAP terminal simulator at the other), a handler, or a buffer the
// test reads. In data mode "+++" framed by the guard time returns to command mode with OK;
// ATH drops the call. The modem notices when the host closes the device.
class FakeModem
{
public:
    // What the modem answers to a dial command.
    enum class DialResult { Connect, Busy, NoCarrier, NoAnswer, NoDialtone, Error, Silence };

    FakeModem();
    // Stops the modem's thread and closes the pseudo-terminal.
    ~FakeModem();
    FakeModem(const FakeModem&) = delete;
    FakeModem& operator=(const FakeModem&) = delete;

    // Opens the pseudo-terminal pair and starts answering; false (see errorText()) on failure.
    [[nodiscard]] bool start();
    // The serial device to give the modem line: the pseudo-terminal's slave.
    const std::string& devicePath() const { return m_devicePath; }
    // What went wrong in start().
    const std::string& errorText() const { return m_errorText; }

    // The answer to later dial commands, given after `delay`. Any byte from the host while
    // the modem waits stops the dial with NO CARRIER, as on a real modem.
    void setDialResult(DialResult result,
                       std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // The connect line (default "CONNECT 9600").
    void setConnectText(std::string text);
    // The reply to one command line (compared without case, e.g. "ATZ"); "" makes the modem
    // stay silent to it.
    void setCommandReply(std::string command, std::string reply);
    // The silence that must frame "+++" (default 1000 ms, as a modem's S12 register).
    void setGuardTime(std::chrono::milliseconds guard);

    // Passes data-mode bytes to and from the descriptor (not owned; -1 detaches). When the
    // descriptor reaches its end, the modem loses the carrier (NO CARRIER).
    void setRemoteDescriptor(int fd);
    // Makes each call reach its own remote end: when a dial connects, the dialer gets the
    // number (as dialled() has it) and returns a descriptor for that call, which the modem
    // owns and closes when the call ends; -1 makes the call fail with NO CARRIER. Runs on
    // the modem's thread. Takes the place of setRemoteDescriptor's descriptor.
    void setRemoteDialer(std::function<int(const std::string& number)> dialer);
    // Hands data-mode bytes from the host to the handler, on the modem's thread.
    void setRemoteHandler(std::function<void(std::string_view bytes)> handler);
    // Sends bytes to the host as if they came from the remote end (in data mode).
    void sendToHost(std::string_view bytes);
    // The remote end hangs up: NO CARRIER, back to command mode.
    void dropCarrier();

    // Every command line received, as sent (without its CR).
    std::vector<std::string> commands() const;
    // Every non-empty line typed in command mode, commands or not (page text that reached
    // the modem after the carrier was lost shows here).
    std::vector<std::string> linesTyped() const;
    // What followed ATD in each dial command, without a leading T or P.
    std::vector<std::string> dialled() const;
    // How many times "+++" returned the modem to command mode.
    int escapes() const;
    // Whether the host closed the device after it had used it.
    bool hostClosed() const;
    // Whether a call is up (from CONNECT to ATH, a lost carrier or the host's close).
    bool inCall() const;
    // The host side's terminal settings as the host last set them (read on the master);
    // false when they cannot be read.
    bool hostSettings(termios& settings) const;
    // Sets the host side's terminal settings, as a program that used the device before.
    bool setHostSettings(const termios& settings);
    // The data-mode bytes from the host that no descriptor or handler took.
    std::string dataFromHost() const;
    // Waits up to `timeout` until the condition (checked under no lock) holds; its last value.
    bool waitUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    using Clock = std::chrono::steady_clock;
    enum class Mode { Command, Dialing, Data, OnlineCommand };

    void run();
    void handleFromHost(const char* bytes, std::size_t count);
    void handleCommandByte(char byte);
    void handleDataByte(char byte);
    void handleLine(const std::string& line);
    void forwardToRemote(std::string_view bytes);
    void deliverToRemote();
    void finishDial();
    void loseCarrier();
    // Closes the current call's own remote end, if any.
    void endCallRemote();
    // The descriptor data-mode bytes go to and come from (-1: none).
    int remoteDescriptor() const;
    void reply(std::string_view text);
    void flushToHost();
    int nextTimeoutMs() const;
    void wake();

    std::string m_devicePath;
    std::string m_errorText;
    int m_master = -1;
    int m_wakeFd = -1;
    std::thread m_thread;
    bool m_stop = false; // guarded by m_mutex

    mutable std::mutex m_mutex;
    // Settings.
    DialResult m_dialResult = DialResult::Connect;
    std::chrono::milliseconds m_dialDelay {0};
    std::string m_connectText = "CONNECT 9600";
    std::map<std::string, std::string> m_replies;
    std::chrono::milliseconds m_guard {1000};
    int m_remoteFd = -1;
    std::function<int(const std::string&)> m_remoteDialer;
    int m_callFd = -1; // the current call's own remote end (from the dialer), owned
    std::function<void(std::string_view)> m_remoteHandler;
    std::string m_pendingToHost; // from sendToHost()
    bool m_carrierDropRequested = false;
    // Observations.
    std::vector<std::string> m_commands;
    std::vector<std::string> m_linesTyped;
    std::vector<std::string> m_dialled;
    int m_escapes = 0;
    bool m_hostSeen = false;
    bool m_hostClosed = false;
    std::string m_dataFromHost;
    Mode m_mode = Mode::Command;

    // State of the modem's thread only.
    bool m_echo = true;
    std::string m_line;
    std::string m_toHost;
    std::string m_toRemote; // data-mode bytes from the host, delivered outside the lock
    Clock::time_point m_dialDue {};
    DialResult m_pendingResult = DialResult::Connect;
    int m_pluses = 0;
    Clock::time_point m_lastDataByte {};
    Clock::time_point m_lastPlus {};
};
