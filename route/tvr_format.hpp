// Byte layout of the road graph file `map.tvr`: the records, the header and
// the section table that the writer in tvmc and the reader (road_graph.cpp)
// share. docs/route-file.md describes the format in words.
//
// Every record is little-endian with 4-byte fields, so a mapped file is read
// in place; the reader checks each section's place and every index in it
// before anything uses them.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace tevo::tvr {

static_assert(std::endian::native == std::endian::little,
              "map.tvr is read in place and its records are little-endian");

inline constexpr std::array<uint8_t, 4> kMagic = {'T', 'V', 'R', 0x1A};
inline constexpr uint32_t kVersion = 1;

// Positions: degrees times 10^7, as OpenStreetMap stores them.
inline constexpr double kCoordScale = 1e7;

struct Coord {
    int32_t lon = 0, lat = 0;
};
static_assert(sizeof(Coord) == 8);

// Road classes, in the car profile's order (docs/routing.md).
enum class RoadClass : uint8_t {
    Motorway,
    Trunk,
    Primary,
    Secondary,
    Tertiary,
    Unclassified,
    Residential,
    LivingStreet,
    Service,
    Road,
};
inline constexpr unsigned kRoadClassCount = 10;

// A road segment between two junctions: one piece of one way, its shape
// points in the Points section. Its two directions of travel are the nodes
// of the routing graph: 2*e along the way's node order, 2*e+1 against it.
struct Edge {
    uint32_t from = 0, to = 0; // junctions at the way's first and last node
    uint32_t costFlags = 0;    // travel time (tenths of a second) and kEdge* flags
    uint32_t nameClass = 0;    // name index and road class
};
static_assert(sizeof(Edge) == 16);

inline constexpr uint32_t kCostMask = 0x00FFFFFF;
inline constexpr uint32_t kMaxCost = kCostMask;
inline constexpr uint32_t kEdgeForward = 1u << 24;  // may be driven from `from` to `to`
inline constexpr uint32_t kEdgeBackward = 1u << 25; // may be driven from `to` to `from`
inline constexpr uint32_t kEdgeRoundabout = 1u << 26;
// Some turns are banned for a vehicle arriving along this direction: look it
// up in the TurnBans section.
inline constexpr uint32_t kEdgeBansForward = 1u << 27;
inline constexpr uint32_t kEdgeBansBackward = 1u << 28;
inline constexpr uint32_t kEdgeKnownFlags = 0x1F000000;

inline constexpr uint32_t kNameMask = 0x0FFFFFFF;
inline constexpr unsigned kClassShift = 28;

// A turn that the graph forbids: from one direction of travel into another,
// at the junction where the first ends. Sorted by (from, to).
struct TurnBan {
    uint32_t from = 0, to = 0;
};
static_assert(sizeof(TurnBan) == 8);

// A shortcut of the contraction hierarchy: a path between two junctions
// through junctions of lower rank, stored with the lower-ranked of its two
// ends (the owner of the section entry). A search needs the roads it begins
// and ends along, to know which turns lead into it and out of it: the one
// at the owner is an arm number there, the one at the far end a direction
// of travel, whose own junction is the far end. It stands for the paths
// through `middle`, whose rank is below both ends. A loop begins and ends
// at its owner, and `farRoad` is the road it arrives back along.
struct Shortcut {
    uint32_t farRoad = 0;     // forward: its last road; backward: its first; loop: its last
    uint32_t weightFlags = 0; // tenths of a second, and the kShortcut* flags
    uint32_t middle = 0;      // a junction
    uint16_t nearArm = 0;     // the owner's arm it leaves along (forward, loop) or arrives along
    uint16_t reserved = 0;
};
static_assert(sizeof(Shortcut) == 16);

inline constexpr uint32_t kShortcutBackward = 1u << 31; // from the far end to the owner
inline constexpr uint32_t kShortcutLoop = 1u << 30;     // from the owner back to it
inline constexpr uint32_t kWeightMask = kShortcutLoop - 1;

// A bounding box of the spatial index over the edges (Coord units).
struct Box {
    int32_t minLon = 0, minLat = 0, maxLon = 0, maxLat = 0;
};
static_assert(sizeof(Box) == 16);

// Each box of the spatial index covers this many boxes (or edges) of the
// level below it.
inline constexpr uint32_t kIndexFanout = 16;

enum Section : uint32_t {
    kJunctions,     // Coord per junction
    kArmFirst,      // uint32 per junction + 1: the junction's first entry in kArms
    kArms,          // uint32: the direction of travel leaving the junction along each road
    kEdges,         // Edge per edge, in the order of the spatial index
    kPointFirst,    // uint32 per edge + 1: the edge's first shape point
    kPoints,        // Coord: shape points between each edge's two junctions
    kNameFirst,     // uint32 per name + 1: the name's first byte in kNameText
    kNameText,      // UTF-8 bytes
    kTurnBans,      // TurnBan
    kRanks,         // uint32 per junction: its contraction rank
    kShortcutFirst, // uint32 per junction + 1: its first entry in kShortcuts
    kShortcuts,     // Shortcut
    kIndexBoxes,    // Box: the spatial index, leaves first, then each level above
    kSectionCount
};

inline constexpr std::array<uint32_t, kSectionCount> kRecordSize = {
    sizeof(Coord),   4, 4, sizeof(Edge),     4,          sizeof(Coord), 4, 1,
    sizeof(TurnBan), 4, 4, sizeof(Shortcut), sizeof(Box)};

inline constexpr std::array<const char*, kSectionCount> kSectionName = {
    "junctions",      "arm index",  "arms",         "edges",     "point index",
    "points",         "name index", "names",        "turn bans", "ranks",
    "shortcut index", "shortcuts",  "spatial index"};

struct SectionEntry {
    uint64_t offset = 0; // from the start of the file, a multiple of 8
    uint64_t count = 0;  // records
};
static_assert(sizeof(SectionEntry) == 16);

struct Header {
    std::array<uint8_t, 4> magic = kMagic;
    uint32_t version = kVersion;
    uint32_t sectionCount = kSectionCount;
    uint32_t reserved = 0;
    std::array<SectionEntry, kSectionCount> sections{};
};
static_assert(sizeof(Header) == 16 + 16 * kSectionCount);

inline constexpr uint64_t kSectionAlign = 8;

// Boxes in each level of the spatial index over `edges` edges, leaves first.
template <typename F> void forEachIndexLevel(uint64_t edges, F f) {
    uint64_t below = edges;
    do {
        below = (below + kIndexFanout - 1) / kIndexFanout;
        f(below);
    } while (below > 1);
}

inline uint64_t indexBoxCount(uint64_t edges) {
    uint64_t total = 0;
    if (edges > 0) forEachIndexLevel(edges, [&total](uint64_t n) { total += n; });
    return total;
}

} // namespace tevo::tvr
