// Does the view footprint (a quadrilateral in degrees) overlap a rectangle?
#pragma once

#include "map/bounds.hpp"

namespace tevo {

inline constexpr int kNoOverlap = 1;
inline constexpr int kOverlap = 2;

// Clips the footprint against x >= x0, y >= y0, x <= x1, y <= y1 in turn
// (crossings in float) and answers kOverlap when anything is left, else
// kNoOverlap. Points on a rectangle's edge count as inside, so a footprint
// that only touches the rectangle overlaps it.
int overlapsRect(const PointF footprint[4], float x0, float y0, float x1, float y1);

inline bool overlaps(const PointF footprint[4], const BoundsF& r) {
    return overlapsRect(footprint, r.minX, r.minY, r.maxX, r.maxY) == kOverlap;
}

} // namespace tevo
