#pragma once

#include "StreamPair.h"
#include "TapTerminalSimulator.h"
#include "TestReporter.h"
#include "frame/MessageList.h"
#include "kestrel/TapEngine.h"
#include "telephony/PortLink.h"

#include <memory>
#include <string>

// How the engine reaches the simulated terminal.
enum class Transport { SocketPair, PseudoTerminal, Tcp };

// The transport's name, as parameterised tests name their cases.
std::string transportName(Transport transport);

// Short time-outs for tests: one second where a wait must pass, no pause after the go-ahead.
TapSettings fastSettings();

// The IXO/TAP engine over a PortLink against a simulated terminal on its own thread: a
// test loads messages, runs the engine on the test thread to the end, and reads what the
// reporter, the message list and the terminal saw.
class EngineHarness
{
public:
    EngineHarness(const TapTerminalScript& script, const TapSettings& settings,
                  Transport transport = Transport::SocketPair);
    ~EngineHarness();
    EngineHarness(const EngineHarness&) = delete;
    EngineHarness& operator=(const EngineHarness&) = delete;

    // Whether the link and the terminal were set up.
    bool ready() const { return m_ready; }
    // Adds a message as addMessage would.
    void add(std::string_view recipient, std::string_view text);
    // Runs the engine from Start to End; then waits up to `endWaitMs` for the terminal to
    // see the EOT and stops it. False when the engine did not end within the step bound.
    [[nodiscard]] bool run(int endWaitMs = 2000);
    // The result code of the message at the index.
    int result(int index) const { return static_cast<int>(m_messages.result(index)); }

    TestReporter& reporter() { return m_reporter; }
    TapTerminalSimulator& terminal() { return m_terminal; }
    TapEngine& engine() { return *m_engine; }
    PortLink& link() { return *m_link; }
    MessageList& messages() { return m_messages; }
    // Steps the last run took.
    int steps() const { return m_steps; }

private:
    TestReporter m_reporter;
    StreamPair m_pair;
    int m_tcpFd = -1;
    TapTerminalSimulator m_terminal;
    MessageList m_messages;
    std::unique_ptr<PortLink> m_link;
    std::unique_ptr<TapEngine> m_engine;
    bool m_ready = false;
    int m_steps = 0;
};
