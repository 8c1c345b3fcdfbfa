// What the road graph needs from the OSM read: the ways a car may drive
// (their node ids and positions, speed, directions, name) and the turn
// restrictions, held compactly until the graph is built after the map.
//
// Memory: a few bytes per node of a drivable way (its id and position, each
// as its difference from the node before, packed until the graph is built),
// 32 per way, each distinct street name once; the other nodes and ways of
// the input cost nothing here. It keeps to its share of the run's memory
// bound as the name index does, and unpacked to the share that building the
// graph may take: beyond either, what it holds is dropped and the run ends
// with a message after the read.
#pragma once

#include "route/tvr_format.hpp"
#include "tools/tvmc/feature.hpp"
#include "tools/tvmc/memory_budget.hpp"
#include "tools/tvmc/osm_observer.hpp"
#include "tools/tvmc/osm_reader.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace tevo::tvmc {

struct CollectedWay {
    int64_t id = 0;
    uint32_t firstNode = 0; // into RoadCollection::nodeIds and coords
    uint32_t nodeCount = 0;
    uint32_t name = 0; // into RoadCollection::names
    float kmh = 0;
    tvr::RoadClass roadClass = tvr::RoadClass::Road;
    bool forward = true, backward = true, roundabout = false;
};

// Its from and to ways (ids) lie in RoadCollection::restrictionWays, one
// after the other, so that a restriction takes no memory of its own.
struct CollectedRestriction {
    int64_t via = 0; // node id
    uint32_t firstWay = 0, fromWays = 0, toWays = 0;
    bool only = false; // only_*: every other turn is banned
};

struct RestrictionStats {
    uint64_t read = 0;      // relations that bind cars
    uint64_t viaWays = 0;   // left out: the via member is a way
    uint64_t malformed = 0; // left out: members missing or of the wrong kind
    uint64_t applied = 0;   // turned into banned turns (counted by the builder)
    uint64_t unmatched = 0; // left out: ways or node not among the drivable roads
};

struct RoadCollection {
    std::vector<CollectedWay> ways;
    std::vector<int64_t> nodeIds;
    std::vector<tvr::Coord> coords;
    std::vector<std::string> names{std::string()}; // 0: no name
    std::vector<CollectedRestriction> restrictions;
    std::vector<int64_t> restrictionWays;
    RestrictionStats restrictionStats;

    std::span<const int64_t> fromWays(const CollectedRestriction& r) const {
        return {restrictionWays.data() + r.firstWay, r.fromWays};
    }
    std::span<const int64_t> toWays(const CollectedRestriction& r) const {
        return {restrictionWays.data() + r.firstWay + r.fromWays, r.toWays};
    }
};

class RoadCollector : public OsmObserver {
public:
    // What it holds may take `memoryShare` bytes, unpacked `buildShare`
    // (0: no bound), of the run's `bound`.
    explicit RoadCollector(std::optional<UnitRect> cut, uint64_t memoryShare = 0,
                           uint64_t buildShare = 0, uint64_t bound = 0)
        : cut_(cut), share_(memoryShare, bound, "the road graph", "--no-road-graph"),
          build_(buildShare, bound, "the road graph", "--no-road-graph",
                 "a third of --memory, for building it after the map") {}

    void way(const osmium::Way& way) override;
    void relation(const osmium::Relation& relation) override;
    void widenShare(uint64_t bytes, uint64_t locations) override { share_.widen(bytes, locations); }
    // False when what it holds outgrew its share.
    bool finish(std::string* error) override;

    // What was collected, the nodes unpacked.
    RoadCollection take();

private:
    uint32_t nameIndex(const char* name);
    void addRun(const CollectedWay& proto);
    uint64_t bytes() const;
    uint64_t unpackedBytes() const;
    // Counts a way against the shares; true once one is outgrown.
    bool outgrown();
    bool leftOut() const { return share_.outgrown() || build_.outgrown(); }

    std::optional<UnitRect> cut_;
    OutputShare share_, build_;
    uint64_t nameBytes_ = 0;
    RoadCollection roads_; // nodeIds and coords stay empty until take()
    std::unordered_map<std::string, uint32_t> nameIndex_;
    // The nodes of the ways kept so far, packed, and of the run being read.
    std::vector<uint8_t> packed_;
    uint32_t packedNodes_ = 0;
    int64_t lastId_ = 0;
    tvr::Coord lastCoord_;
    std::vector<int64_t> runIds_;
    std::vector<tvr::Coord> runCoords_;
};

} // namespace tevo::tvmc
