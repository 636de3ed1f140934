#include "cli/timestamp.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vantorel::cli {

std::string iso8601(const CivilTime& t) {
    const long offsetMinutes = std::labs(t.utcOffsetSeconds) / 60;
    std::array<char, 64> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld", t.year,
                                t.month, t.day, t.hour, t.minute, t.second, t.millisecond,
                                t.utcOffsetSeconds < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    if (n < 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n) < buffer.size() ? static_cast<std::size_t>(n)
                                                                                  : buffer.size() - 1);
}

CivilTime localCivilTime(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    // floor, not a cast: a time before 1970 must not gain a second.
    const auto seconds = floor<std::chrono::seconds>(when);
    const auto millis = duration_cast<milliseconds>(when - seconds).count();
    const std::time_t whole = system_clock::to_time_t(system_clock::time_point(seconds));
    std::tm tm{};
    CivilTime out;
    if (localtime_r(&whole, &tm) != nullptr) {
        out.utcOffsetSeconds = tm.tm_gmtoff;
    } else if (gmtime_r(&whole, &tm) == nullptr) {
        return out;
    }
    out.year = tm.tm_year + 1900;
    out.month = tm.tm_mon + 1;
    out.day = tm.tm_mday;
    out.hour = tm.tm_hour;
    out.minute = tm.tm_min;
    out.second = tm.tm_sec;
    out.millisecond = static_cast<int>(millis);
    return out;
}

}  // namespace vantorel::cli
