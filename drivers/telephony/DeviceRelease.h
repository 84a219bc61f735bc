#pragma once

#include <termios.h>

// The serial devices the process holds, for an end that cannot wait for the hang-up (a second
// Ctrl-C): each is put back as it was found, so that other programs can use it again. The
// release runs as a quick-exit handler (std::quick_exit), so a host that ends at once with
// std::quick_exit gets the devices back without running anything else of the plug-in; it is
// async-signal-safe (plain system calls on a fixed table).
namespace DeviceRelease {

// Enlists an open device with the settings it had when it was opened; the slot to give to
// dismiss(), -1 when the table is full (the device is then not put back on a quick exit).
[[nodiscard]] int enlist(int fd, const termios& original);
// Takes the device off the table (before it is closed); -1 does nothing.
void dismiss(int slot);
// Puts every enlisted device back: DTR dropped (a modem ends the call), its settings
// restored, its exclusive use and its lock released. The process ends afterwards.
void releaseAll() noexcept;

} // namespace DeviceRelease
