#include "plugins/gnss/fields.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace tevo::gnss {

namespace {

constexpr double kMinutesPerDegree = 60.0;
constexpr double kDegreeScale = 100.0; // ddmm: degrees are the hundreds
constexpr int32_t kCentury = 2000;
constexpr std::size_t kClockDigits = 6;
constexpr std::size_t kDateDigits = 6;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    for (char c : text) {
        if (!isDigit(c)) return false;
    }
    return true;
}

// Two digits at `from`; the caller has checked they are digits.
int32_t pair(std::string_view text, std::size_t from) {
    return (text[from] - '0') * 10 + (text[from + 1] - '0');
}

} // namespace

std::optional<int32_t> readInt(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !allDigits(text)) return std::nullopt;
    int64_t value = 0;
    constexpr int64_t kCeiling = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > kCeiling) value = kCeiling; // saturate, never overflow
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::optional<double> readDecimal(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
    std::size_t point = digits.find('.');
    std::string_view whole = digits.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : digits.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (!allDigits(whole) || !allDigits(fraction)) return std::nullopt;
    // from_chars does not take a leading '+'.
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> readAngle(std::string_view text, double limit, bool negative) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
    std::optional<double> value = readDecimal(text);
    if (!value) return std::nullopt;
    double degrees = std::floor(*value / kDegreeScale);
    double minutes = *value - degrees * kDegreeScale;
    if (!(minutes < kMinutesPerDegree)) return std::nullopt;
    double angle = degrees + minutes / kMinutesPerDegree;
    if (angle > limit) return std::nullopt;
    return negative ? -angle : angle;
}

std::optional<TimeOfDay> readTime(std::string_view text) {
    if (text.size() < kClockDigits || !allDigits(text.substr(0, kClockDigits))) return std::nullopt;
    std::string_view rest = text.substr(kClockDigits);
    if (!rest.empty() && (rest[0] != '.' || !allDigits(rest.substr(1)))) return std::nullopt;
    int32_t hour = pair(text, 0), minute = pair(text, 2), second = pair(text, 4);
    // 60 is a leap second.
    if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
    return TimeOfDay{uint8_t(hour), uint8_t(minute), uint8_t(second)};
}

std::optional<Date> readDate(std::string_view text) {
    if (text.size() != kDateDigits || !allDigits(text)) return std::nullopt;
    int32_t day = pair(text, 0), month = pair(text, 2), year = pair(text, 4);
    if (day < 1 || day > 31 || month < 1 || month > 12) return std::nullopt;
    return Date{uint8_t(day), uint8_t(month), kCentury + year};
}

} // namespace tevo::gnss
