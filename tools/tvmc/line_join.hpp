// Joins the polylines of a block that continue each other. OSM cuts a road
// into many ways (at every change of a tag); on the map each would be a
// record of its own, with its own header, its own copy of the name and of
// the shared point, and a seam where the next record's outer stroke paints
// over the inner stroke of the one before. Within a cell, records of one
// type and one name are joined wherever exactly two of their ends meet.
#pragma once

#include "map/tvm_writer.hpp"

#include <vector>

namespace tevo::tvmc {

// Joins in place. A joined line takes the place and the direction of its
// first record; `tolerance` (map units, 0 for none) simplifies it again
// across the joins. A line never grows past `maxPoints`.
void joinLines(std::vector<TvmObject>& lines, double tolerance, std::size_t maxPoints);

} // namespace tevo::tvmc
