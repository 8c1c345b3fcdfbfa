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
      cellUnits_(degrees_ * kUnitsPerDegree), perUnit_(1.0 / cellUnits_) {
    if (columns_ > kMaxTableLines) return;
    boundaries_.resize(static_cast<std::size_t>(columns_) + 2);
    for (int32_t i = 0; i < columns_ + 2; ++i)
        boundaries_[static_cast<std::size_t>(i)] =
            static_cast<int32_t>(std::lround(i * cellUnits_));
}

int32_t CellGrid::boundaryOff(int32_t index) const {
    return static_cast<int32_t>(std::lround(index * cellUnits_));
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
