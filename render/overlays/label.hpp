// The names written over the map in one frame: the label record, the two
// label grids that keep names from crowding, and the rules that order names.
#pragma once

#include "render/raster/geometry.hpp"

#include <cstdint>
#include <string_view>

namespace tevo {

class TextStyle;

enum LabelKind : int32_t {
    kLabelPoi = 0,  // a POI name, drawn above its icon
    kLabelArea = 1, // an area or upper-polygon name, drawn at its anchor
};

// One name of one frame. The name is not owned: it is the map object's name,
// which lives while its block is loaded, longer than the frame.
struct Label {
    ScreenPoint anchor;
    // Text rectangle (POI names only).
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t angle = 0; // degrees, street names
    std::u16string_view name;
    int32_t reserved = -1;
    int32_t priority = 0; // 1 for area names, the object type for POI names
    int32_t type = 0;     // object type; 1 for upper-polygon names
    int32_t kind = kLabelPoi;
};

// Compares names as unsigned 16-bit code units, a shorter name before its
// extensions: negative when a sorts first, 0 when equal.
int compareNames(std::u16string_view a, std::u16string_view b);

// The name label of a POI drawn at `at`, measured with the map font's strip;
// its text rectangle sits above the point by the font's point size.
Label makePoiLabel(ScreenPoint at, std::u16string_view name, int32_t type, const TextStyle& font);

// The name label of an area (pass 1: type = the polygon type) or of an
// upper polygon (pass 3: type = 1).
Label makeAreaLabel(ScreenPoint anchor, std::u16string_view name, int32_t type);

} // namespace tevo
