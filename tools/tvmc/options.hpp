// Command line of tvmc.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tevo::tvmc {

inline constexpr uint32_t kDefaultLevels[] = {60, 300, 1800, 7200};
// Cell sizes the grid can address: at least one arc-second, at most the
// whole circle.
inline constexpr uint32_t kMinCellSeconds = 1;
inline constexpr uint32_t kMaxCellSeconds = 360 * 3600;

struct BoundingBox {
    double minLon = 0, minLat = 0, maxLon = 0, maxLat = 0;
};

// Where the location store keeps the nodes' locations (--locations).
enum class LocationPlace : uint8_t {
    Automatic, // in memory while they fit its share of the bound, then on disk
    Memory,    // in memory whatever they take
    Disk,      // in a scratch file from the start
};

struct Options {
    std::vector<std::string> inputs;
    std::string output = "map.tvm";
    std::optional<std::string> name;    // default: the first input's file name
    std::vector<uint32_t> levels;       // ascending cell sizes, arc-seconds
    std::optional<uint32_t> startLevel; // the level written last; default the finest
    std::optional<BoundingBox> bbox;
    struct Position {
        double lon = 0, lat = 0;
    };
    std::optional<Position> start;         // default: the cell with the most objects
    std::optional<uint64_t> memory;        // bytes; default: defaultMemoryBound()
    std::optional<std::string> scratchDir; // default: the output's folder
    LocationPlace locations = LocationPlace::Automatic;
    bool roadGraph = true; // write the road graph (map.tvr) beside the map
    bool nameIndex = true; // write the name index (map.tvn) beside the map
    bool quiet = false;
    bool help = false;
};

// Parses argv; on a usage error returns false with a message in *error.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string* error);

// The box in map units (longitudes west of Greenwich become 180 to 360).
UnitRect toUnitRect(const BoundingBox& box);

// The text of `tvmc --help`.
const char* usageText();

} // namespace tevo::tvmc
