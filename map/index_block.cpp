#include "map/index_block.hpp"

#include <algorithm>

namespace tevo {

cIndexBlock::cIndexBlock(MapStream* stream, uint8_t levelTag, uint32_t cellSeconds)
    : stream_(stream), levelTag_(levelTag), cellSeconds_(cellSeconds), f_(cellDegrees(cellSeconds)),
      n_(columnsPerRow(f_)) {
    extent_ = cellExtent(cellRange_, f_);
}

void cIndexBlock::setEntries(std::vector<IndexEntry> entries) {
    // The format stores keys in ascending order and lookups depend on it;
    // sort anyway so that a file written out of order still reads right.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
    entries.erase(
        std::unique(entries.begin(), entries.end(),
                    [](const IndexEntry& a, const IndexEntry& b) { return a.key == b.key; }),
        entries.end());
    entries_ = std::move(entries);
    failed_.assign(entries_.size(), false);
    flush();
    // Cell range over all entries; all -1 without entries.
    cellRange_ = CellRange{};
    for (std::size_t i = 0; i < entries_.size() && n_ > 0; ++i) {
        const Cell c = cellOfKey(entries_[i].key, n_);
        if (i == 0) {
            cellRange_ = {c.col, c.row, c.col, c.row};
            continue;
        }
        cellRange_.colMin = std::min(cellRange_.colMin, c.col);
        cellRange_.colMax = std::max(cellRange_.colMax, c.col);
        cellRange_.rowMin = std::min(cellRange_.rowMin, c.row);
        cellRange_.rowMax = std::max(cellRange_.rowMax, c.row);
    }
    extent_ = cellExtent(cellRange_, f_);
}

std::unique_ptr<cBlockObjects> cIndexBlock::lookupBlock(int32_t key) {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const IndexEntry& e, int32_t k) { return e.key < k; });
    if (it == entries_.end() || it->key != key) return nullptr;
    const std::size_t index = static_cast<std::size_t>(it - entries_.begin());
    if (failed_[index] || !stream_) return nullptr;
    ++blockReads_;
    std::unique_ptr<cBlockObjects> block = readBlock(*stream_, *it);
    // The message was shown; asking again at every frame would only repeat it.
    if (!block) failed_[index] = true;
    return block;
}

std::vector<int32_t> cIndexBlock::failedKeys() const {
    std::vector<int32_t> keys;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (failed_[i]) keys.push_back(entries_[i].key);
    return keys;
}

void cIndexBlock::flush() {
    current_.clear();
    toLoad_.clear();
    previous_.clear();
    loaded_.clear();
}

void cIndexBlock::loadCells(const CellRange& cells) {
    flush();
    if (n_ <= 0) return;
    for (const IndexEntry& e : entries_) {
        const Cell c = cellOfKey(e.key, n_);
        if (c.col < cells.colMin || c.col > cells.colMax || c.row < cells.rowMin ||
            c.row > cells.rowMax)
            continue;
        std::unique_ptr<cBlockObjects> block = lookupBlock(e.key);
        if (!block) continue;
        current_.push_back({e.key, loaded_.size()});
        loaded_.append(std::move(block));
    }
}

} // namespace tevo
