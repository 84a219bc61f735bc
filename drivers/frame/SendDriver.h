#pragma once

class SendFrame;

// What a driver gives the send frame: the protocol thread's work and how to cut it short.
class SendDriver
{
public:
    virtual ~SendDriver() = default;

    // The protocol thread's work, between the frame's "thread starts" and "thread ends" lines:
    // reach the remote end, run the engine through SendFrame::runEngine(), and let go of the
    // line. Runs on the protocol thread.
    virtual void runProtocol(SendFrame& frame) = 0;
    // The user cancelled while the protocol thread runs: stop at once whatever it is blocked
    // in (hang the call up, stop a host lookup). Called on the progress view's thread; must
    // not wait for the protocol thread.
    virtual void cancelProtocol() = 0;
    // The progress view has ended; the frame is about to wait for the protocol thread.
    virtual void viewEnded() { }
    // The protocol thread has not ended within the frame's wait: make every read, write or
    // connect it is blocked in fail now. Called on the thread that called send().
    virtual void interruptProtocol() = 0;
};
