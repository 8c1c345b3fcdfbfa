// The town a name lies in: the tag addr:city where the object has it (for a
// street: the town most of its houses' addresses name), else the smallest
// settlement mapped as an area that encloses it, else the settlement node
// that is nearest for its size (a city counts from farther away than a
// hamlet).
#pragma once

#include "tools/tvmc/name_index/name_store.hpp"

#include <cstdint>

namespace tevo::tvmc {

// A value of the place tag that the index names, with its settlement rank
// (0 for a part of a settlement or a named spot, which is no town) and how
// far from its node a settlement of that kind still counts as the town.
struct PlaceKind {
    const char* value;
    uint8_t rank;
    double radiusMetres;
};

// The kind of a place value, or null when the index does not name it.
const PlaceKind* placeKind(const char* value);

// Sets the town of every point and piece of the store. A place's town is a
// settlement of a higher rank than its own.
void findTowns(NameStore& store);

} // namespace tevo::tvmc
