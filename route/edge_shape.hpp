// The shapes of edges: the junction at each end and the shape points
// between, as degrees, and lengths along them on the project's one sphere.
#pragma once

#include "route/road_graph.hpp"

#include <cstdint>
#include <vector>

namespace tevo::route {

struct LonLat {
    double lon = 0, lat = 0;
};

inline LonLat toLonLat(const tvr::Coord& c) {
    return {c.lon / tvr::kCoordScale, c.lat / tvr::kCoordScale};
}

double metresBetween(const LonLat& a, const LonLat& b);
// Degrees clockwise from north; 0 for two equal points.
double bearingBetween(const LonLat& a, const LonLat& b);

// Point i of the edge's line, 0 being its `from` junction (i below the
// count of its shape points plus two).
LonLat edgePoint(const cRoadGraph& graph, uint32_t edge, std::size_t i);

// The edge's points from its `from` junction to its `to` junction.
void edgePoints(const cRoadGraph& graph, uint32_t edge, std::vector<LonLat>& out);

// The length of a line of points in metres.
double lineLength(const std::vector<LonLat>& line);

// The bearing at which a direction of travel leaves its tail junction, and
// the one at which it arrives at its head (from the first and the last
// segment that has a length).
double leavingBearing(const cRoadGraph& graph, NodeId x);
double arrivingBearing(const cRoadGraph& graph, NodeId x);

} // namespace tevo::route
