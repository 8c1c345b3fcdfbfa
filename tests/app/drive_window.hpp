// The real program in a private X server, watched while it follows a drive:
// screenshots of its window, the drawn track around the pointer and the
// position it writes into config.xml at exit.
#pragma once

#include "support/program_window.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tevo::test {

inline constexpr int kStartMs = 15000;
// Where the layout of the program folder puts the pointer.
inline constexpr int kPointerX = 240;
inline constexpr int kPointerY = 480;
// Map units per degree.
inline constexpr double kUnitsPerDegree = (1 << 26) / 360.0;

// The smallest difference of the rows top to bottom when `b` is moved by up
// to `shift` pixels each way (in steps of 2): the same map drawn again from
// stored numbers may land a few pixels off.
inline double shiftedDifference(const Shot& a, const Shot& b, int top, int bottom, int shift) {
    double best = 1;
    for (int dy = -shift; dy <= shift; dy += 2)
        for (int dx = -shift; dx <= shift; dx += 2) {
            size_t n = 0, all = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = shift; x < kWidth - shift; ++x) {
                    n += a.at(x, y) != b.at(x + dx, y + dy);
                    ++all;
                }
            best = std::min(best, static_cast<double>(n) / all);
        }
    return best;
}

// Pixels of the track's magenta within `r` of (cx, cy).
inline int trackPixels(const Shot& shot, int cx, int cy, int r) {
    int n = 0;
    for (int y = std::max(0, cy - r); y <= std::min(kHeight - 1, cy + r); ++y)
        for (int x = std::max(0, cx - r); x <= std::min(kWidth - 1, cx + r); ++x) {
            const uint32_t c = shot.at(x, y);
            n += (c >> 16) > 200 && ((c >> 8) & 0xFF) < 80 && (c & 0xFF) > 200;
        }
    return n;
}

// The latitude and longitude pairs of a track file.
inline std::vector<std::pair<double, double>> trackPoints(const std::string& path) {
    std::istringstream in(readFile(path));
    std::string line;
    std::vector<std::pair<double, double>> out;
    for (int i = 0; std::getline(in, line); ++i) {
        double lat = 0, lon = 0;
        if (i >= 6 && std::sscanf(line.c_str(), "%lf,%lf", &lat, &lon) == 2)
            out.emplace_back(lat, lon);
    }
    return out;
}

// Degrees from (lon, lat) to the nearest point of a track.
inline double distanceToTrack(const std::string& path, double lon, double lat) {
    double best = 1e9;
    for (const auto& [plat, plon] : trackPoints(path))
        best = std::min(best, std::hypot(plat - lat, plon - lon));
    return best;
}

class DriveWindow : public ProgramWindow {
protected:
    void start() { startProgram(kStartMs); }
    void stop() { closeWindow(kStartMs); }
    // The text of a settings element of the last run, such as "<viewto>".
    std::string storedValue(const std::string& element) const {
        const std::string xml = readFile(folder.file("config.xml"));
        const size_t at = xml.find(element);
        if (at == std::string::npos) return {};
        const size_t begin = at + element.size();
        return xml.substr(begin, xml.find('<', begin) - begin);
    }
    // The settings' position of the last run, as "lon,lat".
    bool storedPosition(double& lon, double& lat) const {
        return std::sscanf(storedValue("<mapposabs>").c_str(), "%lf,%lf", &lon, &lat) == 2;
    }
};

} // namespace tevo::test
