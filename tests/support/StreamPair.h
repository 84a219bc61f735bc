#pragma once

// Two connected descriptors for a link test: the engine's end and the far end (a socket
// pair, or a pseudo-terminal in raw mode with the slave as the engine's end, as a modem's
// serial device would be). Both are closed with the object unless closed before.
class StreamPair
{
public:
    // A connected pair of local stream sockets.
    static StreamPair sockets();
    // A pseudo-terminal: the slave in raw mode is the engine's end, the master the far end.
    static StreamPair pseudoTerminal();

    StreamPair(StreamPair&& other) noexcept;
    StreamPair& operator=(StreamPair&&) = delete;
    StreamPair(const StreamPair&) = delete;
    StreamPair& operator=(const StreamPair&) = delete;
    ~StreamPair();

    // Whether both ends were made.
    bool valid() const { return m_local >= 0 && m_remote >= 0; }
    // The engine's end.
    int local() const { return m_local; }
    // The far end.
    int remote() const { return m_remote; }
    void closeLocal();
    void closeRemote();

private:
    StreamPair(int local, int remote)
        : m_local(local)
        , m_remote(remote)
    { }
    int m_local = -1;
    int m_remote = -1;
};
