// Reading the text of one field: whole numbers that saturate instead of
// overflowing, decimals that are finite or nothing, angles, times and dates.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tevo::gnss {

// An optional sign and digits, nothing else. Values beyond int32 saturate.
std::optional<int32_t> readInt(std::string_view text);

// An optional sign, digits and a fraction ("12", "-0.5", ".5"); no exponent,
// no blanks. Only finite values.
std::optional<double> readDecimal(std::string_view text);

// ddmm.mmmm (latitude, 2 degree digits) or dddmm.mmmm (longitude, 3): degrees
// are the hundreds of the value, the rest are minutes (below 60). The result
// is within `limit` degrees; `negative` is the southern or western hemisphere.
std::optional<double> readAngle(std::string_view text, double limit, bool negative);

struct TimeOfDay {
    uint8_t hour;
    uint8_t minute;
    uint8_t second; // whole seconds; a fraction is dropped
};
// hhmmss with an optional fraction.
std::optional<TimeOfDay> readTime(std::string_view text);

struct Date {
    uint8_t day;
    uint8_t month;
    int32_t year; // 2000 + the two digits sent
};
// ddmmyy.
std::optional<Date> readDate(std::string_view text);

} // namespace tevo::gnss
