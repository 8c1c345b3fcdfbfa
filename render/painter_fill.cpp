// Polygon fills: classification against the clip rectangle, the choice
// between the monotone and the edge-table fill, and the solid spans.
#include "render/polygon_walk.hpp"

#include <algorithm>

namespace tevo {

namespace raster {

namespace {
// Outer regions of each side of the clip rectangle, as bits of region codes.
constexpr unsigned bit(int region) {
    return 1u << region;
}
constexpr unsigned kSides[4] = {
    bit(kAboveLeft) | bit(kAbove) | bit(kAboveRight),
    bit(kAboveRight) | bit(kRight) | bit(kBelowRight),
    bit(kBelowRight) | bit(kBelow) | bit(kBelowLeft),
    bit(kBelowLeft) | bit(kLeft) | bit(kAboveLeft),
};
} // namespace

PolygonClass classify(const ScreenPoint* points, int count, const PixelRect& clip) {
    unsigned regions = 0;
    int inside = 0;
    for (int i = 0; i < count; ++i) {
        const int code = regionCode(points[i].x, points[i].y, clip);
        if (code == kInside)
            ++inside;
        else
            regions |= bit(code);
    }
    if (inside == count) return PolygonClass::Inside;
    if (inside > 0) return PolygonClass::Straddling;
    for (unsigned side : kSides)
        if ((regions & ~side) == 0) return PolygonClass::Outside;
    return PolygonClass::Straddling;
}

Extremes extremes(const ScreenPoint* points, int count) {
    Extremes e;
    for (int i = 1; i < count; ++i) {
        const ScreenPoint& p = points[i];
        const ScreenPoint& t = points[e.top];
        if (p.y < t.y || (p.y == t.y && p.x < t.x)) e.top = i;
        if (p.y > points[e.bottom].y) e.bottom = i;
    }
    return e;
}

bool isMonotone(const ScreenPoint* points, int count, const Extremes& e) {
    for (int dir : {1, -1}) {
        for (int i = e.top; i != e.bottom;) {
            const int j = (i + dir + count) % count;
            if (points[j].y < points[i].y) return false;
            i = j;
        }
    }
    return true;
}

bool buildEdgeTable(const ScreenPoint* p, int count, cPainter::FillScratch& s) {
    // 1. One record per edge, oriented downwards; horizontal edges never
    // become active and are left out.
    s.edges.clear();
    for (int i = 0; i < count; ++i) {
        const ScreenPoint& a = p[i];
        const ScreenPoint& b = p[i + 1 == count ? 0 : i + 1];
        if (a.y == b.y) continue;
        PolyEdge e;
        if (a.y < b.y)
            e.setup(a.x, a.y, b.x, b.y);
        else
            e.setup(b.x, b.y, a.x, a.y);
        s.edges.push_back(e);
    }
    if (s.edges.empty()) return false;
    // 2. Vertex rows ascending; consecutive distinct ones bound the bands.
    s.ys.clear();
    for (int i = 0; i < count; ++i) s.ys.push_back(p[i].y);
    std::sort(s.ys.begin(), s.ys.end());
    s.ys.erase(std::unique(s.ys.begin(), s.ys.end()), s.ys.end());
    // Edges in order of their top row, admitted band by band.
    s.order.resize(s.edges.size());
    for (size_t i = 0; i < s.order.size(); ++i) s.order[i] = static_cast<int32_t>(i);
    std::stable_sort(s.order.begin(), s.order.end(),
                     [&](int32_t a, int32_t b) { return s.edges[a].yTop < s.edges[b].yTop; });
    return true;
}

} // namespace raster

bool cPainter::fill(const ScreenPoint* points, int count, FillKind kind) {
    if (pixels_ == nullptr || points == nullptr || count < 2 || clip_.empty()) return false;
    if (raster::classify(points, count, clip_) == raster::PolygonClass::Outside) return false;
    BusyGuard guard(*this);
    if (!prepareSpan(fillColour_, clip_.right - clip_.left + 1)) return false;
    const auto solid = [this](int32_t y, int32_t xl, int32_t xr) { span(y, xl, xr); };
    const raster::Extremes e = raster::extremes(points, count);
    const bool monotone =
        kind == FillKind::Monotone ||
        (kind == FillKind::Choose && (count < 4 || raster::isMonotone(points, count, e)));
    if (monotone)
        raster::monotoneWalk(points, count, e, clip_, solid);
    else
        raster::edgeTableWalk(points, count, clip_, false, scratch_, solid);
    return true;
}

bool cPainter::fillPolygon(const ScreenPoint* points, int count) {
    return fill(points, count, FillKind::Choose);
}

bool cPainter::fillMonotone(const ScreenPoint* points, int count) {
    return fill(points, count, FillKind::Monotone);
}

bool cPainter::fillEdgeTable(const ScreenPoint* points, int count) {
    return fill(points, count, FillKind::EdgeTable);
}

} // namespace tevo
