// Polygon fills: classification against the clip rectangle, the choice
// between the monotone and the edge-table fill, and the solid spans.
#include "render/raster/polygon_walk.hpp"

#include <algorithm>
#include <cstring>

namespace tevo {

namespace raster {

Survey survey(const ScreenPoint* points, int count, const PixelRect& clip) {
    Survey s;
    int32_t minX = points[0].x, maxX = points[0].x;
    int32_t topY = points[0].y, topX = points[0].x, bottomY = points[0].y;
    // The y steps around the polygon, from the closing edge on.
    int changes = 0, sign = 0;
    int32_t prevY = points[count - 1].y;
    for (int i = 0; i < count; ++i) {
        const int32_t x = points[i].x, y = points[i].y;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        if (y < topY || (y == topY && x < topX)) {
            s.e.top = i;
            topY = y;
            topX = x;
        }
        if (y > bottomY) {
            s.e.bottom = i;
            bottomY = y;
        }
        const int step = (y > prevY) - (y < prevY);
        changes += step != 0 && sign != 0 && step != sign;
        sign = step != 0 ? step : sign;
        prevY = y;
    }
    // Around the corner: the last step against the first.
    for (int i = 0, first = 0; i < count && first == 0; ++i) {
        const int32_t before = points[i == 0 ? count - 1 : i - 1].y, y = points[i].y;
        first = (y > before) - (y < before);
        changes += first != 0 && sign != 0 && first != sign;
    }
    s.minX = minX;
    s.maxX = maxX;
    s.monotone = changes <= 2;
    // Wholly beyond one side of the clip: every vertex lies in that side's
    // three outer regions. Inside when the box is.
    if (maxX < clip.left || minX > clip.right || bottomY < clip.top || topY > clip.bottom)
        s.kind = PolygonClass::Outside;
    else if (minX >= clip.left && maxX <= clip.right && topY >= clip.top && bottomY <= clip.bottom)
        s.kind = PolygonClass::Inside;
    else
        s.kind = PolygonClass::Straddling;
    return s;
}

bool buildEdgeTable(const ScreenPoint* p, int count, cPainter::FillScratch& s) {
    // One record per edge, oriented downwards; horizontal edges never
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
        kind == FillKind::Monotone || (kind == FillKind::Choose && (count < 4 || survey.monotone));
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
