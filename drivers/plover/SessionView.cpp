#include "plover/SessionView.h"

#include "frame/SendReporter.h"

#include <algorithm>
#include <chrono>
#include <thread>

void SessionView::pauseForReading(int ms, const SendReporter& reporter)
{
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!reporter.cancelRequested()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0) {
            return;
        }
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(50)));
    }
}
