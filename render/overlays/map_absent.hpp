// The texts drawn instead of the map: no map file, or a view off the map.
#pragma once

#include "render/raster/geometry.hpp"

#include <string>

namespace tevo {

class TextStyle;

// Three lines centred on the principal point x: the Russian and English
// notices that the map file is absent, and the path where it was looked for
// (program folder + "map.tvm"). Measured with the font itself; nothing
// without a font.
void drawMapAbsent(TextStyle& font, ScreenPoint principal, const std::string& programFolder);

// "Вне карты/Out of map" centred on the principal point.
void drawOutOfMap(TextStyle& font, ScreenPoint principal);

} // namespace tevo
