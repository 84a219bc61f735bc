// The per-thread last error: what one thread's failure leaves is seen on that thread only,
// and threads that failed and ended leave nothing behind.
#include "threads/ThreadLastError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// A code that counts its live copies, so the slots of ended threads can be seen to be gone.
struct CountedCode
{
    static inline std::atomic<int> live {0};
    int value = 0;

    CountedCode() { ++live; }
    CountedCode(int v)
        : value(v)
    {
        ++live;
    }
    CountedCode(const CountedCode& other)
        : value(other.value)
    {
        ++live;
    }
    CountedCode& operator=(const CountedCode&) = default;
    ~CountedCode() { --live; }
};

using Error = ThreadLastError<CountedCode>;
using OtherError = ThreadLastError<int, struct OtherTag>;

} // namespace

TEST(ThreadLastError, AFailureIsSeenOnlyOnItsOwnThreadAndByItsOwnTag)
{
    EXPECT_FALSE(Error::set(7, "main failed"));
    std::string otherText = "unset";
    int otherCode = -1;
    std::thread([&] {
        otherCode = Error::code().value;
        otherText = Error::text();
        EXPECT_FALSE(Error::set(9, "worker failed"));
    }).join();
    EXPECT_EQ(otherCode, 0);
    EXPECT_EQ(otherText, "");
    EXPECT_EQ(Error::code().value, 7);
    EXPECT_EQ(Error::text(), "main failed");
    EXPECT_EQ(OtherError::code(), 0) << "another tag keeps its own slot";
    Error::reset();
    EXPECT_EQ(Error::code().value, 0);
    EXPECT_EQ(Error::text(), "");
}

TEST(ThreadLastError, ThreadsThatFailedLeaveNoEntryBehind)
{
    Error::reset();
    const int before = CountedCode::live.load();
    for (int round = 0; round < 4; ++round) {
        std::vector<std::thread> threads;
        for (int i = 0; i < 50; ++i) {
            threads.emplace_back([i] { (void)Error::set(i + 1, "failed " + std::to_string(i)); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(CountedCode::live.load(), before) << "round " << round;
    }
}
