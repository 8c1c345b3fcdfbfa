// The square cell grid of an index block: cell size, columns per row, keys.
//
// key = row * n + column. Columns count eastward from 0 degrees, 0 to n - 1
// (so longitudes west of Greenwich lie at 180 to 360 degrees, as the map
// compiler writes them), and rows northward from the equator. A key decodes
// to column = key mod n and row = key div n, both floored: every key the
// format describes (non-negative) decodes as usual, and a negative key is a
// cell south of the equator (negative row) instead of a negative column.
#pragma once

#include "map/bounds.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tevo {

inline constexpr double kSecondsPerDegree = 3600.0;
inline constexpr double kDegreesAround = 360.0;

// Inclusive cell bounds; all -1 while nothing is known.
struct CellRange {
    int32_t colMin = -1, rowMin = -1, colMax = -1, rowMax = -1;
    bool operator==(const CellRange&) const = default;
};

struct Cell {
    int32_t col = 0;
    int32_t row = 0;
};

// Cell size f in degrees: S / 3600 computed in double, held as float.
inline float cellDegrees(uint32_t cellSeconds) {
    return static_cast<float>(cellSeconds / kSecondsPerDegree);
}

// Columns per row: 360 / f rounded; 0 for cells larger than 720 degrees or of
// size 0, which no grid can use.
inline int32_t columnsPerRow(float f) {
    if (!(f > 0)) return 0;
    const double n = kDegreesAround / static_cast<double>(f) + 0.5;
    if (n >= std::numeric_limits<int32_t>::max()) return 0;
    return static_cast<int32_t>(n);
}

inline Cell cellOfKey(int32_t key, int32_t n) {
    int64_t row = int64_t{key} / n;
    if (int64_t{key} % n < 0) --row; // floor division
    return {static_cast<int32_t>(int64_t{key} - row * n), static_cast<int32_t>(row)};
}

// Keys can lie outside the int32 range for fine grids far from the origin;
// such cells cannot exist in a file.
inline int64_t keyOfCell(int64_t col, int64_t row, int32_t n) {
    return row * n + col;
}

// Cell extent in degrees: (c*f, r*f, (c+1)*f, (r+1)*f).
inline BoundsF cellExtent(const CellRange& r, float f) {
    return {static_cast<float>(r.colMin) * f, static_cast<float>(r.rowMin) * f,
            static_cast<float>(int64_t{r.colMax} + 1) * f,
            static_cast<float>(int64_t{r.rowMax} + 1) * f};
}

// The cell index of a coordinate in degrees, floored (so -0.5 degrees lies in
// row -1) and kept inside int32; NaN gives nothing usable and reports false.
inline bool cellIndexOf(float degrees, float f, int32_t* index) {
    const float q = std::floor(degrees / f);
    if (std::isnan(q)) return false;
    constexpr float kLow = static_cast<float>(std::numeric_limits<int32_t>::min());
    constexpr float kHigh = 2147483520.0f; // the largest float below 2^31
    *index = static_cast<int32_t>(q < kLow ? kLow : (q > kHigh ? kHigh : q));
    return true;
}

} // namespace tevo
