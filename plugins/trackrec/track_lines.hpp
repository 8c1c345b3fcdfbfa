// The text of a track file: six header lines, then one point a line:
// latitude,longitude,segment,altitude,days — segment is 1 on the first
// point of a segment and 0 after it; days count from 1899-12-30 00:00 UTC
// with the time of day as fraction.
#pragma once

#include "plugin-api/plugin_api.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace tevo::trackrec {

inline constexpr double kSecondsPerDay = 86400.0;

struct UtcDate {
    int32_t year;
    int32_t month;
    int32_t day;
};

struct UtcTime {
    UtcDate date;
    int32_t hour;
    int32_t minute;
    int32_t second;
};

// The fix's own date and time when it carries a valid one.
std::optional<UtcTime> timeOfFix(const GpsData& record);
// The system clock's UTC.
UtcTime systemTime();

// Seconds since 1899-12-30 00:00 UTC.
double secondsSinceEpoch(const UtcTime& time);

// "2026-12-08.plt".
std::string fileNameOf(const UtcDate& date);

// The six header lines, each ending in LF.
std::string headerLines(const UtcDate& date);

// One point line ending in LF.
std::string pointLine(const GpsData& record, double seconds, bool newSegment);

} // namespace tevo::trackrec
