// The one entry point the plover test module adds to the shipped plug-in's objects.
#include "PloverSystemCalls.h"
#include "net/HostLookup.h"
#include "net/SystemCalls.h"

extern "C" int32_t nvInstallSystemCalls(SystemCalls* calls, int32_t waitMs)
{
    try {
        if (!HostLookup::waitForThreads(waitMs < 0 ? 0 : waitMs)) {
            return 0;
        }
        SystemCalls::install(calls);
        return 1;
    } catch (...) {
        return 0;
    }
}
