// One index block of the map file: its cell grid, its entries, and the cache
// of the blocks whose cells the view can see.
#pragma once

#include "map/block_reader.hpp"
#include "map/bounds.hpp"
#include "map/cell_grid.hpp"
#include "map/map_objects.hpp"

#include <cstdint>
#include <memory>
#include <vector>

namespace tevo {

class MapStream;

// A loaded (or wanted, slot -1) cell: its key and its slot in the loaded list.
struct KeySlot {
    int32_t key = 0;
    int32_t slot = -1;
};

class cIndexBlock {
public:
    // The stream is the map file's and outlives the index block.
    cIndexBlock(MapStream* stream, uint8_t levelTag, uint32_t cellSeconds);

    // Takes the entries in file order: sorts them by key (a later duplicate
    // of a key is dropped) and derives the cell range and extent.
    void setEntries(std::vector<IndexEntry> entries);

    // True when a cell of the index that the footprint (degrees) overlaps
    // exists. Stores the visible cell range.
    bool hasVisibleCells(const PointF footprint[4]);
    // Brings the loaded list to exactly the existing visible cells: keeps the
    // blocks that stay visible, drops those that left, reads those that came.
    void update(const PointF footprint[4]);
    // Drops every loaded block.
    void flush();
    // Reads the block of the key (binary search); null when the key is absent
    // or the read fails (the message is shown once: a cell whose block failed
    // is not read again while this map is open).
    std::unique_ptr<cBlockObjects> lookupBlock(int32_t key);
    // Loads the blocks of the cells inside `cells` (the start cell at open).
    void loadCells(const CellRange& cells);

    uint8_t levelTag() const { return levelTag_; }
    uint32_t cellSeconds() const { return cellSeconds_; }
    float cellSize() const { return f_; }
    int32_t columns() const { return n_; }
    const CellRange& cellRange() const { return cellRange_; }
    const BoundsF& extent() const { return extent_; }
    const CellRange& visibleRange() const { return visibleRange_; }
    const std::vector<IndexEntry>& entries() const { return entries_; }
    // The loaded blocks; the frame draws them in this order.
    const cPtrArray<cBlockObjects>& loaded() const { return loaded_; }
    const std::vector<KeySlot>& currentKeys() const { return current_; }
    // Keys whose block failed to read since the map was opened.
    std::vector<int32_t> failedKeys() const;
    // How many blocks were read from the file, for checks that the cache
    // does not read a cell twice.
    uint64_t blockReads() const { return blockReads_; }

private:
    bool visibleIntersection(const PointF footprint[4], CellRange* out);
    template <typename Visit>
    void forEachVisibleEntry(const CellRange& r, const PointF footprint[4], Visit visit) const;
    void classify();
    void evictAndCompact();
    void loadWanted();

    MapStream* stream_;
    uint8_t levelTag_;
    uint32_t cellSeconds_;
    float f_;
    int32_t n_;
    CellRange cellRange_;
    BoundsF extent_;
    CellRange visibleRange_;
    std::vector<IndexEntry> entries_;
    std::vector<bool> failed_; // per entry: its block failed to read
    std::vector<KeySlot> current_;
    std::vector<KeySlot> toLoad_;
    std::vector<KeySlot> previous_;
    cPtrArray<cBlockObjects> loaded_;
    uint64_t blockReads_ = 0;
};

} // namespace tevo
