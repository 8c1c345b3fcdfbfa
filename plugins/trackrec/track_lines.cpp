#include "plugins/trackrec/track_lines.hpp"

#include <cstdio>
#include <ctime>

namespace tevo::trackrec {

namespace {

constexpr int32_t kFirstYear = 2000;
constexpr int32_t kLastYear = 2199;

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int32_t daysInMonth(int32_t year, int32_t month) {
    constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

std::optional<UtcTime> timeOfFix(const GpsData& r) {
    if (r.year < kFirstYear || r.year > kLastYear || r.month < 1 || r.month > 12)
        return std::nullopt;
    if (r.day < 1 || r.day > daysInMonth(r.year, r.month)) return std::nullopt;
    if (r.hour > 23 || r.minute > 59 || r.second > 60) return std::nullopt;
    return UtcTime{{r.year, r.month, r.day}, r.hour, r.minute, r.second};
}

UtcTime systemTime() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    gmtime_r(&now, &t);
    return UtcTime{{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday}, t.tm_hour, t.tm_min, t.tm_sec};
}

double secondsSinceEpoch(const UtcTime& time) {
    int64_t days =
        daysFromCivil(time.date.year, time.date.month, time.date.day) - daysFromCivil(1899, 12, 30);
    return static_cast<double>(days) * kSecondsPerDay + time.hour * 3600.0 + time.minute * 60.0 +
           time.second;
}

std::string fileNameOf(const UtcDate& date) {
    char name[32];
    std::snprintf(name, sizeof(name), "%04d-%02d-%02d.plt", int(date.year), int(date.month),
                  int(date.day));
    return name;
}

std::string headerLines(const UtcDate& date) {
    char recorded[64];
    std::snprintf(recorded, sizeof(recorded), "Recorded on %04d-%02d-%02d (UTC)\n", int(date.year),
                  int(date.month), int(date.day));
    return std::string("Tevo track\n"
                       "WGS 84\n"
                       "Altitude in metres\n"
                       "Time in days since 1899-12-30 00:00 UTC\n"
                       "latitude,longitude,new segment (1) or not (0),altitude,time\n") +
           recorded;
}

std::string pointLine(const GpsData& record, double seconds, bool newSegment) {
    char line[128];
    int n = std::snprintf(line, sizeof(line), "%.7f,%.7f,%d,%.1f,%.8f\n", double(record.latitude),
                          double(record.longitude), newSegment ? 1 : 0, double(record.altitude),
                          seconds / kSecondsPerDay);
    if (n <= 0 || n >= int(sizeof(line))) return {};
    return std::string(line, static_cast<std::size_t>(n));
}

} // namespace tevo::trackrec
