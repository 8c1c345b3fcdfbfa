// Polygon fills: classification against the clip rectangle, the choice
// between the monotone and the edge-table fill, and the solid spans.
#include "render/polygon_walk.hpp"

#include <algorithm>
#include <cstring>

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

Survey survey(const ScreenPoint* points, int count, const PixelRect& clip) {
    Survey s;
    unsigned regions = 0;
    int inside = 0;
    s.minX = s.maxX = points[0].x;
    for (int i = 0; i < count; ++i) {
        const ScreenPoint& p = points[i];
        const int code = regionCode(p.x, p.y, clip);
        if (code == kInside)
            ++inside;
        else
            regions |= bit(code);
        const ScreenPoint& t = points[s.e.top];
        if (p.y < t.y || (p.y == t.y && p.x < t.x)) s.e.top = i;
        if (p.y > points[s.e.bottom].y) s.e.bottom = i;
        s.minX = std::min(s.minX, p.x);
        s.maxX = std::max(s.maxX, p.x);
    }
    s.kind = PolygonClass::Straddling;
    if (inside == count)
        s.kind = PolygonClass::Inside;
    else if (inside == 0)
        for (unsigned side : kSides)
            if ((regions & ~side) == 0) s.kind = PolygonClass::Outside;
    return s;
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
    std::sort(s.edges.begin(), s.edges.end(),
              [](const PolyEdge& a, const PolyEdge& b) { return a.yTop < b.yTop; });
    return true;
}

} // namespace raster

namespace {

// Spans up to this many pixels are stored one by one; longer ones are block
// copies from the span buffer.
constexpr int32_t kShortSpan = 16;

template <class Pixel> struct SolidSpan {
    uint8_t* pixels;
    intptr_t pitch;
    const uint8_t* filled; // the span buffer, holding the colour
    Pixel colour;
    void operator()(int32_t y, int32_t xl, int32_t xr) const {
        Pixel* row = reinterpret_cast<Pixel*>(pixels + y * pitch) + xl;
        const int32_t n = xr - xl + 1;
        if (n <= kShortSpan) {
            for (int32_t i = 0; i < n; ++i) row[i] = colour;
        } else {
            std::memcpy(row, filled, static_cast<size_t>(n) * sizeof(Pixel));
        }
    }
};

} // namespace

bool cPainter::fill(const ScreenPoint* points, int count, FillKind kind) {
    if (pixels_ == nullptr || points == nullptr || count < 2 || clip_.empty()) return false;
    const raster::Survey survey = raster::survey(points, count, clip_);
    if (survey.kind == raster::PolygonClass::Outside) return false;
    BusyGuard guard(*this);
    const raster::Extremes& e = survey.e;
    // The span buffer holds the colour as far as the polygon can reach.
    const int32_t reach =
        std::min(survey.maxX, clip_.right) - std::max(survey.minX, clip_.left) + 1;
    if (reach <= 0 || !prepareSpan(fillColour_, reach)) return false;
    const bool monotone =
        kind == FillKind::Monotone ||
        (kind == FillKind::Choose && (count < 4 || raster::isMonotone(points, count, e)));
    const auto run = [&](auto&& writer) {
        if (monotone)
            raster::monotoneWalk(points, count, e, clip_, writer);
        else
            raster::edgeTableWalk(points, count, clip_, false, scratch_, writer);
    };
    if (bytesPerPixel_ == 2)
        run(SolidSpan<uint16_t>{pixels_, pitch_, spanBuffer_.data(),
                                static_cast<uint16_t>(fillColour_)});
    else
        run(SolidSpan<uint32_t>{pixels_, pitch_, spanBuffer_.data(), fillColour_});
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
