// Reading stage: OpenStreetMap files (XML, gzip/bzip2 XML, PBF) through
// libosmium into map features. Multipolygon and boundary relations are
// assembled into areas in two passes.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace osmium {
class Way;
class Relation;
} // namespace osmium

namespace tevo::tvmc {

// Sees every way, its node locations filled in, and every relation of the
// read: how the road graph takes what it needs from the same pass.
class RoadObserver {
public:
    virtual ~RoadObserver() = default;
    virtual void way(const osmium::Way& way) = 0;
    virtual void relation(const osmium::Relation& relation) = 0;
};

// The ring assembly of a multipolygon takes time that grows with the square
// of its members. The OSM database holds no relation of more than 32000
// members (its own limit), so a larger one is made up: it is left out and
// counted rather than allowed to hold the compile for hours.
inline constexpr std::size_t kMaxAreaMembers = 32000;

struct ReadStats {
    uint64_t nodes = 0, ways = 0, relations = 0, areas = 0;
    uint64_t waysMissingNodes = 0;  // skipped: some node of the way is not in the input
    uint64_t invalidLocations = 0;  // nodes skipped: no position on the globe
    uint64_t areasBroken = 0;       // rings that cross, do not close or hold no surface
    uint64_t relationsTooLarge = 0; // multipolygons of more members than assembled
    uint64_t bytes = 0;             // size of the input files
};

struct ReadOptions {
    std::optional<UnitRect> cut; // keep only what lies inside (map units)
    // Called now and then with the share of the input read so far (0 to 1).
    std::function<void(double)> progress;
    RoadObserver* roads = nullptr; // when set, shown every way and relation
};

struct ReadResult {
    std::vector<Feature> features;
    ReadStats stats;
};

// Reads every input in turn. On failure (unreadable or malformed input,
// data south of the equator) returns false with a message in *error.
bool readOsm(const std::vector<std::string>& inputs, const ReadOptions& options, ReadResult& result,
             std::string* error);

} // namespace tevo::tvmc
