// Snapping a position to the nearest road of the graph.
#pragma once

#include "route/edge_shape.hpp"
#include "route/road_graph.hpp"

#include <cstdint>
#include <optional>

namespace tevo::route {

// A point on a road: on segment `segment` of the edge's line (0 from its
// `from` junction), at `fraction` of the edge's length from `from`.
struct RoadPosition {
    uint32_t edge = 0;
    uint32_t segment = 0;
    double fraction = 0;
    LonLat point;         // the point on the road
    double distanceM = 0; // from the position asked for
};

// The point of a road segment nearest to the position (the position
// projected onto the segment), within maxDistanceM; nothing when no road is
// that near. Every edge of the graph can be driven in at least one direction.
std::optional<RoadPosition> snapToRoad(const cRoadGraph& graph, LonLat position,
                                       double maxDistanceM);

// The position at `fraction` of the edge's length (0 to 1).
RoadPosition positionOnEdge(const cRoadGraph& graph, uint32_t edge, double fraction);

} // namespace tevo::route
