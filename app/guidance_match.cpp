// Where on the route the vehicle is, and what the panel says about it.
#include "app/guidance.hpp"

#include "plugin-api/geodesy.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace tevo {

namespace {

// A fix may lie this far behind the last match and still be on the route.
constexpr double kBackSlackMetres = 15;
// Only this far ahead of the last match is searched: a route that comes
// back past the same place later must not pull the vehicle forward.
constexpr double kLookAheadMetres = 1500;
// A segment agrees with the course within this many degrees.
constexpr double kCourseAgreement = 60;

// Flat metres around a point: good to well under a metre across the few
// hundred metres a match looks at.
struct LocalPlane {
    route::LonLat origin;
    double kx;
    explicit LocalPlane(route::LonLat o)
        : origin(o), kx(std::cos(o.lat * geo::kDegToRad) * geo::kEarthRadiusM * geo::kDegToRad) {}
    double x(const route::LonLat& p) const { return (p.lon - origin.lon) * kx; }
    double y(const route::LonLat& p) const {
        return (p.lat - origin.lat) * geo::kEarthRadiusM * geo::kDegToRad;
    }
};

bool courseAgrees(const route::LonLat& a, const route::LonLat& b, std::optional<double> course) {
    if (!course) return true;
    const double bearing = route::bearingBetween(a, b);
    return std::abs(std::remainder(*course - bearing, 360.0)) <= kCourseAgreement;
}

} // namespace

std::vector<double> distancesAlong(const std::vector<route::LonLat>& line) {
    std::vector<double> out(line.size(), 0.0);
    for (size_t i = 1; i < line.size(); ++i)
        out[i] = out[i - 1] + route::metresBetween(line[i - 1], line[i]);
    return out;
}

std::vector<double> stepStarts(const std::vector<route::RouteStep>& steps) {
    std::vector<double> out;
    double at = 0;
    for (const route::RouteStep& s : steps) {
        out.push_back(at);
        at += s.distanceM;
    }
    return out;
}

std::optional<RouteMatch> matchOnRoute(const std::vector<route::LonLat>& line,
                                       const std::vector<double>& along, double driven,
                                       route::LonLat at, std::optional<double> course) {
    const LocalPlane plane(at);
    std::optional<RouteMatch> best;
    double bestDistance = kOnRouteMetres;
    for (size_t i = 0; i + 1 < line.size() && i + 1 < along.size(); ++i) {
        if (along[i + 1] < driven - kBackSlackMetres) continue;
        if (along[i] > driven + kLookAheadMetres) break;
        const double ax = plane.x(line[i]), ay = plane.y(line[i]);
        const double dx = plane.x(line[i + 1]) - ax, dy = plane.y(line[i + 1]) - ay;
        const double length2 = dx * dx + dy * dy;
        const double t = length2 > 0 ? std::clamp(-(ax * dx + ay * dy) / length2, 0.0, 1.0) : 0;
        const double distance = std::hypot(ax + t * dx, ay + t * dy);
        const double there = along[i] + t * (along[i + 1] - along[i]);
        if (distance > bestDistance || there < driven - kBackSlackMetres) continue;
        if (length2 > 0 && !courseAgrees(line[i], line[i + 1], course)) continue;
        bestDistance = distance;
        const route::LonLat p{line[i].lon + t * (line[i + 1].lon - line[i].lon),
                              line[i].lat + t * (line[i + 1].lat - line[i].lat)};
        best = RouteMatch{there, i, p};
    }
    return best;
}

size_t nextStep(const std::vector<double>& starts, double driven) {
    for (size_t i = 1; i < starts.size(); ++i)
        if (starts[i] > driven) return i;
    return starts.empty() ? 0 : starts.size() - 1;
}

std::u16string drivingDistance(double metres) {
    char text[32];
    metres = std::max(0.0, metres);
    if (metres < 975) {
        const long fifties = std::max(1L, std::lround(metres / 50));
        std::snprintf(text, sizeof text, "%ld m", fifties * 50);
    } else if (metres < 9950) {
        std::snprintf(text, sizeof text, "%.1f km", std::round(metres / 100) / 10);
    } else {
        std::snprintf(text, sizeof text, "%.0f km", std::round(metres / 1000));
    }
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string arrivalClock(int64_t now, double seconds) {
    const std::time_t then = static_cast<std::time_t>(now + std::llround(std::max(0.0, seconds)));
    std::tm local{};
    localtime_r(&then, &local);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
    return std::u16string(text, text + 5);
}

int32_t turnCell(const route::RouteStep& step) {
    using route::Maneuver;
    switch (step.maneuver) {
    case Maneuver::Depart:
        return 0;
    case Maneuver::Arrive:
        return kArriveCell;
    case Maneuver::Roundabout:
        return kRoundaboutCell + std::clamp(step.exit, 1, kRoundaboutExits) - 1;
    default:
        return static_cast<int32_t>(step.maneuver) - static_cast<int32_t>(Maneuver::Straight);
    }
}

} // namespace tevo
