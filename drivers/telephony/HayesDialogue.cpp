#include "telephony/HayesDialogue.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool startsWithWord(std::string_view line, std::string_view word)
{
    return line.substr(0, word.size()) == word
        && (line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '/');
}

} // namespace

HayesDialogue::HayesDialogue(int fd, int wakeFd, LogFile& log, std::string_view tag)
    : m_fd(fd)
    , m_wakeFd(wakeFd)
    , m_log(log)
    , m_tag(tag)
{ }

ModemReply HayesDialogue::classify(std::string_view line)
{
    struct Word
    {
        std::string_view text;
        ModemReply reply;
    };
    static constexpr Word words[] = {
        {"OK", ModemReply::Ok},
        {"CONNECT", ModemReply::Connect},
        {"BUSY", ModemReply::Busy},
        {"NO CARRIER", ModemReply::NoCarrier},
        {"NO ANSWER", ModemReply::NoAnswer},
        {"NO DIALTONE", ModemReply::NoDialtone},
        {"NO DIAL TONE", ModemReply::NoDialtone},
        {"DELAYED", ModemReply::Refused},
        {"BLACKLISTED", ModemReply::Refused},
        {"ERROR", ModemReply::Error},
    };
    for (const Word& word : words) {
        if (startsWithWord(line, word.text)) {
            return word.reply;
        }
    }
    return ModemReply::TimedOut;
}

std::string_view HayesDialogue::name(ModemReply reply)
{
    switch (reply) {
    case ModemReply::Ok:
        return "OK";
    case ModemReply::Connect:
        return "CONNECT";
    case ModemReply::Busy:
        return "BUSY";
    case ModemReply::NoCarrier:
        return "NO CARRIER";
    case ModemReply::NoAnswer:
        return "NO ANSWER";
    case ModemReply::NoDialtone:
        return "NO DIALTONE";
    case ModemReply::Refused:
        return "refused";
    case ModemReply::Error:
        return "ERROR";
    case ModemReply::TimedOut:
        return "no answer";
    case ModemReply::Interrupted:
        return "hung up";
    case ModemReply::PortFailed:
        return "port failed";
    }
    return "?";
}

HayesDialogue::Wait HayesDialogue::waitFor(short events, int timeoutMs)
{
    pollfd entries[2] = {{m_fd, events, 0}, {m_wakeFd, POLLIN, 0}};
    const nfds_t count = m_wakeFd >= 0 ? 2 : 1;
    int ready;
    do {
        ready = ::poll(entries, count, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return Wait::Failed;
    }
    if (count == 2 && entries[1].revents != 0) {
        return Wait::Woken;
    }
    if (ready == 0) {
        return Wait::TimedOut;
    }
    // POLLHUP without data: the device went away (or a pseudo-terminal lost its other side).
    if ((entries[0].revents & events) == 0) {
        return Wait::Failed;
    }
    return Wait::Ready;
}

bool HayesDialogue::send(std::string_view bytes, int timeoutMs)
{
    return writeAll(bytes, timeoutMs) == Wait::Ready;
}

HayesDialogue::Wait HayesDialogue::writeAll(std::string_view bytes, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return Wait::Failed;
        }
        // The device takes no more for now (flow control): wait until it does.
        const Wait wait = waitFor(POLLOUT, millisecondsLeft(deadline));
        if (wait != Wait::Ready) {
            return wait;
        }
    }
    return Wait::Ready;
}

ModemReply HayesDialogue::command(std::string_view text, int timeoutMs)
{
    m_log.write(LogLevel::Debug4, m_tag, "Modem command: %.*s", static_cast<int>(text.size()),
                text.data());
    std::string line(text);
    line += '\r';
    m_lastLine.clear();
    // An answer that came late to an earlier command must not be taken for this one's.
    discardInput();
    switch (writeAll(line, timeoutMs)) {
    case Wait::Ready:
        return awaitResult(timeoutMs);
    case Wait::TimedOut:
        return ModemReply::TimedOut;
    case Wait::Woken:
        return ModemReply::Interrupted;
    case Wait::Failed:
        break;
    }
    return ModemReply::PortFailed;
}

ModemReply HayesDialogue::awaitResult(int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    for (;;) {
        switch (waitFor(POLLIN, millisecondsLeft(deadline))) {
        case Wait::Ready:
            break;
        case Wait::TimedOut:
            m_lastLine = line;
            return ModemReply::TimedOut;
        case Wait::Woken:
            m_lastLine = line;
            return ModemReply::Interrupted;
        case Wait::Failed:
            m_lastLine = line;
            return ModemReply::PortFailed;
        }
        char byte;
        const ssize_t count = ::read(m_fd, &byte, 1);
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (count <= 0) {
            m_lastLine = line;
            return ModemReply::PortFailed;
        }
        // Answer lines end in CR LF; ending at the LF leaves nothing of a CONNECT line behind
        // for the link, and a command's echo (ended by CR alone) joins the next line's CR.
        if (byte != '\n') {
            // An answer line is short; anything longer is noise that cannot be a result.
            if (byte != '\r' && byte != '\0' && line.size() < 256) {
                line += byte;
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        m_log.write(LogLevel::Debug4, m_tag, "Modem answer: %s", line.c_str());
        const ModemReply reply = classify(line);
        if (reply != ModemReply::TimedOut) {
            m_lastLine = line;
            return reply;
        }
        line.clear();
    }
}

void HayesDialogue::discardInput()
{
    ::tcflush(m_fd, TCIFLUSH);
}
