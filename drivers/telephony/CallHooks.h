#pragma once

// What only the kind of line knows about a call, which its CallingLine calls at hang-up. The
// line device that holds the CallingLine implements it.
class CallHooks
{
public:
    // Stops what the call thread waits for besides the wake event (a host-name lookup).
    virtual void interruptAttempt() { }
    // Ends the call on the descriptor (no other thread uses it any more) within bounded time.
    // `connected`: the call was connected; `lost`: its connection saw the remote end go.
    virtual void endCall(int fd, bool connected, bool lost) = 0;
    // Closes the descriptor, putting back what the line changed on it.
    virtual void closeDescriptor(int fd) = 0;

protected:
    ~CallHooks() = default;
};
