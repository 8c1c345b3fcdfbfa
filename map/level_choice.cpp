#include "map/level_choice.hpp"

#include <algorithm>

namespace tevo {

namespace {

// Levels of this many arc-seconds and more cover the whole world.
constexpr uint32_t kWorldCellSeconds = 129600;

class Levels {
public:
    Levels(const std::vector<std::unique_ptr<cMapLevel>>& all, const LevelRequest& r)
        : all_(all), r_(r), count_(static_cast<int>(all.size())) {}

    int count() const { return count_; }
    cMapLevel* at(int i) const { return all_[static_cast<size_t>(i)].get(); }
    float cellPixels(int i) const { return r_.metresPerDegree * r_.scale * at(i)->cellSize(); }
    bool visible(int i) const {
        for (const auto& block : at(i)->indexBlocks())
            if (block->hasVisibleCells(r_.footprint)) return true;
        return false;
    }
    bool worldWide(int i) const { return at(i)->cellSeconds() >= kWorldCellSeconds; }
    LevelChoice take(int i) const { return {at(i), 0}; }
    LevelChoice corrected(int i) const { return {at(i), at(i)->cellSize()}; }
    // Level i, the zoom brought back to its cell or to the whole map,
    // whichever is wider, when the view is wider than that.
    LevelChoice widest(int i) const {
        const float cell = std::max(at(i)->cellSize(), r_.wholeMapCell);
        if (r_.viewWidth > r_.metresPerDegree * r_.scale * cell) return {at(i), cell};
        return take(i);
    }
    // The first visible level from `from` towards `to` (exclusive), or -1.
    int firstVisible(int from, int to) const {
        const int step = from <= to ? 1 : -1;
        for (int i = from; i != to; i += step)
            if (visible(i)) return i;
        return -1;
    }

private:
    const std::vector<std::unique_ptr<cMapLevel>>& all_;
    const LevelRequest& r_;
    int count_;
};

// Level m is the first whose cell is wider than the view, but it has no cell
// under the view.
LevelChoice besideWidest(const Levels& levels, int m, const LevelRequest& r) {
    const int count = levels.count();
    if (r.kind == ChoiceZoomOut) {
        // After a zoom out: a coarser level, the zoom widened to it.
        const int i = levels.firstVisible(m + 1, count);
        if (i >= 0)
            return r.viewWidth > levels.cellPixels(i) ? levels.corrected(i) : levels.take(i);
    } else if (r.kind == ChoiceOther) {
        // Otherwise the level of the last frame while it has cells here, then
        // a finer one (zooming in to it), then a coarser one.
        for (int i = 0; i < count; ++i)
            if (levels.at(i) == r.last && levels.visible(i)) return levels.take(i);
        if (const int i = levels.firstVisible(m - 1, -1); i >= 0) return levels.corrected(i);
        if (const int i = levels.firstVisible(m + 1, count); i >= 0) return levels.take(i);
    } else {
        // After a zoom in: a coarser level as it is.
        if (const int i = levels.firstVisible(m + 1, count); i >= 0) return levels.take(i);
    }
    return {};
}

// The view is wider than a cell of every level.
LevelChoice widerThanEveryCell(const Levels& levels, const LevelRequest& r) {
    const int last = levels.count() - 1;
    if (last >= 0 && r.kind == ChoiceZoomOut)
        return levels.worldWide(last) ? levels.take(last) : levels.widest(last);
    const int i = levels.firstVisible(last, -1);
    if (i < 0) return {};
    return levels.worldWide(i) ? levels.take(i) : levels.widest(i);
}

} // namespace

LevelChoice chooseLevel(const std::vector<std::unique_ptr<cMapLevel>>& all,
                        const LevelRequest& request) {
    const Levels levels(all, request);
    // The first level one of whose cells is wider than the view.
    int m = 0;
    while (m < levels.count() && !(request.viewWidth < levels.cellPixels(m))) ++m;
    if (m == levels.count()) return widerThanEveryCell(levels, request);
    // It has cells here: take it.
    if (levels.visible(m)) return levels.take(m);
    return besideWidest(levels, m, request);
}

} // namespace tevo
