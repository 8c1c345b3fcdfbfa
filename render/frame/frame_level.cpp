// The level of detail of a frame, the zoom correction it may make, and the
// fixed-point shift of the bulk projection.
#include "render/view/map_view.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tevo {

namespace {

// A view 1.05 times one cell wide.
constexpr float kCellMargin = 1.05f;
// Levels of this many arc-seconds and more cover the whole world.
constexpr uint32_t kWorldCellSeconds = 129600;
constexpr float kFixedMultiplier = 1024.0f;
constexpr float kDirectShiftLimit = 8.0f;
constexpr float kSmallestScale = 1e-7f;
constexpr int32_t kFixedBits = 10;
constexpr int32_t kWordBits = 31;

bool isVisible(cMapLevel* level, const PointF footprint[4]) {
    for (const auto& block : level->indexBlocks())
        if (block->hasVisibleCells(footprint)) return true;
    return false;
}

} // namespace

int32_t MapView::fixedShift(float s) const {
    // 1. Large scales keep 10 fractional bits.
    const float v = s * kFixedMultiplier;
    if (v >= kDirectShiftLimit) return kFixedBits;
    // 2. Too small to hold.
    if (!(v >= kSmallestScale)) return -1;
    const float q = kDirectShiftLimit / v;
    if (!(q < static_cast<float>(std::numeric_limits<int32_t>::max()))) return -1;
    // 3. Halvings of 8 / v.
    int32_t n = 1;
    for (int32_t t = static_cast<int32_t>(q); t > 1; t >>= 1) ++n;
    // 4. Room for the map's width.
    const double e = static_cast<double>(0xFFFFFFFFu >> (n + 1));
    double g = e * kDirectShiftLimit / v;
    const double width = static_cast<double>(int64_t{mapBounds.x1} - mapBounds.x0);
    int32_t extra = 0;
    while (g < width && extra <= kWordBits) {
        g *= 2;
        ++extra;
    }
    // 5. The shift, when it leaves room in 32 bits.
    if (extra + n + kFixedBits > kWordBits) return -1;
    return n + kFixedBits;
}

void MapView::correctZoom(float f) {
    const float w = static_cast<float>(viewport.x1 - viewport.x0);
    const float g = static_cast<float>(kMetresPerDegree) * kx / ky;
    const float h = w * kCellMargin / g;
    const float z = h / f;
    if (freeView)
        zoom = z;
    else if (zoom != 0)
        zoomFactor = z / zoom;
}

int MapView::chooseLevel(int32_t kind) {
    // The footprint; the coarsest level's cell until one is chosen.
    updateFootprint();
    const auto& all = mapFile.levels();
    const int count = static_cast<int>(all.size());
    const auto take = [&](int i) {
        cellDegrees = all[static_cast<size_t>(i)]->cellSize();
        cellSeconds = static_cast<int32_t>(all[static_cast<size_t>(i)]->cellSeconds());
    };
    if (count > 0) take(count - 1);
    // Widths in pixels: the viewport and one cell of a level.
    const float w = static_cast<float>(viewport.x1 - viewport.x0);
    const float g = static_cast<float>(kMetresPerDegree) * kx / ky;
    const auto cellPixels = [&](int i) { return g * S * all[static_cast<size_t>(i)]->cellSize(); };
    const auto visible = [&](int i) {
        return isVisible(all[static_cast<size_t>(i)].get(), footprint);
    };
    const auto want = [&](int i) {
        wantedLevel = all[static_cast<size_t>(i)].get();
        take(i);
    };
    const auto correct = [&](int i) {
        correctZoom(all[static_cast<size_t>(i)]->cellSize());
        return 1;
    };
    const auto worldWide = [&](int i) {
        return all[static_cast<size_t>(i)]->cellSeconds() >= kWorldCellSeconds;
    };
    // The first level one of whose cells is wider than the view.
    int m = 0;
    while (m < count && !(w < cellPixels(m))) ++m;
    if (m < count) {
        take(m);
        // It has cells here: take it.
        if (visible(m)) {
            wantedLevel = all[static_cast<size_t>(m)].get();
            return 0;
        }
        if (kind == ChoiceZoomOut) {
            // After a zoom out: a coarser level, the zoom widened to it.
            for (int i = m + 1; i < count; ++i)
                if (visible(i)) {
                    want(i);
                    return w > cellPixels(i) ? correct(i) : 0;
                }
        } else if (kind == ChoiceOther) {
            // Otherwise the level of the last frame while it has cells here, then
            // a finer one (zooming in to it), then a coarser one.
            for (int i = 0; i < count; ++i)
                if (all[static_cast<size_t>(i)].get() == wantedLevel && visible(i)) {
                    take(i);
                    return 0;
                }
            for (int i = m - 1; i >= 0; --i)
                if (visible(i)) {
                    want(i);
                    return correct(i);
                }
            for (int i = m + 1; i < count; ++i)
                if (visible(i)) {
                    wantedLevel = all[static_cast<size_t>(i)].get();
                    return 0;
                }
        } else {
            // After a zoom in: a coarser level as it is.
            for (int i = m + 1; i < count; ++i)
                if (visible(i)) {
                    want(i);
                    return 0;
                }
        }
        // No level has cells here.
        wantedLevel = nullptr;
        return -1;
    }
    // The view is wider than every cell.
    if (count > 0 && kind == ChoiceZoomOut) {
        want(count - 1);
        return worldWide(count - 1) ? 0 : correct(count - 1);
    }
    for (int i = count - 1; i >= 0; --i)
        if (visible(i)) {
            want(i);
            return worldWide(i) ? 0 : correct(i);
        }
    wantedLevel = nullptr;
    return -1;
}

} // namespace tevo
