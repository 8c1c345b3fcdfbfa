// The spatial index that snapping searches: boxes over runs of edges, which
// lie in the order of a space-filling curve, then boxes over runs of those
// boxes, up to one box over everything.
#pragma once

#include "route/tvr_format.hpp"
#include "tools/tvmc/road_graph/road_network.hpp"

#include <vector>

namespace tevo::tvmc {

// The boxes of every level, leaves first (tvr::forEachIndexLevel).
std::vector<tvr::Box> buildIndexBoxes(const RoadNetwork& net);

} // namespace tevo::tvmc
