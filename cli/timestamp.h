// Row times: ISO 8601 local time with milliseconds and the UTC offset,
// "2026-12-11T13:30:55.123+01:00", so rows from machines in other zones compare.
#pragma once

#include <chrono>
#include <string>

namespace vantorel::cli {

struct CivilTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;  // 60 for a leap second
    int millisecond = 0;
    long utcOffsetSeconds = 0;  // east of UTC is positive
};

// The offset is written to the minute, as ISO 8601's extended form allows.
std::string iso8601(const CivilTime& time);

// The local time (TZ) at `when`; UTC when the zone cannot be resolved.
CivilTime localCivilTime(std::chrono::system_clock::time_point when);

}  // namespace vantorel::cli
