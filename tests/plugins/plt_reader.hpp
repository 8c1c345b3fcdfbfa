// A small reader of track files by the rules the program's track reader
// follows, written apart from the recorder: six header lines are skipped;
// each further non-empty line of at most 255 characters is one point of five
// comma-separated fields (latitude, longitude, ignored, altitude, days), each
// converted with atof.
#pragma once

#include <string>
#include <vector>

namespace tevo::test {

struct PltPoint {
    double latitude;
    double longitude;
    double segment; // the third field, which the program ignores
    double altitude;
    double days;
};

struct PltFile {
    bool opened = false;
    std::vector<std::string> header;
    std::vector<PltPoint> points;
    // What a careful reader would object to, empty when nothing: a missing
    // header line, a line without LF at the end, a line too long, a point
    // line that is not five numbers, times that do not grow.
    std::vector<std::string> problems;
};

PltFile readPlt(const std::string& path);

} // namespace tevo::test
