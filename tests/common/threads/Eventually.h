#pragma once

#include <chrono>
#include <thread>

// Polls `condition` until it holds or `timeout` of real time has passed; returns its last
// value. For states another thread reaches without telling the test (a lock joining a queue).
template<typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}
