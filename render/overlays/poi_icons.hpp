// POI icons: the table from POI types to icons of the icon sheet, and the
// drawing of one icon centred on its POI (pass 4 of the frame).
#pragma once

#include "render/raster/geometry.hpp"

#include <cstdint>

namespace tevo {

class cPainter;
struct Sprite;

inline constexpr int kPoiIconCount = 315;

// The icon of a POI type: its position in the table, or -1 for a type
// without icon.
int32_t poiIconIndex(int32_t type);

// The type code at a table position, or -1 outside the table.
int32_t poiIconType(int32_t index);

// Draws the icon of `type` from the sheet (frames of the layout's icon size)
// centred on `at`, inside the painter's clip rectangle. False when the sheet
// is not loaded, the type has no icon, or its frame lies outside the sheet.
// The sheet's source corner is left on the icon's frame.
bool drawPoiIcon(cPainter& painter, Sprite& sheet, int32_t type, ScreenPoint at);

} // namespace tevo
