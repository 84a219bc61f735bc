#pragma once

#include <string>
#include <termios.h>

// The serial-device operations of a modem line, on plain descriptors: exclusive opening,
// the terminal settings for talking to the modem and for IXO/TAP, and dropping DTR.
namespace SerialPort {

// How opening a device ended.
enum class OpenResult {
    Opened, // the descriptor is ours alone
    Held, // another program holds the device
    Failed, // the device cannot be opened at all (missing, no permission, not a terminal)
};

// Opens the device for reading and writing without making it the controlling terminal,
// without waiting for carrier, non-blocking and closed on exec, and takes it for exclusive use
// (an advisory lock that other serial programs honour, and TIOCEXCL against plain opens).
// `why` says what failed and on what.
[[nodiscard]] OpenResult openExclusive(const std::string& path, int& fd, std::string& why);
// Gives the device up: clears the exclusive mode and closes the descriptor.
void close(int fd);

// The termios speed for a rate in bits per second; false for a rate the system lacks.
[[nodiscard]] bool speedFor(int bitsPerSecond, speed_t& speed);
// Settings for talking to the modem: raw 8-bit bytes, no parity, no flow control, the
// modem's carrier ignored, the receiver on and DTR dropped on the last close. A speed of
// B0 keeps the current speed.
termios commandSettings(const termios& current, speed_t speed);
// Settings for IXO/TAP: raw bytes (no echo, no line editing, no CR/NL translation, no
// signals), 7 data bits, even parity checked on input, XON/XOFF both ways; the speed, stop
// bits and flow-control characters stay as they were.
termios tapSettings(const termios& current);

// Whether the device reports a carrier-detect line and the carrier is present now (false on a
// device without modem control lines, as a pseudo-terminal).
bool reportsCarrier(int fd);
// Drops DTR (a modem set to hang up on it then ends the call); false when the device has no
// modem control lines, as a pseudo-terminal.
[[nodiscard]] bool dropDtr(int fd);

} // namespace SerialPort
