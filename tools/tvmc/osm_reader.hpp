// Reading stage: OpenStreetMap files (XML, gzip/bzip2 XML, PBF) through
// libosmium into map features, in two passes over the input. The first
// keeps every node's location in the location store, makes the POIs and
// notes the multipolygon and boundary relations; the second reads the ways,
// finds their nodes' locations in the store, makes the lines and assembles
// the areas.
#pragma once

#include "tools/tvmc/feature.hpp"
#include "tools/tvmc/options.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tevo::tvmc {

// The ring assembly of a multipolygon takes time that grows with the square
// of its members. The OSM database holds no relation of more than 32000
// members (its own limit), so a larger one is made up: it is left out and
// counted rather than allowed to hold the compile for hours.
inline constexpr std::size_t kMaxAreaMembers = 32000;

class MemoryBudget;
class OsmObserver;
class ProgressLine;
class ScratchSpace;

struct ReadStats {
    uint64_t nodes = 0, ways = 0, relations = 0, areas = 0;
    uint64_t waysMissingNodes = 0;  // skipped: some node of the way is not in the input
    uint64_t invalidLocations = 0;  // nodes skipped: no position on the globe
    uint64_t areasBroken = 0;       // rings that cross, do not close or hold no surface
    uint64_t relationsTooLarge = 0; // multipolygons of more members than assembled
    uint64_t bytes = 0;             // size of the input files
    uint64_t locationBytes = 0;     // the location store at its largest
    bool locationsOnDisk = false;
    // The further outputs whose finish failed, with the reason.
    std::vector<std::pair<const OsmObserver*, std::string>> leftOut;
};

// Receives every feature, in batches: each reading thread sends its own in
// the order it made them.
using FeatureSink = std::function<void(std::vector<Feature>&&)>;

struct ReadOptions {
    std::optional<UnitRect> cut; // keep only what lies inside (map units)
    FeatureSink features;
    std::vector<OsmObserver*> observers; // further outputs of the run
    const MemoryBudget* budget = nullptr;
    ScratchSpace* scratch = nullptr;
    LocationPlace locations = LocationPlace::Automatic;
    ProgressLine* progress = nullptr; // may be null
};

// Reads every input in turn, twice. On failure (unreadable or malformed
// input, data south of the equator, a scratch file that cannot be written)
// returns false with a message in *error.
bool readOsm(const std::vector<std::string>& inputs, const ReadOptions& options, ReadStats& stats,
             std::string* error);

} // namespace tevo::tvmc
