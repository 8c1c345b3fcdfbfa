#include "tools/tvmc/road_graph/car_profile.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tevo::tvmc {

namespace {

using tvr::RoadClass;

struct RoadSpeed {
    const char* highway;
    RoadClass roadClass;
    double kmh;
};

// Every highway value a car drives on, with its speed in km/h; a *_link
// drives at the speed of its road class. Every other value is left out.
constexpr RoadSpeed kCarRoads[] = {
    {"motorway", RoadClass::Motorway, 110},
    {"motorway_link", RoadClass::Motorway, 110},
    {"trunk", RoadClass::Trunk, 90},
    {"trunk_link", RoadClass::Trunk, 90},
    {"primary", RoadClass::Primary, 70},
    {"primary_link", RoadClass::Primary, 70},
    {"secondary", RoadClass::Secondary, 60},
    {"secondary_link", RoadClass::Secondary, 60},
    {"tertiary", RoadClass::Tertiary, 50},
    {"tertiary_link", RoadClass::Tertiary, 50},
    {"unclassified", RoadClass::Unclassified, 40},
    {"residential", RoadClass::Residential, 30},
    {"living_street", RoadClass::LivingStreet, 10},
    {"service", RoadClass::Service, 15},
    {"road", RoadClass::Road, 30},
};

// Access tags from the most specific to the most general: the first one a
// way carries decides.
constexpr const char* kAccessKeys[] = {"motorcar", "motor_vehicle", "access"};

constexpr double kKmhPerMph = 1.609344;

bool is(const char* value, std::string_view want) {
    return value && want == value;
}

bool carsBarred(const TagGet& tags) {
    for (const char* key : kAccessKeys)
        if (const char* v = tags(key)) return is(v, "no") || is(v, "private");
    return false;
}

} // namespace

std::optional<double> maxspeedKmh(const char* value) {
    if (!value || !(*value >= '0' && *value <= '9')) return std::nullopt;
    char* end = nullptr;
    const double n = std::strtod(value, &end);
    while (*end == ' ') ++end;
    const std::string_view unit = end;
    if (!std::isfinite(n) || n <= 0) return std::nullopt;
    if (unit.empty() || unit == "km/h" || unit == "kmh" || unit == "kph") return n;
    if (unit == "mph") return n * kKmhPerMph;
    return std::nullopt;
}

std::optional<CarWay> carWay(const TagGet& tags) {
    const char* highway = tags("highway");
    if (!highway || is(tags("area"), "yes") || carsBarred(tags)) return std::nullopt;
    const RoadSpeed* road = nullptr;
    for (const RoadSpeed& r : kCarRoads)
        if (std::strcmp(r.highway, highway) == 0) road = &r;
    if (!road) return std::nullopt;
    CarWay way;
    way.roadClass = road->roadClass;
    way.kmh = maxspeedKmh(tags("maxspeed")).value_or(road->kmh);
    way.roundabout = is(tags("junction"), "roundabout");
    const char* oneway = tags("oneway");
    const bool oneByDefault = way.roundabout || std::strcmp(highway, "motorway") == 0;
    if (is(oneway, "yes") || is(oneway, "true") || is(oneway, "1") ||
        (oneByDefault && !is(oneway, "no") && !is(oneway, "-1")))
        way.backward = false;
    else if (is(oneway, "-1"))
        way.forward = false;
    return way;
}

RestrictionKind carRestriction(const TagGet& tags) {
    if (!is(tags("type"), "restriction")) return RestrictionKind::NotForCars;
    const char* value = tags("restriction:motorcar");
    if (!value) value = tags("restriction");
    if (const char* except = tags("except"))
        if (std::strstr(except, "motorcar") || std::strstr(except, "motor_vehicle"))
            return RestrictionKind::NotForCars;
    if (!value) return RestrictionKind::NotForCars;
    if (std::strncmp(value, "no_", 3) == 0) return RestrictionKind::No;
    if (std::strncmp(value, "only_", 5) == 0) return RestrictionKind::Only;
    return RestrictionKind::NotForCars;
}

} // namespace tevo::tvmc
