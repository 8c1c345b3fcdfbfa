// The cell the navigator starts on. The reader takes the middle cell of the
// last index block's cell range; a map whose objects spread unevenly (a town
// with one long railway line) would start on an empty edge. So the start
// level is written as two index blocks when needed: its other cells, then the
// chosen cell alone, last in the file.
//
// A level is anything with levelTag, cellSeconds and blocks that have a key
// and a recordsOf(): the blocks themselves, or only their place in a file.
#pragma once

#include "map/tvm_writer.hpp"
#include "tools/tvmc/grid.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tevo::tvmc {

inline std::size_t recordsOf(const TvmBlock& b) {
    return b.pois.size() + b.polylines.size() + b.polygons.size();
}

// The key of the block with the most records (the lowest key among equals);
// the level must have blocks.
template <typename Level> int32_t densestCell(const Level& level) {
    const auto* best = &level.blocks.front();
    for (const auto& b : level.blocks)
        if (recordsOf(b) > recordsOf(*best)) best = &b;
    return best->key;
}

// The middle cell of the blocks' cell range, as the reader narrows it.
template <typename Level> int32_t middleKey(const Level& level) {
    const int32_t n = CellGrid(level.cellSeconds).columns();
    int32_t c0 = INT32_MAX, c1 = INT32_MIN, r0 = INT32_MAX, r1 = INT32_MIN;
    for (const auto& b : level.blocks) {
        c0 = std::min(c0, b.key % n);
        c1 = std::max(c1, b.key % n);
        r0 = std::min(r0, b.key / n);
        r1 = std::max(r1, b.key / n);
    }
    return (r0 + r1) / 2 * n + (c0 + c1) / 2;
}

// The index blocks that make `key` the start cell, to be written last in
// this order. The level comes back whole when its middle cell is `key`
// already, or when it holds no block of that key.
template <typename Level> std::vector<Level> placeStartCell(Level level, int32_t key) {
    std::vector<Level> out;
    const auto at = std::find_if(level.blocks.begin(), level.blocks.end(),
                                 [key](const auto& b) { return b.key == key; });
    if (at == level.blocks.end() || middleKey(level) == key) {
        out.push_back(std::move(level));
        return out;
    }
    Level start;
    start.levelTag = level.levelTag;
    start.cellSeconds = level.cellSeconds;
    start.blocks.push_back(std::move(*at));
    level.blocks.erase(at);
    out.push_back(std::move(level));
    out.push_back(std::move(start));
    return out;
}

} // namespace tevo::tvmc
