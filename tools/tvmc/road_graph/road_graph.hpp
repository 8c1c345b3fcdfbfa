// The road graph stage of tvmc: from the roads collected during the read to
// `map.tvr` beside the map, and the lines it adds to tvmc's summary.
#pragma once

#include "tools/tvmc/road_graph/road_collector.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

namespace tevo::tvmc {

class ProgressLine;
class ScratchSpace;

struct RoadGraphStats {
    std::string output;
    uint64_t roadNodes = 0; // nodes of drivable ways
    uint64_t junctions = 0, edges = 0;
    uint64_t directions = 0; // nodes of the routing graph: drivable directions of the edges
    uint64_t shortcuts = 0, bannedTurns = 0;
    RestrictionStats restrictions;
    uint64_t bytes = 0;
    double seconds = 0;
};

// The road graph's file for a map file: its name with ".tvm" replaced by
// ".tvr" (or ".tvr" added), in the same folder.
std::string roadGraphPath(const std::string& mapPath);

// Builds the graph, contracts it and writes it to `path`; the contraction
// is a pass of `progress` (may be null).
// The shortcuts made wait in `scratch` beyond shortcutMemory bytes.
bool compileRoadGraph(RoadCollection&& roads, const std::string& path, ScratchSpace& scratch,
                      uint64_t shortcutMemory, RoadGraphStats& stats, std::string* error,
                      ProgressLine* progress = nullptr);

void printRoadGraphSummary(std::FILE* out, const RoadGraphStats& stats);

} // namespace tevo::tvmc
