// Small integer point and box types shared by every stage of the renderer.
#pragma once

#include <cstdint>
#include <vector>

namespace tevo {

// A point in screen pixels of the bound surface, origin top-left.
struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// A view-centred ground point: map units scaled to pixels, before the camera.
struct GroundPoint {
    int32_t u = 0;
    int32_t v = 0;
};

// A point in camera space: z is the distance along the view axis.
struct CameraPoint {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    friend bool operator==(const CameraPoint&, const CameraPoint&) = default;
};

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

// An inclusive pixel rectangle; empty when right < left or bottom < top.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;
    bool empty() const { return right < left || bottom < top; }
    bool contains(int64_t x, int64_t y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
    // True when the two share a pixel.
    bool meets(const PixelRect& o) const {
        return o.right >= left && o.left <= right && o.bottom >= top && o.top <= bottom;
    }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

PixelRect intersect(const PixelRect& a, const PixelRect& b);

// The pixels a point list covers; all zeros when the list is empty.
PixelRect boundsOfPoints(const ScreenPoint* points, int count);

// An inclusive box of map units.
struct BoundsI {
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    friend bool operator==(const BoundsI&, const BoundsI&) = default;
};

// Whether two bounds share a point (their edges included).
inline bool overlaps(const BoundsI& a, const BoundsI& b) {
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

// The mean of the points, each sum scaled by 1/count in float and truncated;
// (-1, -1) for an empty list.
ScreenPoint centroid(const ScreenPoint* points, int count);

} // namespace tevo
