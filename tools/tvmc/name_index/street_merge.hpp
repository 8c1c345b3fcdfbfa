// One entry per street and town: the named ways of a street in one town,
// within a short gap of each other, become one entry placed at the middle
// of the piece nearest the middle of them all. Streets of one name in two
// towns, or far apart in one town, stay apart.
#pragma once

#include "tools/tvmc/name_index/name_store.hpp"

#include <vector>

namespace tevo::tvmc {

// Pieces closer than this (metres, between their bounding boxes) belong to
// one street.
inline constexpr double kStreetGapMetres = 250;

// Appends one street entry per street and town to `out`. Pieces without a
// town first take the town of the nearest piece of their street that has
// one.
void mergeStreets(std::vector<StreetPiece>& pieces, std::vector<NamedPoint>& out);

} // namespace tevo::tvmc
