// What the name index collects while the input is read: each name text once,
// and small fixed records that point to them. Towns are found and streets
// merged only after the whole input is read, since place polygons come with
// the areas at its end.
#pragma once

#include "search/name_kind.hpp"
#include "tools/tvmc/feature.hpp"
#include "tools/tvmc/name_index/address_marks.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tevo::tvmc {

inline constexpr uint32_t kNoName = UINT32_MAX;

// Each text once, numbered in the order first seen.
class NamePool {
public:
    uint32_t add(std::string_view text);
    std::string_view text(uint32_t id) const { return *texts_[id]; }
    std::size_t size() const { return texts_.size(); }
    // Bytes held, for the summary.
    uint64_t bytes() const { return bytes_; }

private:
    std::unordered_map<std::string, uint32_t> ids_;
    std::vector<const std::string*> texts_;
    uint64_t bytes_ = 0;
};

// A place, POI or named area: one entry of the index as it is.
struct NamedPoint {
    uint32_t name = kNoName;
    uint32_t city = kNoName; // addr:city
    uint32_t town = kNoName; // found after the read
    TvmPoint at;
    uint16_t type = 0;
    search::NameKind kind = search::NameKind::Poi;
    uint8_t placeRank = 0; // for places: the settlement rank (town_finder.hpp)
};

// One named way of a street; the pieces of a street in one town become one
// entry.
struct StreetPiece {
    uint32_t name = kNoName;
    uint32_t city = kNoName;
    uint32_t town = kNoName;
    TvmPoint middle; // the point halfway along the way
    UnitRect box;
    uint16_t type = 0;
};

// A place mapped as an area: an entry unless a node of the same name lies
// in it, and for a settlement the town of what it encloses.
struct PlaceArea {
    uint32_t name = kNoName;
    uint32_t town = kNoName; // found after the read
    uint8_t rank = 0;
    uint16_t type = 0;
    TvmPoint label;
    UnitRect box;
    std::vector<std::vector<TvmPoint>> rings; // outer rings
    double area = 0;                          // square map units
};

struct NameStore {
    NamePool names;
    std::vector<NamedPoint> points;
    std::vector<StreetPiece> pieces;
    std::vector<PlaceArea> placeAreas;
    AddressMarks addresses;
    // Bytes held, for the summary.
    uint64_t bytes() const;
};

} // namespace tevo::tvmc
