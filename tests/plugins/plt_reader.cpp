#include "plugins/plt_reader.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

namespace tevo::test {

namespace {

constexpr std::size_t kHeaderLines = 6;
constexpr std::size_t kLongestLine = 255;

// The five fields, taken one after the other from the front of the line:
// a field before a comma is removed with its comma; a leading comma gives 0
// and removes nothing; the last text without comma is not removed.
PltPoint pointOf(std::string line) {
    double values[5];
    for (double& value : values) {
        if (!line.empty() && line[0] == ',') {
            value = 0;
            continue;
        }
        std::size_t comma = line.find(',');
        if (comma == std::string::npos) {
            value = std::atof(line.c_str());
            continue;
        }
        value = std::atof(line.substr(0, comma).c_str());
        line.erase(0, comma + 1);
    }
    return {values[0], values[1], values[2], values[3], values[4]};
}

// -?digits.digits
bool isNumber(std::string_view text, bool fraction) {
    if (!text.empty() && text[0] == '-') text.remove_prefix(1);
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view rest = point == std::string_view::npos ? "" : text.substr(point + 1);
    auto digits = [](std::string_view d) {
        return !d.empty() &&
               std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(whole)) return false;
    if (point == std::string_view::npos) return !fraction;
    return digits(rest);
}

// latitude,longitude,0 or 1,altitude,days: five plain numbers.
bool isPointLine(const std::string& line) {
    std::vector<std::string_view> fields;
    std::string_view rest = line;
    for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos;) {
        fields.push_back(rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    fields.push_back(rest);
    return fields.size() == 5 && isNumber(fields[0], true) && isNumber(fields[1], true) &&
           (fields[2] == "0" || fields[2] == "1") && isNumber(fields[3], false) &&
           fields[4].find('-') == std::string_view::npos && isNumber(fields[4], true);
}

} // namespace

PltFile readPlt(const std::string& path) {
    PltFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in) return file;
    file.opened = true;
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    if (!text.empty() && text.back() != '\n') file.problems.push_back("last line without LF");
    std::istringstream lines(text);
    std::size_t number = 0;
    double lastDays = -1;
    for (std::string line; std::getline(lines, line); ++number) {
        if (line.size() > kLongestLine) file.problems.push_back("line too long");
        if (number < kHeaderLines) {
            file.header.push_back(line);
            continue;
        }
        if (line.empty()) continue;
        if (!isPointLine(line)) file.problems.push_back("not a point: " + line);
        file.points.push_back(pointOf(line));
        if (file.points.back().days <= lastDays) file.problems.push_back("time not growing");
        lastDays = file.points.back().days;
    }
    if (file.header.size() < kHeaderLines) file.problems.push_back("header cut");
    return file;
}

} // namespace tevo::test
