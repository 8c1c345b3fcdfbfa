// Small value types of the map view.
#pragma once

#include <cstdint>

namespace tevo {

// The marker values of an unknown position and of the ground height.
inline constexpr int32_t kUnsetCoordinate = -1;
inline constexpr int32_t kGroundHeight = -500;

// A map point with a height reference; x or y of -1 means not set.
struct ViewPoint {
    int32_t x = kUnsetCoordinate;
    int32_t y = kUnsetCoordinate;
    int32_t z = kGroundHeight;
    bool isSet() const { return x != kUnsetCoordinate && y != kUnsetCoordinate; }
    bool operator==(const ViewPoint&) const = default;
};

// An inclusive rectangle of pixels (x0, y0) .. (x1, y1).
struct IntRect {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

} // namespace tevo
