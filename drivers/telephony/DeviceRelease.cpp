#include "telephony/DeviceRelease.h"

#include <atomic>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <sys/file.h>
#include <sys/ioctl.h>

namespace {

enum SlotState : int { Free, Filling, Ready };

struct Slot
{
    std::atomic<int> state {Free};
    int fd = -1;
    termios original {};
};

// Lock-free on every platform this builds for, so the release may read it in any context.
static_assert(std::atomic<int>::is_always_lock_free);

// A process holds one or two devices at a time; a few more slots cost nothing.
Slot g_slots[16];

extern "C" void releaseOnQuickExit()
{
    DeviceRelease::releaseAll();
}

} // namespace

int DeviceRelease::enlist(int fd, const termios& original)
{
    // Registered once; the handler stays valid because the module that holds it is never
    // unloaded (it is linked with "nodelete").
    static std::once_flag registered;
    std::call_once(registered, [] { std::at_quick_exit(&releaseOnQuickExit); });
    for (int i = 0; i < static_cast<int>(std::size(g_slots)); ++i) {
        int expected = Free;
        if (g_slots[i].state.compare_exchange_strong(expected, Filling)) {
            g_slots[i].fd = fd;
            g_slots[i].original = original;
            g_slots[i].state.store(Ready);
            return i;
        }
    }
    return -1;
}

void DeviceRelease::dismiss(int slot)
{
    if (slot >= 0 && slot < static_cast<int>(std::size(g_slots))) {
        g_slots[slot].state.store(Free);
    }
}

void DeviceRelease::releaseAll() noexcept
{
    for (Slot& slot : g_slots) {
        if (slot.state.load() != Ready) {
            continue;
        }
        int lines = TIOCM_DTR;
        (void)::ioctl(slot.fd, TIOCMBIC, &lines);
        (void)::tcsetattr(slot.fd, TCSANOW, &slot.original);
        (void)::ioctl(slot.fd, TIOCNXCL);
        (void)::flock(slot.fd, LOCK_UN);
    }
}
