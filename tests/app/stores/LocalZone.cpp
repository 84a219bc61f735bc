#include "LocalZone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// Sets the zone once. Test parameters are computed while GoogleTest registers the tests,
// before any environment is set up, so every helper makes sure of the zone first.
void ensureZone()
{
    static const bool set = [] {
        ::setenv("TZ", LocalZone::tz, 1);
        ::tzset();
        return true;
    }();
    (void)set;
}

class ZoneEnvironment : public testing::Environment
{
public:
    void SetUp() override { ensureZone(); }
};

// Registered at load time, so the zone is set before the first test (and any thread) runs.
[[maybe_unused]] testing::Environment* const zone
    = testing::AddGlobalTestEnvironment(new ZoneEnvironment);

} // namespace

std::int64_t LocalZone::seconds(int year, int month, int day, int hour, int minute, int second)
{
    ensureZone();
    std::tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

Clock::TimePoint LocalZone::at(int year, int month, int day, int hour, int minute, int second)
{
    return Clock::TimePoint(std::chrono::seconds(seconds(year, month, day, hour, minute, second)));
}
