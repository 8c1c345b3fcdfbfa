// The car profile: which ways a car may drive, in which directions, how
// fast, and which turn restrictions bind it. One table (car_profile.cpp),
// shown in docs/routing.md.
#pragma once

#include "route/tvr_format.hpp"
#include "tools/tvmc/type_table.hpp"

#include <optional>

namespace tevo::tvmc {

struct CarWay {
    tvr::RoadClass roadClass = tvr::RoadClass::Road;
    double kmh = 0;
    bool forward = true, backward = true; // along the way's node order, against it
    bool roundabout = false;
};

// The way as a car sees it, or nothing when a car may not drive it.
std::optional<CarWay> carWay(const TagGet& tags);

// The speed a `maxspeed` value gives: "50" (km/h), "30 mph", "50 km/h";
// nothing for other values ("none", "signals", "DE:urban").
std::optional<double> maxspeedKmh(const char* value);

enum class RestrictionKind { NotForCars, No, Only };

// Whether a relation is a turn restriction that binds cars, and which kind:
// `type=restriction` with `restriction` or `restriction:motorcar` (the more
// specific one wins) = `no_*` or `only_*`, unless `except` names cars.
RestrictionKind carRestriction(const TagGet& tags);

} // namespace tevo::tvmc
