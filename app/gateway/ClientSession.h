#pragma once

#include <functional>

class CommandInterpreter;
class GatewaySender;
class TcpSocket;
class WakeEvent;
class LogFile;

// Serves one admitted client: the greeting, then each command line read from the connection
// is handed to the interpreter, its replies are sent and its log lines written, until the
// client quits, the connection is lost, its session time runs out or the gateway gives up on
// it. Each client starts with an empty pager list and message.
class ClientSession
{
public:
    // A session on `connection`; SEND goes to `sender`. `wake` and `abandon` let the gateway
    // interrupt a wait for the client (either may be null). The session ends as a lost one
    // after `sessionTimeoutMs` of talking (its relayed sends not counted); 0 or less: no bound.
    ClientSession(TcpSocket& connection, const CommandInterpreter& interpreter,
                  GatewaySender& sender, WakeEvent* wake, std::function<bool()> abandon,
                  int sessionTimeoutMs = 0);

    // Runs the exchange to its end and closes the connection, logging through `log`.
    void serve(LogFile& log);

private:
    TcpSocket& m_connection;
    const CommandInterpreter& m_interpreter;
    GatewaySender& m_sender;
    WakeEvent* m_wake;
    std::function<bool()> m_abandon;
    int m_sessionTimeoutMs;
};
