// What tvmc tells its user at the end of a run: a summary of the map it
// wrote and of what the run took.
#pragma once

#include "tools/tvmc/level_builder.hpp"
#include "tools/tvmc/name_index/name_index_stage.hpp"
#include "tools/tvmc/osm_reader.hpp"
#include "tools/tvmc/road_graph/road_graph.hpp"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tevo::tvmc {

struct CompileSummary {
    std::string output;
    ReadStats read;
    uint64_t features = 0;
    std::vector<LevelStats> levels; // ascending cell size
    uint64_t bytes = 0;
    double seconds = 0;
    std::optional<RoadGraphStats> roads; // when the road graph was written
    uint64_t peakMemory = 0, memoryBound = 0;
    std::size_t sortRuns = 0;              // loads of cell records sorted on disk; 0: all in memory
    std::optional<NameIndexSummary> names; // when the name index was written
};

void printSummary(std::FILE* out, const CompileSummary& summary);

} // namespace tevo::tvmc
