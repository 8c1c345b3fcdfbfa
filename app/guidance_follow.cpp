// Guidance from fix to fix: the vehicle matched to the route, a new route
// when it has left it, the arrival; then what the panel and the map show.
#include "app/guidance.hpp"
#include "app/route_state.hpp"

#include "platform/text.hpp"
#include "render/view/map_view.hpp"
#include "render/view/route_line.hpp"

#include <cstdio>
#include <ctime>

namespace tevo {

namespace {

// A new route after this many fixes off the route in a row, or this long.
constexpr int kOffRouteFixes = 3;
constexpr uint32_t kOffRouteMs = 3000;
// The arrival message stays this long.
constexpr uint32_t kArrivalShownMs = 10000;
// A course needs this much movement since the fix it is measured from.
constexpr double kCourseMetres = 3;
// A destination that cannot be routed to is tried again this much later.
constexpr uint32_t kRetryMs = 5000;

void arrive(AppState& app) {
    std::printf("Route: arrived at the destination\n");
    clearDestination(app);
    app.routing->arrivalUntilTick = SDL_GetTicks() + kArrivalShownMs;
}

void leaveRoute(AppState& app, route::LonLat at, std::optional<double> course) {
    RouteState& r = *app.routing;
    const uint32_t now = SDL_GetTicks();
    if (r.offFixes++ == 0) r.offSinceTick = now;
    if (r.offFixes < kOffRouteFixes && now - r.offSinceTick < kOffRouteMs) return;
    std::printf("Route: off the route for %d fixes; a new route\n", r.offFixes);
    computeRoute(app, at, course);
}

// The course from the last position that lies far enough behind.
std::optional<double> courseTo(RouteState& r, route::LonLat at) {
    std::optional<double> course;
    if (r.lastPosition && route::metresBetween(*r.lastPosition, at) < kCourseMetres) return course;
    if (r.lastPosition) course = route::bearingBetween(*r.lastPosition, at);
    r.lastPosition = at;
    return course;
}

void followRoute(AppState& app, route::LonLat at, std::optional<double> course) {
    RouteState& r = *app.routing;
    if (route::metresBetween(at, r.route.points.back()) <= kArrivalMetres) {
        arrive(app);
        return;
    }
    const auto match = matchOnRoute(r.route.points, r.along, r.driven, at, course);
    if (!match) {
        leaveRoute(app, at, course);
        return;
    }
    r.offFixes = 0;
    r.driven = match->along;
    r.segment = match->segment;
    r.matched = match->point;
    if (r.route.distanceM - r.driven <= kArrivalMetres) arrive(app);
}

// The console names each step as it becomes the next one.
void announce(RouteState& r, size_t next) {
    if (next == r.announcedStep) return;
    r.announcedStep = next;
    const route::RouteStep& step = r.route.steps[next];
    std::printf("Guidance: %s%s%s\n", route::maneuverText(step).c_str(),
                step.street.empty() ? "" : " ", step.street.c_str());
}

void routeTexts(RouteState& r, ScreenSet& screens) {
    const size_t next = nextStep(r.stepStart, r.driven);
    if (next >= r.route.steps.size()) return;
    const route::RouteStep& step = r.route.steps[next];
    const double total = r.route.distanceM;
    const double left = total - r.driven;
    const bool last = next + 1 == r.route.steps.size();
    screens.turnCell = turnCell(step);
    screens.guidanceTexts[TextNextDistance] =
        drivingDistance(last ? left : r.stepStart[next] - r.driven);
    screens.guidanceTexts[TextNextStreet] = toWide(step.street);
    screens.guidanceTexts[TextRouteLeft] = drivingDistance(left);
    const double seconds = total > 0 ? r.route.durationTenths / 10.0 * left / total : 0;
    screens.guidanceTexts[TextArrival] =
        arrivalClock(static_cast<int64_t>(std::time(nullptr)), seconds);
    announce(r, next);
}

} // namespace

void guideRecord(AppState& app, const GpsData& record) {
    if (!routingAvailable(app) || record.fix == FixNone) return;
    RouteState& r = *app.routing;
    const route::LonLat at{record.longitude, record.latitude};
    const std::optional<double> course = courseTo(r, at);
    if (!r.destination) {
        refreshGuidance(app);
        return;
    }
    if (r.hasRoute) {
        followRoute(app, at, course);
    } else if (static_cast<int32_t>(SDL_GetTicks() - r.retryTick) >= 0 &&
               !computeRoute(app, at, course)) {
        r.retryTick = SDL_GetTicks() + kRetryMs;
    }
    refreshGuidance(app);
}

void refreshGuidance(AppState& app) {
    if (!app.routing) return;
    RouteState& r = *app.routing;
    if (app.mapView)
        app.mapView->setRouteLine(r.hasRoute ? mapLine(r.route.points, r.segment + 1, &r.matched)
                                             : std::vector<MapPoint>{});
    if (!app.screens) return;
    ScreenSet& screens = *app.screens;
    screens.turnCell = -1;
    for (std::u16string& text : screens.guidanceTexts) text.clear();
    if (r.arrivalUntilTick != 0 && static_cast<int32_t>(SDL_GetTicks() - r.arrivalUntilTick) < 0) {
        screens.turnCell = kArriveCell;
        screens.guidanceTexts[TextNextStreet] = u"You have arrived";
        return;
    }
    r.arrivalUntilTick = 0;
    if (r.hasRoute) routeTexts(r, screens);
}

} // namespace tevo
