#include "telephony/ModemLine.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "telephony/DeviceRelease.h"
#include "telephony/DialString.h"
#include "telephony/SerialPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int detailOf(ModemFault fault)
{
    return static_cast<int>(fault);
}

} // namespace

ModemLine::ModemLine(LineConfig config, LogFile& log, std::string_view tag)
    : m_log(log)
    , m_tag(tag)
    , m_config(std::move(config))
    , m_call(log, tag, *this)
{ }

std::optional<CallEvent> ModemLine::eventFor(ModemReply reply, int& detail)
{
    detail = 0;
    switch (reply) {
    case ModemReply::Connect:
        return CallEvent::Connected;
    case ModemReply::Busy:
        return CallEvent::Busy;
    case ModemReply::NoCarrier:
    case ModemReply::NoAnswer:
    case ModemReply::TimedOut:
        return CallEvent::Disconnected;
    case ModemReply::NoDialtone:
    case ModemReply::Refused:
        return CallEvent::CallUnavailable;
    case ModemReply::Error:
        detail = detailOf(ModemFault::ErrorReply);
        return CallEvent::OtherError;
    case ModemReply::PortFailed:
        detail = detailOf(ModemFault::PortFailed);
        return CallEvent::OtherError;
    case ModemReply::Ok:
    case ModemReply::Interrupted:
        break;
    }
    return std::nullopt;
}

bool ModemLine::dial(const std::string& number, CallObserver& observer)
{
    if (!m_call.beginDial()) {
        return false;
    }
    const char* const device = m_config.device.c_str();
    std::string why;
    if (!DialString::isDialable(number, why)) {
        m_log.write(LogLevel::Errors, m_tag, "Cannot dial \"%s\" on %s: %s", number.c_str(), device,
                    why.c_str());
        return m_call.refuse(4);
    }
    if (m_call.wake().fd() < 0) {
        m_log.write(LogLevel::Errors, m_tag, "No line on %s: no event descriptor (%s)", device,
                    std::strerror(errno));
        return m_call.refuse(7);
    }
    int fd = -1;
    switch (SerialPort::openExclusive(m_config.device, fd, why)) {
    case SerialPort::OpenResult::Failed:
        m_log.write(LogLevel::Errors, m_tag, "No line: %s", why.c_str());
        return m_call.refuse(7);
    case SerialPort::OpenResult::Held:
        // As with a telephony service, the call request is taken and its refusal arrives
        // as an event.
        m_log.write(LogLevel::Errors, m_tag, "Line in use: %s", why.c_str());
        return m_call.startCall(observer, -1, [] { return Outcome {CallEvent::LineInUse, 0}; });
    case SerialPort::OpenResult::Opened:
        break;
    }
    speed_t speed = B0;
    if (m_config.speed != 0 && !SerialPort::speedFor(m_config.speed, speed)) {
        m_log.write(LogLevel::Errors, m_tag, "No line on %s: the speed %d is not supported", device,
                    static_cast<int>(m_config.speed));
        SerialPort::close(fd);
        return m_call.refuse(7);
    }
    termios settings {};
    if (::tcgetattr(fd, &m_original) != 0
        || (settings = SerialPort::commandSettings(m_original, speed),
            ::tcsetattr(fd, TCSANOW, &settings) != 0)) {
        m_log.write(LogLevel::Errors, m_tag, "No line on %s: cannot set the port up (%s)", device,
                    std::strerror(errno));
        SerialPort::close(fd);
        return m_call.refuse(7);
    }
    m_haveOriginal = true;
    m_releaseSlot = DeviceRelease::enlist(fd, m_original);
    const std::string command = m_config.dialPrefix + number;
    m_log.write(LogLevel::Debug3, m_tag, "Dialing on %s: %s", device, command.c_str());
    return m_call.startCall(observer, fd, [this, fd, command] { return placeCall(fd, command); });
}

ModemLine::Outcome ModemLine::placeCall(int fd, const std::string& command)
{
    HayesDialogue modem(fd, m_call.wake().fd(), m_log, m_tag);
    modem.discardInput();
    for (const std::string& init : {m_config.initString, m_config.initString2}) {
        if (init.empty()) {
            continue;
        }
        const ModemReply reply = modem.command(init, m_config.commandTimeout);
        if (reply == ModemReply::Ok) {
            continue;
        }
        if (reply == ModemReply::Interrupted) {
            return {};
        }
        m_log.write(LogLevel::Errors, m_tag, "Modem on %s answered %s to %s",
                    m_config.device.c_str(), std::string(HayesDialogue::name(reply)).c_str(),
                    init.c_str());
        const ModemFault fault = reply == ModemReply::TimedOut ? ModemFault::NoReply
            : reply == ModemReply::PortFailed                  ? ModemFault::PortFailed
                                                               : ModemFault::ErrorReply;
        return {CallEvent::OtherError, detailOf(fault)};
    }
    m_dialPending = true;
    const ModemReply reply = modem.command(command, m_config.answerTimeout);
    if (reply == ModemReply::Interrupted) {
        return {};
    }
    // After a time-out the modem is still dialling; every other answer ends the dial.
    m_dialPending = reply == ModemReply::TimedOut;
    m_log.write(LogLevel::Debug3, m_tag, "Modem on %s: %s", m_config.device.c_str(),
                reply == ModemReply::TimedOut ? "no answer to the call" : modem.lastLine().c_str());
    int detail = 0;
    // OK to a dial command means the modem made no data call: it never connected.
    const CallEvent event = eventFor(reply, detail).value_or(CallEvent::Disconnected);
    if (event == CallEvent::Connected && !m_call.connect(true)) {
        return {};
    }
    return {event, detail};
}

void ModemLine::endCall(int fd, bool connected, bool lost)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(hangUpBudgetMs);
    const auto left = [deadline] {
        const auto ms
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                  .count();
        return static_cast<int>(std::max<long long>(ms, 0));
    };
    const char* const device = m_config.device.c_str();
    if (SerialPort::dropDtr(fd)) {
        // A modem set to hang up on DTR ends the call; closing with HUPCL keeps DTR low.
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min(m_config.dtrDropTime, left())));
        m_log.write(LogLevel::Debug3, m_tag, "Hang up: DTR dropped on %s", device);
        return;
    }
    // Each answer gets commandTimeout, and the whole stays within the budget.
    const auto answerTime = [this, &left] { return std::min(m_config.commandTimeout, left()); };
    HayesDialogue modem(fd, -1, m_log, m_tag);
    if (connected && !lost) {
        // The escape needs a guard time of silence before "+++". The terminal often hangs up
        // after the disconnect sequence: a NO CARRIER that comes meanwhile means the modem is
        // in command mode already, where "+++" would only be typed onto its command line.
        lost = awaitsNoCarrier(modem, std::min(m_config.guardTime, left()));
    }
    if (connected && !lost && modem.send("+++", left())) {
        // The modem's OK comes after the second guard time.
        const int wait = std::min(m_config.guardTime + m_config.commandTimeout, left());
        const ModemReply escaped = modem.awaitResult(wait);
        if (escaped != ModemReply::Ok) {
            // Already in command mode (the carrier was lost meanwhile): a CR clears the
            // "+++" typed there. A line without "AT" gets no answer, so none is awaited.
            m_log.write(LogLevel::Debug3, m_tag, "Hang up on %s: the escape answered %s", device,
                        std::string(HayesDialogue::name(escaped)).c_str());
            (void)modem.send("\r", left());
        }
    } else if (!connected && m_dialPending) {
        // Any character stops a dial in progress; its NO CARRIER is the answer.
        [[maybe_unused]] const ModemReply stopped = modem.command("", answerTime());
    }
    // ATH's own answer is awaited, so that no late answer is left for the next call's commands.
    const ModemReply reply = modem.command("ATH", answerTime());
    m_log.write(LogLevel::Debug3, m_tag, "Hang up on %s: ATH answered %s", device,
                std::string(HayesDialogue::name(reply)).c_str());
}

bool ModemLine::awaitsNoCarrier(HayesDialogue& modem, int timeoutMs)
{
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
        if (ms <= 0) {
            return false;
        }
        switch (modem.awaitResult(static_cast<int>(ms))) {
        case ModemReply::NoCarrier:
            m_log.write(LogLevel::Debug3, m_tag, "Hang up on %s: the carrier is gone already",
                        m_config.device.c_str());
            return true;
        case ModemReply::TimedOut:
            // The wait rounds to milliseconds: the whole guard time passes before "+++".
            std::this_thread::sleep_until(until);
            return false;
        case ModemReply::Interrupted:
        case ModemReply::PortFailed:
            return false;
        default:
            // The terminal's last words that look like a result: keep watching.
            break;
        }
    }
}

void ModemLine::closeDescriptor(int fd)
{
    DeviceRelease::dismiss(m_releaseSlot);
    m_releaseSlot = -1;
    if (m_haveOriginal && ::tcsetattr(fd, TCSANOW, &m_original) != 0) {
        m_log.write(LogLevel::Info, m_tag, "Cannot put the settings of %s back (%s)",
                    m_config.device.c_str(), std::strerror(errno));
    }
    SerialPort::close(fd);
}

void ModemLine::configurePort()
{
    const bool open = m_call.withDescriptor([this](int fd) {
        m_haveBeforeTap = ::tcgetattr(fd, &m_beforeTap) == 0;
        if (!m_haveBeforeTap) {
            m_log.write(LogLevel::Errors, m_tag, "Error GetCommState failed (erc=%d)", errno);
            return;
        }
        termios tap = SerialPort::tapSettings(m_beforeTap);
        if (SerialPort::reportsCarrier(fd)) {
            // The call is up, so the carrier is there: watching it from now on makes its
            // loss hang the device up, which ends the exchange at once.
            tap.c_cflag &= ~static_cast<tcflag_t>(CLOCAL);
        }
        if (::tcsetattr(fd, TCSANOW, &tap) != 0) {
            m_log.write(LogLevel::Errors, m_tag, "Error SetCommState failed (erc=%d)", errno);
        }
    });
    if (!open) {
        m_log.write(LogLevel::Errors, m_tag, "Error GetCommState failed (erc=%d)", EBADF);
    }
}

void ModemLine::restorePort()
{
    // Once the line is closed there is nothing to restore: closing put the device's own
    // settings back.
    m_call.withDescriptor([this](int fd) {
        if (!m_haveBeforeTap) {
            m_log.write(LogLevel::Errors, m_tag, "Error RestoreCommState failed (erc=%d)", EINVAL);
        } else if (::tcsetattr(fd, TCSANOW, &m_beforeTap) != 0) {
            m_log.write(LogLevel::Errors, m_tag, "Error RestoreCommState failed (erc=%d)", errno);
        }
    });
}
