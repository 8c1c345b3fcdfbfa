// The cell the navigator starts on. The reader takes the middle cell of the
// last index block's cell range; a map whose objects spread unevenly (a town
// with one long railway line) would start on an empty edge. So the start
// level is written as two index blocks when needed: its other cells, then the
// chosen cell alone, last in the file.
#pragma once

#include "map/tvm_writer.hpp"

#include <cstdint>
#include <vector>

namespace tevo::tvmc {

// The key of the block with the most records (the lowest key among equals);
// the level must have blocks.
int32_t densestCell(const TvmIndexBlock& level);

// The index blocks that make `key` the start cell, to be written last in
// this order. The level comes back whole when its middle cell is `key`
// already, or when it holds no block of that key.
std::vector<TvmIndexBlock> placeStartCell(TvmIndexBlock level, int32_t key);

} // namespace tevo::tvmc
