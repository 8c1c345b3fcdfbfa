// The destination, the route to it and where the vehicle is on it. The
// destination is kept in the program folder's destination.txt across
// restarts; the route is computed on the road graph beside the map
// (map.tvr), from the vehicle's last position, and again whenever the
// vehicle leaves it.
#pragma once

#include "app/app_state.hpp"
#include "render/raster/geometry.hpp"
#include "route/router.hpp"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tevo {

struct RouteState {
    route::cRoadGraph graph; // closed when the map has no road graph
    std::unique_ptr<route::cRouter> router;
    std::optional<route::LonLat> destination;

    bool hasRoute = false;
    route::Route route;
    std::vector<double> along;       // metres from the start at each point
    std::vector<double> stepStart;   // metres from the start where each step begins
    double driven = 0;               // metres of the route behind the vehicle
    size_t segment = 0;              // the route's segment the vehicle is on
    route::LonLat matched;           // the vehicle's place on the route
    int64_t startedAt = 0;           // when the route was computed (seconds)
    size_t announcedStep = SIZE_MAX; // the step the console last named

    // The last fix's position: the course is the bearing from it.
    std::optional<route::LonLat> lastPosition;
    // Fixes off the route in a row, and when the first of them came.
    int offFixes = 0;
    uint32_t offSinceTick = 0;
    // The arrival message shows until this tick; 0 when it does not.
    uint32_t arrivalUntilTick = 0;
    // A destination that could not be routed to is tried again from then on.
    uint32_t retryTick = 0;
};

// The file that keeps the destination, in the program folder.
inline constexpr const char* kDestinationFile = "destination.txt";

// "LON LAT" in degrees; nothing (with the reason in *why) for anything else.
std::optional<route::LonLat> parseDestination(std::string_view text, std::string* why);

// Whether a road graph bounded by `roads` (degrees times 10^7) lies on a
// map whose data fill `map` (map units): one compiled for another region
// would route where the map shows nothing.
bool roadsOnMap(const tvr::Box& roads, const BoundsI& map);

// The road graph beside the map and the stored destination; in
// demonstration mode without one, the end of the demonstration drive. A
// graph that is not on the map is refused with a message.
void openRouting(AppState& app, const std::string& mapPath);

// A new destination: stored, and routed to from the vehicle's last position
// when there is one (otherwise from the next fix).
void setDestination(AppState& app, route::LonLat destination);
// No destination, no route, no file.
void clearDestination(AppState& app);
// A route from `from` (heading `course` when known) to the destination;
// false when either is farther than the snap limit from every road or no
// route exists.
bool computeRoute(AppState& app, route::LonLat from, std::optional<double> course);
bool routingAvailable(const AppState& app);

// What a record does to the guidance: matching, leaving the route and a new
// route, arrival; then the panel's texts and the line the view draws.
void guideRecord(AppState& app, const GpsData& record);
// The panel's texts and picture, and the view's route line, from the state.
void refreshGuidance(AppState& app);

} // namespace tevo
