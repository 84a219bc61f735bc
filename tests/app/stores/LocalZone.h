#pragma once

#include "threads/Clock.h"

#include <cstdint>

// The tests of local-time rules run in a fixed zone that is not UTC (US Eastern rules, given
// as a POSIX TZ text so that no zone database is needed), set before any test thread starts,
// so that a rule read in UTC by mistake fails.
namespace LocalZone {

// The zone's TZ text.
inline constexpr const char* tz = "EST5EDT,M3.2.0,M11.1.0";

// The instant of a local date and time in the test zone.
Clock::TimePoint at(int year, int month, int day, int hour, int minute, int second = 0);
// The same in seconds since 1970.
std::int64_t seconds(int year, int month, int day, int hour, int minute, int second = 0);

} // namespace LocalZone
