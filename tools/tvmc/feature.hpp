// What the OSM reading stage hands to the level assembly: map objects with
// their type and name, in map units, before any clipping or simplification.
#pragma once

#include "map/map_units.hpp"
#include "map/tvm_writer.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo::tvmc {

enum class ObjectClass : uint8_t { Poi, Polyline, Polygon };
inline constexpr int kObjectClassCount = 3;

// The OSM object a feature comes from, and its place among the features of
// that object. Features are sorted by it after reading, so that the map (and
// the drawing order within a block) depends on the data, not on the order of
// the objects in the input or on how the input was cut into buffers.
struct SourceRef {
    enum Kind : uint8_t { Node, Way, WayArea, RelationArea };
    int64_t id = 0; // negative for objects not yet uploaded
    uint32_t part = 0;
    Kind kind = Node;
};

inline bool operator<(const SourceRef& a, const SourceRef& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    if (a.id != b.id) return a.id < b.id;
    return a.part < b.part;
}

// A map object. Polygons are one ring (holes already joined in), without
// the closing point repeated; polylines have at least two points.
struct Feature {
    ObjectClass cls = ObjectClass::Poi;
    uint16_t type = 0;
    // Coarsest cell size (arc-seconds) of a level that still carries it.
    uint32_t maxCellSeconds = 0;
    std::u16string name;
    std::vector<TvmPoint> points;
    SourceRef source;
};

// Map units, longitude counted eastward from 0 to 360.
inline constexpr double kUnitsPerDegree = kMapUnitsPerDegree;
inline constexpr double kSecondsPerDegree = 3600.0;

// Rounds a position to map units; longitudes west of Greenwich become
// 180 to 360 degrees because the cell grid counts eastward from 0.
inline TvmPoint toMapUnits(double lon, double lat) {
    if (lon < 0) lon += 360.0;
    const auto round = [](double v) { return static_cast<int32_t>(v >= 0 ? v + 0.5 : v - 0.5); };
    return {round(lon * kUnitsPerDegree), round(lat * kUnitsPerDegree)};
}

// Axis-aligned rectangle in map units, bounds inclusive.
struct UnitRect {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

inline UnitRect boundsOf(const std::vector<TvmPoint>& points) {
    UnitRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const TvmPoint& p : points) {
        r.x0 = std::min(r.x0, p.x);
        r.y0 = std::min(r.y0, p.y);
        r.x1 = std::max(r.x1, p.x);
        r.y1 = std::max(r.y1, p.y);
    }
    return r;
}

} // namespace tevo::tvmc
