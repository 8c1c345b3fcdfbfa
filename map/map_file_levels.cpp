// Levels of the map file and the choice of the level the view shows.
#include "map/map_file.hpp"

#include <algorithm>

namespace tevo {

void cMapFile::addIndexBlock(std::unique_ptr<cIndexBlock> indexBlock) {
    if (fileIndexBlock(std::move(indexBlock))) sortLevels();
}

bool cMapFile::fileIndexBlock(std::unique_ptr<cIndexBlock> indexBlock) {
    const uint32_t seconds = indexBlock->cellSeconds();
    if (auto found = levelBySeconds_.find(seconds); found != levelBySeconds_.end()) {
        found->second->add(std::move(indexBlock));
        return false;
    }
    levels_.push_back(std::make_unique<cMapLevel>(seconds));
    levels_.back()->add(std::move(indexBlock));
    levelBySeconds_.emplace(seconds, levels_.back().get());
    return true;
}

void cMapFile::sortLevels() {
    std::stable_sort(levels_.begin(), levels_.end(), [](const auto& a, const auto& b) {
        return a->cellSeconds() < b->cellSeconds();
    });
}

cMapLevel* cMapFile::selectLevel(cMapLevel* wanted, const PointF footprint[4]) {
    // Switch only to a level that shows something (or when there is none).
    if (wanted && wanted != current_) {
        bool visible = false;
        for (auto& ib : wanted->indexBlocks()) visible = ib->hasVisibleCells(footprint) || visible;
        if (visible || !current_) {
            if (current_) current_->flushAll();
            current_ = wanted;
            current_->flushAll();
        }
    }
    if (!current_) return nullptr;
    for (auto& ib : current_->indexBlocks()) ib->update(footprint);
    return current_;
}

} // namespace tevo
