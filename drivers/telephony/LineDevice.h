#pragma once

#include "telephony/CallEvent.h"

#include <memory>
#include <string>

class ByteLink;

// One telephony line the IXO/TAP driver can dial out on: a Hayes modem on a serial device,
// or a TCP connection to a paging terminal that takes TAP over the network. Dialling is
// asynchronous: dial() starts the call and the outcome arrives as CallEvents.
class LineDevice
{
public:
    virtual ~LineDevice() = default;

    // Opens the line and starts the call to the number (already translated for the
    // dialling location). False when no line could be opened (lastError() 7) or the call
    // request was refused at once (4).
    [[nodiscard]] virtual bool dial(const std::string& number, CallObserver& observer) = 0;
    // The connection to the remote end once Connected was reported; null before.
    virtual ByteLink* link() = 0;
    // Sets the port up for IXO/TAP (raw bytes, 7 data bits, even parity, XON/XOFF),
    // keeping the previous settings; failures are logged, never fatal.
    virtual void configurePort() = 0;
    // Puts the port's previous settings back.
    virtual void restorePort() = 0;
    // Drops the call and closes the line and the port within bounded time. May be called
    // from another thread while the protocol thread reads or writes: that read or write
    // then fails at once. Safe to call more than once.
    virtual void hangUp() = 0;
    // The code of the last failure (0 for none).
    virtual int lastError() const = 0;
};
