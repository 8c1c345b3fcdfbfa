// Plane geometry on map-unit rings and lines: areas, orientation, joining
// holes into their outer ring, and representative points.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <vector>

namespace tevo::tvmc {

using Ring = std::vector<TvmPoint>; // not closed: the last point is not repeated

// Twice the signed area (shoelace); positive for counter-clockwise rings.
double signedArea2(const Ring& ring);

// Area in square map units, whatever the orientation.
double ringArea(const Ring& ring);

// Joins the holes into the outer ring through zero-width cuts, so that one
// simple record fills the area with the holes left open under both the
// even-odd and the non-zero rule. The outer ring comes out counter-clockwise
// and every hole clockwise.
Ring joinHoles(Ring outer, std::vector<Ring> holes);

// Drops consecutive duplicate points (and a last point equal to the first
// when `closed`).
void dropDuplicates(std::vector<TvmPoint>& points, bool closed);

// Whether a point lies inside the ring (even-odd rule).
bool ringContains(const Ring& ring, double x, double y);

// A point for the name or icon of an area: the centroid when it lies inside
// the ring, else the middle of the bounding box.
TvmPoint labelPoint(const Ring& ring);

} // namespace tevo::tvmc
