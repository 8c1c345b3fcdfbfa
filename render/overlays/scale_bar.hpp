// The scale bar: a round distance that fits the layout's maximum length,
// drawn as five black and white segments with the distance written above.
#pragma once

#include "render/raster/geometry.hpp"

#include <cstdint>
#include <string>

namespace tevo {

class cPainter;
class TextStyle;

struct ScaleBar {
    int32_t metres = 0; // the round distance
    int32_t shown = 0;  // the number written: metres, or whole kilometres
    bool kilometres = false;
    int32_t length = 0;  // bar length in pixels
    std::u16string text; // "400 м", "4 км"
};

// The bar for a zoom of `zoom` pixels per metre and a maximum length in
// pixels: the distance the maximum spans, cut to its leading digit (454 m ->
// 400 m). False (no bar) for a zoom of 0 or below, or a distance too large to
// count in whole metres.
bool scaleBarFor(float zoom, int32_t maxLength, ScaleBar& bar);

// Draws the bar centred on at.x with its top at at.y, the text above it from
// the font's glyph strip (which must hold the digits, the space and the unit
// letters), inside the painter's clip rectangle.
void drawScaleBar(cPainter& painter, const TextStyle& font, ScreenPoint at, int32_t maxLength,
                  float zoom);

} // namespace tevo
