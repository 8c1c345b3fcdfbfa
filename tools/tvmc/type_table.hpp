// OSM tags to the map's object types: the one table a map maker reads and
// changes (documented in docs/map-types.md). Rules are tried in table order
// and the first match decides.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tevo::tvmc {

// Gives the value of a tag, or null when the object lacks it.
using TagGet = std::function<const char*(const char* key)>;

// How far out an object type stays on the map: the coarsest cell size
// (arc-seconds) of a level that carries it. The finest level carries
// everything whatever this says.
inline constexpr uint32_t kEveryLevel = UINT32_MAX;
inline constexpr uint32_t kUpTo1800 = 1800;
inline constexpr uint32_t kUpTo300 = 300;
inline constexpr uint32_t kFinestOnly = 0;

struct TypeChoice {
    uint16_t type = 0;
    uint32_t maxCellSeconds = 0;
};

// The polyline type of a way, or nothing when the way draws no line.
std::optional<TypeChoice> polylineType(const TagGet& tags);

// The polygon type of an area (a closed way or a multipolygon); buildings
// get the upper-polygon type whose drawn height fits them best, which needs
// the footprint's area in square metres when no height is tagged.
std::optional<TypeChoice> polygonType(const TagGet& tags, double squareMetres);

// The POI type of a node, or of an area's label point.
std::optional<TypeChoice> poiType(const TagGet& tags);

// True for areas that draw their outline as a line (administrative borders
// from boundary relations).
std::optional<TypeChoice> borderType(const TagGet& tags);

// The name of an object: `name`, else `name:en`, else `int_name`; roads fall
// back to `ref`, POIs to `brand`. UTF-8 in, UTF-16 out.
std::u16string objectName(const TagGet& tags, ObjectClass cls);
// The same name as it stands in the tags (UTF-8), or null.
const char* objectNameText(const TagGet& tags, ObjectClass cls);

// Every type the table can give objects of a class, ascending, once each;
// the style and display-level files must cover them all.
std::vector<uint16_t> producibleTypes(ObjectClass cls);

// Height in metres that the renderer extrudes each upper-polygon type to.
double drawnHeightOf(uint16_t type);

} // namespace tevo::tvmc
