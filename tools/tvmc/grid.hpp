// The cell grid of one level, with the same arithmetic as the map reader:
// f = S / 3600 degrees held as a float, n = trunc(360 / f + 0.5) columns per
// row, key = row * n + column.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace tevo::tvmc {

struct CellIndex {
    int32_t column = 0, row = 0;
};

class CellGrid {
public:
    explicit CellGrid(uint32_t cellSeconds);

    uint32_t cellSeconds() const { return seconds_; }
    int32_t columns() const { return columns_; }
    // Cell size in map units (not a whole number in general).
    double cellUnits() const { return cellUnits_; }

    // The cell holding a point: its lower-left boundary lies at or below it.
    // Every point of every feature asks, several times per level: a guess
    // from the cell size, put right against the boundaries themselves.
    CellIndex cellOf(TvmPoint p) const { return {line(p.x), line(p.y)}; }

    // The map-unit rectangle of a cell, bounds inclusive. Neighbours share
    // their border line, so clipped pieces meet without a seam.
    UnitRect cellRect(CellIndex cell) const;
    // The rectangle of a range of cells (both corners inclusive).
    UnitRect rangeRect(CellIndex lo, CellIndex hi) const;

    // The key of a cell, or nothing when it does not fit a non-negative int32.
    std::optional<int32_t> keyOf(CellIndex cell) const;

private:
    // map units of the line index * f
    int32_t boundary(int32_t index) const {
        if (index >= 0 && static_cast<std::size_t>(index) < boundaries_.size())
            return boundaries_[static_cast<std::size_t>(index)];
        return boundaryOff(index);
    }
    int32_t boundaryOff(int32_t index) const; // beyond the table
    // The line at or below v.
    int32_t line(int32_t v) const {
        auto i = static_cast<int32_t>(v * perUnit_);
        while (v < boundary(i)) --i;
        while (v >= boundary(i + 1)) ++i;
        return i;
    }

    uint32_t seconds_;
    double degrees_; // the float f, widened
    int32_t columns_;
    double cellUnits_;
    double perUnit_; // 1 / cellUnits_
    // The boundaries of the lines 0 to columns + 1 (which covers the rows
    // too), worked out once: every point of every feature looks them up.
    std::vector<int32_t> boundaries_;
};

} // namespace tevo::tvmc
