// The road graph before it is written: junctions, edges with their shapes
// and costs, the roads at each junction, the banned turns, and (once
// contracted) the hierarchy. The arrays are those of the file.
#pragma once

#include "route/base_graph.hpp"
#include "route/tvr_format.hpp"
#include "tools/tvmc/road_graph/road_collector.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo::tvmc {

struct RoadNetwork {
    uint64_t roadNodes = 0; // distinct nodes of the collected ways
    std::vector<tvr::Coord> junctions;
    std::vector<uint32_t> armFirst{0};
    std::vector<uint32_t> arms;
    std::vector<tvr::Edge> edges;
    std::vector<uint32_t> pointFirst{0};
    std::vector<tvr::Coord> points;
    std::vector<std::string> names{std::string()};
    std::vector<tvr::TurnBan> bans;
    // The contraction hierarchy (contraction.cpp).
    std::vector<uint32_t> ranks;
    std::vector<uint32_t> shortcutFirst;
    std::vector<tvr::Shortcut> shortcuts;

    route::BaseGraph base() const { return {junctions, armFirst, arms, edges, bans}; }
};

// Splits the collected ways into edges at every node where roads meet or
// end (and at the via node of every restriction), orders the edges along a
// space-filling curve so that neighbours on the map are neighbours in the
// file, and turns the restrictions into banned turns (counted in stats).
// Takes the collection apart as it goes, to keep the peak memory low.
RoadNetwork buildNetwork(RoadCollection&& roads, RestrictionStats& stats);

// Travel time in tenths of a second for a length at a speed, at least 1 (a
// route never gets cheaper by taking a detour) and at most tvr::kMaxCost.
uint32_t travelCost(double metres, double kmh);

} // namespace tevo::tvmc
