#include "plugins/plt_reader.hpp"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

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
    static const std::regex kPoint(R"(^-?\d+\.\d+,-?\d+\.\d+,[01],-?\d+(\.\d+)?,\d+\.\d+$)");
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
        if (!std::regex_match(line, kPoint)) file.problems.push_back("not a point: " + line);
        file.points.push_back(pointOf(line));
        if (file.points.back().days <= lastDays) file.problems.push_back("time not growing");
        lastDays = file.points.back().days;
    }
    if (file.header.size() < kHeaderLines) file.problems.push_back("header cut");
    return file;
}

} // namespace tevo::test
