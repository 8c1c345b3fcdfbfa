#include "plugins/nmea/fields.hpp"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace tevo::sentrix {

namespace {

bool isDelimiter(char c) {
    return c == ',' || c == '*' || c == '\r' || c == '\n';
}

// Numbers are read from a terminated copy; a field is short.
std::string terminated(std::string_view text) {
    return std::string(text);
}

} // namespace

std::string_view nextField(std::string_view& line) {
    std::size_t end = 0;
    while (end < line.size() && !isDelimiter(line[end])) ++end;
    std::string_view field = line.substr(0, end);
    line.remove_prefix(end < line.size() ? end + 1 : end);
    return field;
}

int32_t readInt(std::string_view text) {
    std::string copy = terminated(text);
    long value = std::strtol(copy.c_str(), nullptr, 10);
    // atoi of an out-of-range number is undefined; clamp instead.
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

float readFloat(std::string_view text) {
    std::string copy = terminated(text);
    return static_cast<float>(std::strtod(copy.c_str(), nullptr));
}

std::string_view piece(std::string_view text, std::size_t from, std::size_t count) {
    if (from >= text.size()) return {};
    return text.substr(from, count);
}

int32_t readTwoDigits(std::string_view text, std::size_t from) {
    std::string copy = terminated(piece(text, from, 2));
    int value = 0;
    if (std::sscanf(copy.c_str(), "%d", &value) != 1) return 0;
    return value;
}

} // namespace tevo::sentrix
