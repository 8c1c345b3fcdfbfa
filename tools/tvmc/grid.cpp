#include "tools/tvmc/grid.hpp"

#include <cmath>

namespace tevo::tvmc {

namespace {

// Grids finer than this many columns (an arc-second is 1.3 million) work
// their boundaries out each time rather than hold a table of megabytes.
constexpr int32_t kMaxTableLines = 1 << 18;

} // namespace

CellGrid::CellGrid(uint32_t cellSeconds)
    : seconds_(cellSeconds),
      degrees_(static_cast<float>(static_cast<double>(cellSeconds) / kSecondsPerDegree)),
      columns_(static_cast<int32_t>(360.0 / degrees_ + 0.5)),
      cellUnits_(degrees_ * kUnitsPerDegree) {
    if (columns_ > kMaxTableLines) return;
    boundaries_.resize(static_cast<std::size_t>(columns_) + 2);
    for (int32_t i = 0; i < columns_ + 2; ++i)
        boundaries_[static_cast<std::size_t>(i)] =
            static_cast<int32_t>(std::lround(i * cellUnits_));
}

int32_t CellGrid::boundary(int32_t index) const {
    if (index >= 0 && static_cast<std::size_t>(index) < boundaries_.size())
        return boundaries_[static_cast<std::size_t>(index)];
    return static_cast<int32_t>(std::lround(index * cellUnits_));
}

CellIndex CellGrid::cellOf(TvmPoint p) const {
    auto locate = [this](int32_t v) {
        auto i = static_cast<int32_t>(std::floor(v / cellUnits_));
        while (i > 0 && v < boundary(i)) --i;
        while (v >= boundary(i + 1)) ++i;
        return i;
    };
    return {locate(p.x), locate(p.y)};
}

UnitRect CellGrid::cellRect(CellIndex cell) const {
    return rangeRect(cell, cell);
}

UnitRect CellGrid::rangeRect(CellIndex lo, CellIndex hi) const {
    return {boundary(lo.column), boundary(lo.row), boundary(hi.column + 1), boundary(hi.row + 1)};
}

std::optional<int32_t> CellGrid::keyOf(CellIndex cell) const {
    if (cell.column < 0 || cell.row < 0 || cell.column >= columns_) return std::nullopt;
    const int64_t key = static_cast<int64_t>(cell.row) * columns_ + cell.column;
    if (key > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(key);
}

} // namespace tevo::tvmc
