#pragma once

// What a line device reports about a call it has dialled. The driver turns each into a
// status text and an overall code.
enum class CallEvent {
    Connected, // the remote modem answered ("CONNECT"); the link can be used
    Busy, // the remote modem is busy: "Remote modem busy", 206
    Disconnected, // the call ended or never got through ("NO CARRIER", no answer)
    LineInUse, // another program holds the line: "Line is being used", 214
    CallUnavailable, // the call cannot be made ("NO DIALTONE"): "Call unavailable", 215
    OtherError, // any other failure ("ERROR"): "Internal Error (LINERR=%d)", 216
};

// Receives a dialled call's events, on whichever thread the line device reports them.
class CallObserver
{
public:
    virtual ~CallObserver() = default;
    // One event of the call; `detail` carries a device-specific code for OtherError.
    virtual void callEvent(CallEvent event, int detail) = 0;
};
