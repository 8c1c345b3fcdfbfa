// What tvmc tells its user: a progress bar while reading large inputs, and a
// summary of the map it wrote.
#pragma once

#include "tools/tvmc/level_builder.hpp"
#include "tools/tvmc/osm_reader.hpp"
#include "tools/tvmc/road_graph/road_graph.hpp"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tevo::tvmc {

// Inputs at least this large get a progress bar.
inline constexpr uint64_t kProgressMinBytes = 4u << 20;

// A one-line bar on a stream (standard error), redrawn in whole percents.
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* out) : out_(out) {}
    ~ProgressBar() { finish(); }
    void update(double fraction);
    void finish(); // ends the line when a bar was drawn

private:
    std::FILE* out_;
    int shown_ = -1;
};

struct CompileSummary {
    std::string output;
    ReadStats read;
    uint64_t features = 0;
    std::vector<LevelStats> levels; // ascending cell size
    uint64_t bytes = 0;
    double seconds = 0;
    std::optional<RoadGraphStats> roads; // when the road graph was written
};

void printSummary(std::FILE* out, const CompileSummary& summary);

} // namespace tevo::tvmc
