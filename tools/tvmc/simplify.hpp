// Douglas-Peucker simplification of lines and rings, in map units.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <vector>

namespace tevo::tvmc {

// Keeps the end points and every point that lies farther than `tolerance`
// from the simplified line; a tolerance of 0 drops only collinear points
// and duplicates.
std::vector<TvmPoint> simplifyLine(const std::vector<TvmPoint>& line, double tolerance);

// The same for a ring (last point not repeated): it is cut at its first point
// and the point farthest from it, and the two halves are simplified. Returns
// an empty ring when less than a triangle remains.
std::vector<TvmPoint> simplifyRing(const std::vector<TvmPoint>& ring, double tolerance);

} // namespace tevo::tvmc
