#include "tools/tvmc/start_cell.hpp"

#include "tools/tvmc/grid.hpp"

#include <algorithm>

namespace tevo::tvmc {

namespace {

std::size_t recordsOf(const TvmBlock& b) {
    return b.pois.size() + b.polylines.size() + b.polygons.size();
}

// The middle cell of the blocks' cell range, as the reader narrows it.
int32_t middleKey(const TvmIndexBlock& level) {
    const int32_t n = CellGrid(level.cellSeconds).columns();
    int32_t c0 = INT32_MAX, c1 = INT32_MIN, r0 = INT32_MAX, r1 = INT32_MIN;
    for (const TvmBlock& b : level.blocks) {
        c0 = std::min(c0, b.key % n);
        c1 = std::max(c1, b.key % n);
        r0 = std::min(r0, b.key / n);
        r1 = std::max(r1, b.key / n);
    }
    return (r0 + r1) / 2 * n + (c0 + c1) / 2;
}

} // namespace

int32_t densestCell(const TvmIndexBlock& level) {
    const TvmBlock* best = &level.blocks.front();
    for (const TvmBlock& b : level.blocks)
        if (recordsOf(b) > recordsOf(*best)) best = &b;
    return best->key;
}

std::vector<TvmIndexBlock> placeStartCell(TvmIndexBlock level, int32_t key) {
    std::vector<TvmIndexBlock> out;
    const auto at = std::find_if(level.blocks.begin(), level.blocks.end(),
                                 [key](const TvmBlock& b) { return b.key == key; });
    if (at == level.blocks.end() || middleKey(level) == key) {
        out.push_back(std::move(level));
        return out;
    }
    TvmIndexBlock start;
    start.levelTag = level.levelTag;
    start.cellSeconds = level.cellSeconds;
    start.blocks.push_back(std::move(*at));
    level.blocks.erase(at);
    out.push_back(std::move(level));
    out.push_back(std::move(start));
    return out;
}

} // namespace tevo::tvmc
