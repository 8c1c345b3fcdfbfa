// Cutting geometry to a rectangle (a cell, or the bounding box of the run).
#pragma once

#include "tools/tvmc/feature.hpp"

#include <vector>

namespace tevo::tvmc {

// Sutherland-Hodgman against the four sides of `rect` (bounds inclusive).
// A concave ring that the rectangle splits comes out as one ring whose parts
// are joined along the rectangle's border by zero-width edges, which fill
// nothing. Returns an empty ring when less than a triangle remains.
std::vector<TvmPoint> clipPolygon(const std::vector<TvmPoint>& ring, const UnitRect& rect);

// Cuts a polyline into the pieces that lie within `rect`; every piece has at
// least two distinct points, and pieces keep the line's direction.
std::vector<std::vector<TvmPoint>> clipPolyline(const std::vector<TvmPoint>& line,
                                                const UnitRect& rect);

} // namespace tevo::tvmc
