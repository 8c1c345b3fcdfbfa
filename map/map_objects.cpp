#include "map/map_objects.hpp"

#include <algorithm>

namespace tevo {

namespace {

// Turning is only defined from a triangle on.
constexpr std::size_t kMinPointsToTurn = 3;

} // namespace

void cPolyLine::normalise() {
    if (points.empty()) {
        minX = minY = maxX = maxY = 0;
        return;
    }
    // 1. Bounding box.
    minX = maxX = points[0].x;
    minY = maxY = points[0].y;
    for (const MapPoint& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // 2. Extreme vertex: lowest y, then lowest x, then the first.
    std::size_t a = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        if (points[i].y < points[a].y || (points[i].y == points[a].y && points[i].x < points[a].x))
            a = i;
    // 3. Turn at the extreme vertex. Wide arithmetic: differences of a polygon
    // wider than about a quarter degree already overflow a 32-bit product, and
    // damaged coordinates can overflow a 64-bit one.
    if (points.size() < kMinPointsToTurn) return;
    const MapPoint& p = points[a == 0 ? points.size() - 1 : a - 1];
    const MapPoint& q = points[a + 1 == points.size() ? 0 : a + 1];
    const MapPoint& v = points[a];
    using Wide = __int128;
    const Wide turn = Wide{int64_t{q.y} - v.y} * (int64_t{p.x} - v.x) -
                      Wide{int64_t{p.y} - v.y} * (int64_t{q.x} - v.x);
    if (turn < 0) std::reverse(points.begin(), points.end());
}

} // namespace tevo
