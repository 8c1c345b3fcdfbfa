// All index blocks of one cell size.
#pragma once

#include "map/bounds.hpp"
#include "map/cell_grid.hpp"
#include "map/index_block.hpp"

#include <cstdint>
#include <memory>
#include <vector>

namespace tevo {

class cMapLevel {
public:
    explicit cMapLevel(uint32_t cellSeconds)
        : cellSeconds_(cellSeconds), f_(cellDegrees(cellSeconds)) {}

    // Appends an index block of this cell size and widens the cell range and
    // extent to cover its cells. Until a block with entries arrives the range
    // is all -1 (and the extent that of the first block).
    void add(std::unique_ptr<cIndexBlock> indexBlock);
    void flushAll();

    uint32_t cellSeconds() const { return cellSeconds_; }
    float cellSize() const { return f_; }
    const CellRange& cellRange() const { return cellRange_; }
    const BoundsF& extent() const { return extent_; }
    // In file order; the frame draws them in this order.
    const std::vector<std::unique_ptr<cIndexBlock>>& indexBlocks() const { return indexBlocks_; }

private:
    uint32_t cellSeconds_;
    float f_;
    CellRange cellRange_;
    BoundsF extent_;
    bool hasCells_ = false;
    std::vector<std::unique_ptr<cIndexBlock>> indexBlocks_;
};

} // namespace tevo
