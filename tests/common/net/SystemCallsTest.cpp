#include "net/SystemCalls.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// Fails every close, so the test can tell which object current() hands out.
class RefusingCalls : public SystemCalls
{
public:
    int close(int) override
    {
        errno = EIO;
        return -1;
    }
};

TEST(SystemCalls, InstalledCallsServeTheProcessUntilTheRealOnesAreRestored)
{
    SystemCalls& real = SystemCalls::current();
    RefusingCalls fake;
    SystemCalls::install(&fake);
    EXPECT_EQ(&SystemCalls::current(), &fake);
    errno = 0;
    EXPECT_EQ(SystemCalls::current().close(-1), -1);
    EXPECT_EQ(errno, EIO);
    SystemCalls::install(nullptr);
    EXPECT_EQ(&SystemCalls::current(), &real);
    // The real close reports a bad handle itself.
    EXPECT_EQ(SystemCalls::current().close(-1), -1);
    EXPECT_EQ(errno, EBADF);
}

} // namespace
