#include "tools/nmeasim/sources.hpp"

#include "plugin-api/geodesy.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>

namespace tevo::nmeasim {

namespace {

constexpr int kHeaderLines = 6;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kDefaultCycleSeconds = 1.0;
constexpr double kLongestPause = 5.0;

// Seconds of the day from an hhmmss(.sss) field; negative when there is none.
double secondsOfDay(const std::string& field) {
    if (field.size() < 6) return -1;
    int h = std::atoi(field.substr(0, 2).c_str());
    int m = std::atoi(field.substr(2, 2).c_str());
    double s = std::atof(field.substr(4).c_str());
    return h * 3600 + m * 60 + s;
}

// The time field of a sentence that carries one at its front.
double lineTime(const std::string& line) {
    if (line.size() < 7 || line[0] != '$') return -1;
    std::string kind = line.substr(3, 3);
    if (kind != "RMC" && kind != "GGA") return -1;
    std::size_t comma = line.find(',');
    std::size_t next = line.find(',', comma + 1);
    if (comma == std::string::npos || next == std::string::npos) return -1;
    return secondsOfDay(line.substr(comma + 1, next - comma - 1));
}

} // namespace

bool readTrack(const std::string& path, std::vector<TrackPoint>& points) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    for (int i = 0; i < kHeaderLines && std::getline(in, line); ++i) {}
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string f[5];
        for (std::string& field : f) std::getline(fields, field, ',');
        if (f[0].empty() || f[1].empty()) continue;
        points.push_back({std::atof(f[0].c_str()), std::atof(f[1].c_str()), std::atof(f[3].c_str()),
                          std::atof(f[4].c_str())});
    }
    return !points.empty();
}

std::vector<TrackPoint> builtInLoop() {
    // A circle of about 180 m around a point in the Moscow extract, 60 points.
    constexpr double kCentreLat = 55.815, kCentreLon = 37.605, kRadiusDeg = 0.0008;
    constexpr int kPoints = 60;
    std::vector<TrackPoint> points;
    for (int i = 0; i < kPoints; ++i) {
        double a = 2 * std::numbers::pi * i / kPoints;
        points.push_back({kCentreLat + kRadiusDeg * std::cos(a),
                          kCentreLon + kRadiusDeg * 1.78 * std::sin(a), 150.0, i / kSecondsPerDay});
    }
    return points;
}

SimFix fixAlong(const std::vector<TrackPoint>& points, std::size_t index) {
    const TrackPoint& p = points[index % points.size()];
    const TrackPoint& q = points[(index + 1) % points.size()];
    SimFix fix;
    fix.latitude = p.latitude;
    fix.longitude = p.longitude;
    fix.altitude = p.altitude;
    fix.course = geo::bearingDegrees(p.longitude, p.latitude, q.longitude, q.latitude);
    const double metres = geo::distanceMetres(p.longitude, p.latitude, q.longitude, q.latitude);
    double seconds = (q.days - p.days) * kSecondsPerDay;
    if (!(seconds > 0)) seconds = kDefaultCycleSeconds; // the replay sends one a second
    fix.speedKmh = metres / seconds * 3.6;
    return fix;
}

bool readLog(const std::string& path, std::vector<LogCycle>& cycles) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    double cycleTime = -1;
    LogCycle current{"", kDefaultCycleSeconds};
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#') continue;
        double t = lineTime(line);
        if (t >= 0 && cycleTime >= 0 && t != cycleTime && !current.bytes.empty()) {
            double gap = t - cycleTime;
            current.seconds = (gap > 0 && gap <= kLongestPause) ? gap : kDefaultCycleSeconds;
            cycles.push_back(current);
            current = LogCycle{"", kDefaultCycleSeconds};
        }
        if (t >= 0) cycleTime = t;
        current.bytes += line + "\n";
    }
    if (!current.bytes.empty()) cycles.push_back(current);
    return !cycles.empty();
}

} // namespace tevo::nmeasim
