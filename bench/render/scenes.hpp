// Frames' worth of map-like shapes for the rasteriser benchmark, the same for
// every renderer and every run.
#pragma once

#include "render/raster/geometry.hpp"

#include <cstdint>
#include <vector>

namespace tevo::bench {

constexpr int kWidth = 480;
constexpr int kHeight = 640;

struct PolygonShape {
    std::vector<ScreenPoint> points;
    uint32_t colour; // 0x00BBGGRR
};

struct LineShape {
    std::vector<ScreenPoint> points;
    int32_t width;
    uint32_t pattern; // 16-bit dash mask
    uint32_t colour;
};

struct DiscShape {
    int32_t cx, cy, inner, outer; // inner < 0: a disc
    uint32_t colour;
};

// Convex and concave polygons of 3 to 300 vertices, many partly off-screen.
std::vector<PolygonShape> polygonScene();
// Polylines of widths 1 to 8, solid and dashed, some leaving the screen.
std::vector<LineShape> lineScene();
std::vector<DiscShape> discScene();

} // namespace tevo::bench
