#include "tools/nmeasim/route_drive.hpp"

#include "route/router.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tevo::nmeasim {

namespace {

constexpr double kSnapMetres = 500;
constexpr double kSecondsPerDay = 86400.0;
constexpr int kStandingSeconds = 30;
// The detour leaves at the first real turn beyond this share of the route,
// and goes this far straight on before it looks for the way back.
constexpr double kDetourFrom = 0.3;
constexpr double kDetourMetres = 150;
// A detour whose far end lies nearer the route than this left nothing.
constexpr double kLeftRouteMetres = 60;

using route::LonLat;

// The point `metres` from `p` on `bearing` (flat, for a few hundred metres).
LonLat ahead(LonLat p, double bearing, double metres) {
    const double r = route::metresBetween({0, 0}, {0, 1}); // metres per degree of latitude
    const double b = bearing * M_PI / 180;
    return {p.lon + metres * std::sin(b) / (r * std::cos(p.lat * M_PI / 180)),
            p.lat + metres * std::cos(b) / r};
}

double nearestOnLine(const std::vector<LonLat>& line, LonLat p) {
    double best = 1e18;
    for (const LonLat& q : line) best = std::min(best, route::metresBetween(p, q));
    return best;
}

// The route's points up to `metres` along it.
std::vector<LonLat> lineUpTo(const std::vector<LonLat>& line, double metres) {
    std::vector<LonLat> out{line.front()};
    double along = 0;
    for (size_t i = 1; i < line.size(); ++i) {
        along += route::metresBetween(line[i - 1], line[i]);
        if (along > metres + 0.5) break;
        out.push_back(line[i]);
    }
    return out;
}

struct Router {
    const route::cRoadGraph& graph;
    route::cRouter router{graph};
    std::optional<route::Route> between(LonLat a, LonLat b, std::optional<double> heading) {
        const auto s = route::snapToRoad(graph, a, kSnapMetres);
        const auto t = route::snapToRoad(graph, b, kSnapMetres);
        route::Route r;
        if (!s || !t) return std::nullopt;
        const bool found =
            heading ? router.routeHeading(*s, *heading, *t, r) : router.route(*s, *t, r);
        return found ? std::optional(r) : std::nullopt;
    }
};

// The line of a drive that leaves `main` once: straight on at a turn.
std::optional<std::vector<LonLat>> detourLine(Router& router, const route::Route& main, LonLat to) {
    double start = 0;
    for (const route::RouteStep& step : main.steps) {
        const bool turn = step.maneuver != route::Maneuver::Depart &&
                          step.maneuver != route::Maneuver::Straight &&
                          step.maneuver != route::Maneuver::Arrive;
        if (turn && start >= kDetourFrom * main.distanceM) {
            std::vector<LonLat> line = lineUpTo(main.points, start);
            if (line.size() < 2) continue;
            const double bearing = route::bearingBetween(line[line.size() - 2], line.back());
            const auto away =
                router.between(line.back(), ahead(line.back(), bearing, kDetourMetres), bearing);
            if (away && away->points.size() >= 2 &&
                nearestOnLine(main.points, away->points.back()) > kLeftRouteMetres) {
                // On from there the way a navigator would send the driver.
                const size_t n = away->points.size();
                const double onward =
                    route::bearingBetween(away->points[n - 2], away->points[n - 1]);
                const auto back = router.between(away->points.back(), to, onward);
                if (back) {
                    line.insert(line.end(), away->points.begin(), away->points.end());
                    line.insert(line.end(), back->points.begin(), back->points.end());
                    return line;
                }
            }
        }
        start += step.distanceM;
    }
    return std::nullopt;
}

// One point a second along the line at `speed` metres a second.
void walk(const std::vector<LonLat>& line, double speed, std::vector<TrackPoint>& out) {
    double second = 0, along = 0, next = 0;
    for (size_t i = 1; i < line.size(); ++i) {
        const double length = route::metresBetween(line[i - 1], line[i]);
        while (next <= along + length) {
            const double t = length > 0 ? (next - along) / length : 0;
            out.push_back({line[i - 1].lat + t * (line[i].lat - line[i - 1].lat),
                           line[i - 1].lon + t * (line[i].lon - line[i - 1].lon), 0,
                           second++ / kSecondsPerDay});
            next += speed;
        }
        along += length;
    }
    for (int k = 0; k < kStandingSeconds; ++k)
        out.push_back({line.back().lat, line.back().lon, 0, second++ / kSecondsPerDay});
}

} // namespace

bool driveRoute(const RouteDrive& drive, std::vector<TrackPoint>& points, std::string& error) {
    route::cRoadGraph graph;
    if (!graph.open(drive.folder + "/map.tvr", &error)) return false;
    Router router{graph};
    const auto main = router.between(drive.from, drive.to, std::nullopt);
    if (!main || main->durationTenths <= 0) {
        error = "no route between the two positions";
        return false;
    }
    std::vector<LonLat> line = main->points;
    if (drive.detour) {
        const auto detour = detourLine(router, *main, drive.to);
        if (!detour) {
            error = "the route has no turn to leave it at";
            return false;
        }
        line = *detour;
    }
    const double speed = main->distanceM / (main->durationTenths / 10.0);
    points.clear();
    walk(line, speed, points);
    return true;
}

} // namespace tevo::nmeasim
