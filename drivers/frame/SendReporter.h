#pragma once

#include <string>
#include <string_view>

class LogFile;

// What a protocol engine reports to the send frame while it runs on the protocol thread:
// the phase, the status line and the progress shown to the user, the send's overall code,
// and the log it writes to. Implemented by the frame; engines and lines only call it.
class SendReporter
{
public:
    virtual ~SendReporter() = default;

    // Sets the phase: 0 start, 1 dialling or connecting, 2 logging in, 3 sending, 4 disconnecting.
    virtual void setPhase(int phase) = 0;
    // Replaces the status line.
    virtual void setStatus(std::string text) = 0;
    // Moves the progress bar (0 .. twice the message count).
    virtual void setProgress(int value) = 0;
    // The send's overall code so far (0 for none).
    virtual int lastError() const = 0;
    // Records the overall code; once the user has cancelled (213) nothing replaces it.
    virtual void setLastError(int code) = 0;
    // Whether the user asked to stop the send.
    virtual bool cancelRequested() const = 0;
    // The plug-in's log, open for the send, and the origin tag its lines carry.
    virtual LogFile& log() = 0;
    // The origin tag of the plug-in's log lines ("kestrel", "plover").
    virtual std::string_view tag() const = 0;
};
