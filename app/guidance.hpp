// Guidance along a route, as plain functions of the route and a fix: where
// on the route the vehicle is, which step comes next, and the texts and the
// picture the guidance panel shows.
#pragma once

#include "route/router.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tevo {

// A fix is on the route when the route passes within this many metres with
// a course that agrees.
inline constexpr double kOnRouteMetres = 40;
// The destination is reached this near.
inline constexpr double kArrivalMetres = 25;

// Metres from the start of a line at each of its points.
std::vector<double> distancesAlong(const std::vector<route::LonLat>& line);
// Metres from the start of the route where each step begins.
std::vector<double> stepStarts(const std::vector<route::RouteStep>& steps);

struct RouteMatch {
    double along = 0;    // metres from the route's start
    size_t segment = 0;  // from point `segment` to the next
    route::LonLat point; // the point on the route
};

// The route's point nearest to `at` among those not behind `driven` (a
// little slack for the receiver's scatter), within kOnRouteMetres, on a
// segment whose bearing agrees with `course` when the course is known.
std::optional<RouteMatch> matchOnRoute(const std::vector<route::LonLat>& line,
                                       const std::vector<double>& along, double driven,
                                       route::LonLat at, std::optional<double> course);

// The first step that begins ahead of `driven`; the last step (the arrival)
// when every other is behind.
size_t nextStep(const std::vector<double>& starts, double driven);

// A distance as drivers read it: 50 m steps below 1 km ("350 m"), tenths of
// a kilometre below 10 km ("2.4 km"), whole kilometres beyond ("17 km").
std::u16string drivingDistance(double metres);
// The clock time in `seconds` from `now` (local time), "HH:MM".
std::u16string arrivalClock(int64_t now, double seconds);

// The cells of the turn sheet (pictures/turns.png, kTurnColumns cells of
// kTurnCell pixels a row): the turns in Maneuver order from Straight to
// KeepRight, then the arrival, then roundabouts by exit 1 to kRoundaboutExits.
inline constexpr int32_t kTurnCell = 64;
inline constexpr int32_t kTurnColumns = 5;
inline constexpr int32_t kArriveCell = 10;
inline constexpr int32_t kRoundaboutCell = 11;
inline constexpr int32_t kRoundaboutExits = 8;
int32_t turnCell(const route::RouteStep& step);

} // namespace tevo
