// The block cache of an index block: which cells the footprint sees, and
// bringing the loaded blocks to exactly those.
#include "map/index_block.hpp"

#include "map/overlap.hpp"

#include <algorithm>

namespace tevo {

namespace {

bool byKey(const KeySlot& a, const KeySlot& b) {
    return a.key < b.key;
}
bool bySlot(const KeySlot& a, const KeySlot& b) {
    return a.slot < b.slot;
}

BoundsF oneCell(int32_t col, int32_t row, float f) {
    return cellExtent({col, row, col, row}, f);
}

} // namespace

// Visible cell range: the footprint's bounding box in cells, intersected with
// the cell range; false when they do not meet or the footprint misses the
// intersection's extent.
bool cIndexBlock::visibleIntersection(const PointF footprint[4], CellRange* out) {
    if (n_ <= 0) return false;
    // Bounding box in cells (floored, so negative degrees work too).
    const BoundsF box = boundsOf4(footprint);
    CellRange v;
    if (!cellIndexOf(box.minX, f_, &v.colMin) || !cellIndexOf(box.minY, f_, &v.rowMin) ||
        !cellIndexOf(box.maxX, f_, &v.colMax) || !cellIndexOf(box.maxY, f_, &v.rowMax))
        return false;
    visibleRange_ = v;
    // Intersection with the cell range.
    const CellRange& c = cellRange_;
    if (v.colMax < c.colMin || c.colMax < v.colMin || v.rowMax < c.rowMin || c.rowMax < v.rowMin)
        return false;
    visibleRange_ = {std::max(v.colMin, c.colMin), std::max(v.rowMin, c.rowMin),
                     std::min(v.colMax, c.colMax), std::min(v.rowMax, c.rowMax)};
    if (!overlaps(footprint, cellExtent(visibleRange_, f_))) return false;
    *out = visibleRange_;
    return true;
}

// Calls visit(entry) for every existing cell of the range whose extent the
// footprint overlaps, in ascending key order, while visit returns true. Walks
// the entries row by row, or all of them when the range has more rows than
// the index has entries, so the cost never exceeds the index.
template <typename Visit>
void cIndexBlock::forEachVisibleEntry(const CellRange& r, const PointF footprint[4],
                                      Visit visit) const {
    auto visible = [&](const IndexEntry& e) {
        const Cell c = cellOfKey(e.key, n_);
        return c.col >= r.colMin && c.col <= r.colMax && c.row >= r.rowMin && c.row <= r.rowMax &&
               overlaps(footprint, oneCell(c.col, c.row, f_));
    };
    const uint64_t rows = static_cast<uint64_t>(int64_t{r.rowMax} - r.rowMin + 1);
    if (rows > entries_.size()) {
        for (const IndexEntry& e : entries_)
            if (visible(e) && !visit(e)) return;
        return;
    }
    for (int64_t row = r.rowMin; row <= r.rowMax; ++row) {
        const int64_t lo = keyOfCell(r.colMin, row, n_);
        const int64_t hi = keyOfCell(r.colMax, row, n_);
        auto it = std::lower_bound(entries_.begin(), entries_.end(), lo,
                                   [](const IndexEntry& e, int64_t k) { return e.key < k; });
        for (; it != entries_.end() && it->key <= hi; ++it)
            if (visible(*it) && !visit(*it)) return;
    }
}

bool cIndexBlock::hasVisibleCells(const PointF footprint[4]) {
    if (entries_.empty()) return false;
    CellRange r;
    if (!visibleIntersection(footprint, &r)) return false;
    // Any cell of the index under the footprint will do.
    bool found = false;
    forEachVisibleEntry(r, footprint, [&](const IndexEntry&) {
        found = true;
        return false;
    });
    return found;
}

void cIndexBlock::update(const PointF footprint[4]) {
    // Nothing of this index in view: drop everything.
    CellRange r;
    if (!visibleIntersection(footprint, &r)) {
        flush();
        return;
    }
    // What is loaded now becomes the previous list, by key.
    std::sort(current_.begin(), current_.end(), byKey);
    previous_.swap(current_);
    current_.clear();
    // The visible existing cells, ascending keys.
    forEachVisibleEntry(r, footprint, [&](const IndexEntry& e) {
        current_.push_back({e.key, -1});
        return true;
    });
    // No visible cell exists: drop everything.
    if (current_.empty()) {
        flush();
        return;
    }
    // Keep what stays in view, drop what left, read what came into view.
    classify();
    evictAndCompact();
    loadWanted();
}

// Splits the two sorted key lists: visible keys not loaded go to the
// to-load list; the previous list keeps (in place) the loaded keys no longer
// visible. A merge of two ascending lists, no allocation once warm.
void cIndexBlock::classify() {
    toLoad_.clear();
    std::size_t kept = 0, p = 0;
    for (const KeySlot& visible : current_) {
        while (p < previous_.size() && previous_[p].key < visible.key)
            previous_[kept++] = previous_[p++];
        if (p < previous_.size() && previous_[p].key == visible.key)
            ++p; // stays loaded
        else
            toLoad_.push_back(visible);
    }
    while (p < previous_.size()) previous_[kept++] = previous_[p++];
    previous_.resize(kept);
}

// Marks the blocks that left, destroys them, and lists the rest with
// their new slots.
void cIndexBlock::evictAndCompact() {
    std::sort(previous_.begin(), previous_.end(), bySlot);
    for (const KeySlot& gone : previous_)
        if (gone.slot >= 0 && gone.slot < loaded_.size()) loaded_[gone.slot]->evict = true;
    loaded_.removeIf([](const cBlockObjects& b) { return b.evict; });
    current_.clear();
    for (int slot = 0; slot < loaded_.size(); ++slot)
        current_.push_back({loaded_[slot]->key, slot});
}

// Reads the cells that came into view.
void cIndexBlock::loadWanted() {
    for (const KeySlot& wanted : toLoad_) {
        std::unique_ptr<cBlockObjects> block = lookupBlock(wanted.key);
        if (!block) continue;
        current_.push_back({wanted.key, loaded_.size()});
        loaded_.append(std::move(block));
    }
}

} // namespace tevo
