#pragma once

#include "TapTerminal.h"
#include "telephony/ByteLink.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A byte link to the simulated terminal's protocol side in the same thread: what the engine
// writes goes straight into the terminal, and the terminal's answers wait in memory for the
// engine's reads. No descriptor, no thread, no system call, so a run over it is the engine's
// own cost. The script's pauses are not kept (every answer is there at once), and a read that
// finds nothing more fails at once as a time-out would, since nothing else could arrive.
// The time spent inside the terminal is summed apart, to be left out of the engine's.
class TapMemoryLink final : public ByteLink
{
public:
    using Clock = std::chrono::steady_clock;

    // A link to the terminal, whose session starts now (its prompt is waiting at once).
    explicit TapMemoryLink(TapTerminal& terminal)
        : m_terminal(terminal)
    {
        const Clock::time_point start = Clock::now();
        m_terminal.connected(m_answers);
        takeAnswers();
        m_terminalTime += Clock::now() - start;
    }

    bool write(const void* bytes, std::size_t length) override
    {
        const Clock::time_point start = Clock::now();
        const auto* data = static_cast<const unsigned char*>(bytes);
        for (std::size_t i = 0; i < length; ++i) {
            m_terminal.receive(data[i], m_answers);
        }
        takeAnswers();
        m_terminalTime += Clock::now() - start;
        return true;
    }

    bool read(char* buffer, std::size_t& length, std::string_view terminators, int) override
    {
        const std::size_t capacity = length;
        length = 0;
        if (capacity == 0) {
            m_lastError = 202;
            return false;
        }
        std::size_t held = 0;
        while (held + 1 < capacity) {
            if (m_readAt == m_pending.size()) {
                buffer[held] = '\0';
                m_lastError = 203;
                return false;
            }
            const char byte = m_pending[m_readAt++];
            if (byte == '\0') {
                continue;
            }
            buffer[held++] = byte;
            if (terminators.find(byte) != std::string_view::npos) {
                break;
            }
        }
        buffer[held] = '\0';
        length = held;
        return true;
    }

    int lastError() const override { return m_lastError; }

    // The time spent inside the terminal so far.
    Clock::duration terminalTime() const { return m_terminalTime; }

private:
    void takeAnswers()
    {
        if (m_readAt == m_pending.size()) {
            // Everything was read: start the buffer afresh rather than let it grow.
            m_pending.clear();
            m_readAt = 0;
        }
        for (const TapTerminal::Output& piece : m_answers) {
            m_pending += piece.bytes;
        }
        m_answers.clear();
    }

    TapTerminal& m_terminal;
    std::vector<TapTerminal::Output> m_answers;
    std::string m_pending; // answers not read yet, from m_readAt on
    std::size_t m_readAt = 0;
    int m_lastError = 0;
    Clock::duration m_terminalTime {};
};
