// Bounding box of a four-point footprint, shared by the block cache's overlap
// test and the projection code.
#pragma once

namespace tevo {

struct PointF {
    float x = 0;
    float y = 0;
};

struct BoundsF {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// Starts from the first point and widens with the next three.
inline BoundsF boundsOf4(const PointF points[4]) {
    BoundsF b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (int i = 1; i < 4; ++i) {
        if (points[i].x < b.minX) b.minX = points[i].x;
        if (points[i].y < b.minY) b.minY = points[i].y;
        if (points[i].x > b.maxX) b.maxX = points[i].x;
        if (points[i].y > b.maxY) b.maxY = points[i].y;
    }
    return b;
}

} // namespace tevo
