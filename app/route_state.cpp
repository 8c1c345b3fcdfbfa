// The destination and the route: the road graph, the destination file, and
// routes from the vehicle's position.
#include "app/route_state.hpp"

#include "app/guidance.hpp"
#include "map/map_units.hpp"
#include "platform/clock.hpp"
#include "platform/file_output.hpp"
#include "platform/regular_file.hpp"
#include "render/view/map_view.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace tevo {

namespace {

// Positions farther than this from every road are not routed from or to.
constexpr double kSnapMetres = 500;
// The destination file is one short line; more is not a destination file.
constexpr size_t kDestinationFileLimit = 256;

std::optional<route::LonLat> readDestination(const std::string& path) {
    std::FILE* f = openRegularStream(path);
    if (!f) return std::nullopt;
    char text[kDestinationFileLimit + 1];
    const size_t got = std::fread(text, 1, sizeof text, f);
    std::fclose(f);
    std::string why = got > kDestinationFileLimit ? "longer than a destination" : "";
    std::optional<route::LonLat> d;
    if (why.empty()) d = parseDestination({text, got}, &why);
    if (!d) std::printf("%s: %s; no destination\n", path.c_str(), why.c_str());
    return d;
}

void writeDestination(const AppState& app, route::LonLat d) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f %.6f\n", d.lon, d.lat);
    std::string error;
    if (!writeWholeFile(app.pathOf(kDestinationFile), text, &error))
        std::printf("The destination is not kept: %s\n", error.c_str());
}

void dropRoute(RouteState& r) {
    r.hasRoute = false;
    r.route = route::Route{};
    r.along.clear();
    r.stepStart.clear();
    r.driven = 0;
    r.offFixes = 0;
    r.announcedStep = SIZE_MAX;
}

} // namespace

void RouteStateDeleter::operator()(RouteState* state) const {
    delete state;
}

std::optional<route::LonLat> parseDestination(std::string_view text, std::string* why) {
    const std::string copy(text);
    char* end = nullptr;
    const double lon = std::strtod(copy.c_str(), &end);
    const char* rest = end;
    const double lat = std::strtod(rest, &end);
    while (end && (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')) ++end;
    const bool numbers = rest != copy.c_str() && end != rest && end && *end == '\0';
    if (!numbers || !std::isfinite(lon) || !std::isfinite(lat) || std::abs(lon) > 180 ||
        std::abs(lat) > 90) {
        if (why) *why = "not \"LONGITUDE LATITUDE\" in degrees";
        return std::nullopt;
    }
    return route::LonLat{lon, lat};
}

bool routingAvailable(const AppState& app) {
    return app.routing && app.routing->router != nullptr;
}

bool roadsOnMap(const tvr::Box& roads, const BoundsI& map) {
    auto units = [](int32_t e7) {
        return static_cast<int32_t>(std::lround(degreesToMapUnits(e7 * 1e-7)));
    };
    return overlaps({units(roads.minLon), units(roads.minLat), units(roads.maxLon),
                     units(roads.maxLat)},
                    map);
}

void openRouting(AppState& app, const std::string& mapPath) {
    app.routing.reset(new RouteState);
    RouteState& r = *app.routing;
    const std::string graphPath = mapPath.substr(0, mapPath.rfind('.')) + ".tvr";
    std::string error;
    if (!isRegularFile(graphPath)) return;
    if (!r.graph.open(graphPath, &error)) {
        std::printf("%s\n", error.c_str());
        return;
    }
    const MapView* view = app.mapView.get();
    if (view && view->mapOpen() && !roadsOnMap(r.graph.bounds(), view->mapExtent())) {
        std::printf("%s: its roads lie off the map (compiled for another map?): no routes\n",
                    graphPath.c_str());
        return;
    }
    r.router = std::make_unique<route::cRouter>(r.graph);
    r.destination = readDestination(app.pathOf(kDestinationFile));
    // The demonstration drives to where its track ends.
    if (!r.destination && app.demoMode && !app.demoTrack.points.empty()) {
        const GpsData& end = app.demoTrack.points.back();
        r.destination = route::LonLat{end.longitude, end.latitude};
    }
}

void setDestination(AppState& app, route::LonLat destination) {
    if (!routingAvailable(app)) return;
    RouteState& r = *app.routing;
    r.destination = destination;
    r.arrivalUntilTick = 0;
    dropRoute(r);
    writeDestination(app, destination);
    std::printf("Destination %.6f %.6f\n", destination.lon, destination.lat);
    if (r.lastPosition) computeRoute(app, *r.lastPosition, std::nullopt);
    refreshGuidance(app);
}

void clearDestination(AppState& app) {
    if (!app.routing) return;
    RouteState& r = *app.routing;
    r.destination.reset();
    dropRoute(r);
    ::unlink(app.pathOf(kDestinationFile).c_str());
    refreshGuidance(app);
}

bool computeRoute(AppState& app, route::LonLat from, std::optional<double> course) {
    RouteState& r = *app.routing;
    if (!r.router || !r.destination) return false;
    const auto t0 = std::chrono::steady_clock::now();
    const auto start = route::snapToRoad(r.graph, from, kSnapMetres);
    const auto end = route::snapToRoad(r.graph, *r.destination, kSnapMetres);
    dropRoute(r);
    const bool found = start && end &&
                       (course ? r.router->routeHeading(*start, *course, *end, r.route)
                               : r.router->route(*start, *end, r.route));
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (!found) {
        std::printf("Route: no route to the destination\n");
        return false;
    }
    r.hasRoute = true;
    r.along = distancesAlong(r.route.points);
    r.stepStart = stepStarts(r.route.steps);
    r.matched = r.route.points.front();
    r.startedAt = static_cast<int64_t>(std::time(nullptr));
    std::printf("Route: %.1f km, %zu steps, found in %.1f ms\n", r.route.distanceM / 1000,
                r.route.steps.size(), ms);
    return true;
}

} // namespace tevo
