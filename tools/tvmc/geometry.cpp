#include "tools/tvmc/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tevo::tvmc {

double signedArea2(const Ring& ring) {
    double sum = 0;
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TvmPoint& a = ring[i];
        const TvmPoint& b = ring[(i + 1) % n];
        sum += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return sum;
}

double ringArea(const Ring& ring) {
    return std::fabs(signedArea2(ring)) / 2;
}

namespace {

std::size_t rightmostVertex(const Ring& ring) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < ring.size(); ++i)
        if (ring[i].x > ring[best].x || (ring[i].x == ring[best].x && ring[i].y < ring[best].y))
            best = i;
    return best;
}

bool inTriangle(TvmPoint a, TvmPoint b, TvmPoint c, TvmPoint p) {
    auto cross = [](TvmPoint o, TvmPoint u, TvmPoint v) {
        return (static_cast<double>(u.x) - o.x) * (static_cast<double>(v.y) - o.y) -
               (static_cast<double>(u.y) - o.y) * (static_cast<double>(v.x) - o.x);
    };
    const double d1 = cross(a, b, p), d2 = cross(b, c, p), d3 = cross(c, a, p);
    return !((d1 < 0 || d2 < 0 || d3 < 0) && (d1 > 0 || d2 > 0 || d3 > 0));
}

// The nearest vertex; only for rings that are not simple, where no ray works.
std::size_t nearestVertex(const Ring& outer, TvmPoint h) {
    std::size_t best = 0;
    double bestD = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < outer.size(); ++i) {
        const double dx = outer[i].x - static_cast<double>(h.x);
        const double dy = outer[i].y - static_cast<double>(h.y);
        if (dx * dx + dy * dy < bestD) {
            bestD = dx * dx + dy * dy;
            best = i;
        }
    }
    return best;
}

// The outer vertex a hole vertex h is joined to, so that the cut crosses no
// edge: 1. cast a ray from h towards +x and take the first outer edge it
// meets, at point m; 2. its end farther right is the candidate; 3. when other
// outer vertices lie inside the triangle (h, m, candidate) one of them would
// block the cut, so take the one at the smallest angle to the ray instead.
std::size_t bridgeVertex(const Ring& outer, TvmPoint h) {
    // The nearest edge the ray meets, and its end farther right.
    double hitX = std::numeric_limits<double>::infinity();
    std::size_t candidate = outer.size();
    for (std::size_t i = 0; i < outer.size(); ++i) {
        const TvmPoint& a = outer[i];
        const TvmPoint& b = outer[(i + 1) % outer.size()];
        if (a.y == b.y || h.y < std::min(a.y, b.y) || h.y > std::max(a.y, b.y)) continue;
        const double t = static_cast<double>(h.y - a.y) / (b.y - a.y);
        const double x = a.x + t * (b.x - a.x);
        if (x < h.x || x >= hitX) continue;
        hitX = x;
        candidate = a.x >= b.x ? i : (i + 1) % outer.size();
    }
    if (candidate == outer.size()) return nearestVertex(outer, h);
    // Outer vertices inside the triangle (h, m, candidate) would block the cut.
    const TvmPoint m{static_cast<int32_t>(std::lround(hitX)), h.y};
    const TvmPoint c = outer[candidate];
    double bestTan = std::numeric_limits<double>::infinity();
    std::size_t best = candidate;
    for (std::size_t i = 0; i < outer.size(); ++i) {
        const TvmPoint& p = outer[i];
        if (i == candidate || p.x <= h.x || !inTriangle(h, m, c, p)) continue;
        const double tan = std::fabs(static_cast<double>(p.y) - h.y) / (p.x - h.x);
        if (tan < bestTan) {
            bestTan = tan;
            best = i;
        }
    }
    return best;
}

} // namespace

Ring joinHoles(Ring outer, std::vector<Ring> holes) {
    if (signedArea2(outer) < 0) std::reverse(outer.begin(), outer.end());
    std::erase_if(holes, [](const Ring& h) { return h.size() < 3; });
    for (Ring& hole : holes)
        if (signedArea2(hole) > 0) std::reverse(hole.begin(), hole.end());
    // Rightmost holes first, so that later cuts never cross earlier ones.
    std::sort(holes.begin(), holes.end(), [](const Ring& a, const Ring& b) {
        return a[rightmostVertex(a)].x > b[rightmostVertex(b)].x;
    });
    for (const Ring& hole : holes) {
        const std::size_t h = rightmostVertex(hole);
        const std::size_t m = bridgeVertex(outer, hole[h]);
        Ring joined;
        joined.reserve(outer.size() + hole.size() + 2);
        joined.insert(joined.end(), outer.begin(), outer.begin() + static_cast<long>(m) + 1);
        for (std::size_t k = 0; k <= hole.size(); ++k)
            joined.push_back(hole[(h + k) % hole.size()]);
        joined.insert(joined.end(), outer.begin() + static_cast<long>(m), outer.end());
        outer = std::move(joined);
    }
    return outer;
}

void dropDuplicates(std::vector<TvmPoint>& points, bool closed) {
    auto same = [](TvmPoint a, TvmPoint b) { return a.x == b.x && a.y == b.y; };
    points.erase(std::unique(points.begin(), points.end(), same), points.end());
    if (closed && points.size() > 1 && same(points.front(), points.back())) points.pop_back();
}

bool ringContains(const Ring& ring, double x, double y) {
    bool in = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = ring[i].x, yi = ring[i].y, xj = ring[j].x, yj = ring[j].y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

TvmPoint labelPoint(const Ring& ring) {
    const UnitRect box = boundsOf(ring);
    const TvmPoint middle{static_cast<int32_t>((static_cast<int64_t>(box.x0) + box.x1) / 2),
                          static_cast<int32_t>((static_cast<int64_t>(box.y0) + box.y1) / 2)};
    const double a2 = signedArea2(ring);
    if (ring.size() < 3 || a2 == 0) return middle;
    // Centroid relative to the first point keeps the products small.
    double cx = 0, cy = 0;
    const double ox = ring[0].x, oy = ring[0].y;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const double ax = ring[i].x - ox, ay = ring[i].y - oy;
        const double bx = ring[(i + 1) % ring.size()].x - ox;
        const double by = ring[(i + 1) % ring.size()].y - oy;
        const double cross = ax * by - bx * ay;
        cx += (ax + bx) * cross;
        cy += (ay + by) * cross;
    }
    cx = cx / (3 * a2) + ox;
    cy = cy / (3 * a2) + oy;
    if (!ringContains(ring, cx, cy)) return middle;
    return {static_cast<int32_t>(std::lround(cx)), static_cast<int32_t>(std::lround(cy))};
}

} // namespace tevo::tvmc
