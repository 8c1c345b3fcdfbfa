#include "map/overlap.hpp"

#include <array>

namespace tevo {

namespace {

// Each clipping step at most doubles the points: 4 -> 8 -> 16 -> 32 -> 64.
constexpr int kMaxClipPoints = 64;

struct Polygon {
    std::array<PointF, kMaxClipPoints> p;
    int count = 0;
    void add(PointF q) {
        if (count < kMaxClipPoints) p[count++] = q;
    }
};

// One half-plane: the kept side of an axis-parallel line.
struct HalfPlane {
    bool vertical;  // the line x = at (else y = at)
    bool keepAbove; // keep coordinates >= at (else <= at)
    float at;

    float coord(PointF q) const { return vertical ? q.x : q.y; }
    bool keeps(PointF q) const { return keepAbove ? coord(q) >= at : coord(q) <= at; }
    PointF crossing(PointF a, PointF b) const {
        const float t = (at - coord(a)) / (coord(b) - coord(a));
        if (vertical) return {at, a.y + (b.y - a.y) * t};
        return {a.x + (b.x - a.x) * t, at};
    }
};

Polygon clip(const Polygon& in, const HalfPlane& h) {
    Polygon out;
    for (int i = 0; i < in.count; ++i) {
        const PointF a = in.p[i];
        const PointF b = in.p[(i + 1) % in.count];
        const bool keepA = h.keeps(a);
        const bool keepB = h.keeps(b);
        if (keepA) out.add(a);
        if (keepA != keepB) out.add(h.crossing(a, b));
    }
    return out;
}

} // namespace

int overlapsRect(const PointF footprint[4], float x0, float y0, float x1, float y1) {
    Polygon piece;
    for (int i = 0; i < 4; ++i) piece.add(footprint[i]);
    const HalfPlane planes[4] = {
        {true, true, x0}, {false, true, y0}, {true, false, x1}, {false, false, y1}};
    for (const HalfPlane& h : planes) {
        piece = clip(piece, h);
        if (piece.count == 0) return kNoOverlap;
    }
    return kOverlap;
}

} // namespace tevo
