#include "map/map_level.hpp"

#include <algorithm>

namespace tevo {

void cMapLevel::add(std::unique_ptr<cIndexBlock> indexBlock) {
    const CellRange& r = indexBlock->cellRange();
    const BoundsF& e = indexBlock->extent();
    // An index block without entries has no cells: its placeholder range
    // (-1) would stretch the level towards the origin.
    if (indexBlock->entries().empty()) {
        if (indexBlocks_.empty()) extent_ = e;
    } else if (!hasCells_) {
        hasCells_ = true;
        cellRange_ = r;
        extent_ = e;
    } else {
        cellRange_ = {std::min(cellRange_.colMin, r.colMin), std::min(cellRange_.rowMin, r.rowMin),
                      std::max(cellRange_.colMax, r.colMax), std::max(cellRange_.rowMax, r.rowMax)};
        extent_ = {std::min(extent_.minX, e.minX), std::min(extent_.minY, e.minY),
                   std::max(extent_.maxX, e.maxX), std::max(extent_.maxY, e.maxY)};
    }
    indexBlocks_.push_back(std::move(indexBlock));
}

void cMapLevel::flushAll() {
    for (auto& ib : indexBlocks_) ib->flush();
}

} // namespace tevo
