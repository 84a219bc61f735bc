#pragma once

#include "telephony/CallingLine.h"
#include "telephony/HayesDialogue.h"
#include "telephony/LineConfig.h"

#include <string>
#include <string_view>
#include <termios.h>

// The detail codes a modem line gives with CallEvent::OtherError.
enum class ModemFault : int {
    ErrorReply = 1, // the modem answered ERROR to a command
    NoReply = 2, // the modem did not answer a command within commandTimeout
    PortFailed = 3, // the serial device failed or went away during the dialogue
};

// A Hayes modem on a serial device. dial() opens the device for exclusive use and returns at
// once; the line's thread then sends the init strings (each must be answered OK), dials with
// the dial prefix and reports the modem's result as a call event: CONNECT Connected, BUSY
// Busy, NO CARRIER / NO ANSWER / no result within answerTimeout Disconnected, NO DIALTONE /
// DELAYED / BLACKLISTED CallUnavailable, ERROR OtherError. A device that another program
// holds gives LineInUse the same way. Hang-up drops DTR, or where the device has no DTR (a
// pseudo-terminal) sends the escape "+++" between guard times (unless the carrier is gone
// already) and "ATH", awaiting each answer, within 4 seconds. The connection watches for the
// modem's NO CARRIER, and on a device that reports carrier detect, for the carrier's loss.
class ModemLine final : public LineDevice, private CallHooks
{
public:
    // The longest a hang-up spends ending the call on the modem, in milliseconds.
    static constexpr int hangUpBudgetMs = 4000;

    // A line on the configured modem, logging to `log` with `tag`.
    ModemLine(LineConfig config, LogFile& log, std::string_view tag);

    [[nodiscard]] bool dial(const std::string& number, CallObserver& observer) override;
    ByteLink* link() override { return m_call.link(); }
    void configurePort() override;
    void restorePort() override;
    void hangUp() override { m_call.hangUp(); }
    int lastError() const override { return m_call.lastError(); }

    // The call event a final result of the dial command stands for (OtherError's detail in
    // `detail`); none for OK, which is not an outcome of a dial.
    static std::optional<CallEvent> eventFor(ModemReply reply, int& detail);

private:
    using Outcome = CallingLine::Outcome;

    Outcome placeCall(int fd, const std::string& command);
    void endCall(int fd, bool connected, bool lost) override;
    // Watches the modem's output for up to timeoutMs; true when it reported NO CARRIER.
    bool awaitsNoCarrier(HayesDialogue& modem, int timeoutMs);
    void closeDescriptor(int fd) override;

    LogFile& m_log;
    std::string m_tag;
    LineConfig m_config;
    // Guarded by the line's lock (withDescriptor): the device's settings before dial() and
    // before configurePort().
    termios m_original {};
    bool m_haveOriginal = false;
    int m_releaseSlot = -1; // the device's entry for a quick exit (DeviceRelease)
    termios m_beforeTap {};
    bool m_haveBeforeTap = false;
    // Written by the call thread, read by the hang-up after the call thread has finished:
    // whether the modem is still dialling.
    bool m_dialPending = false;
    CallingLine m_call; // last: it ends the call thread before the members above go
};
