// Lines: one pixel wide with clipping and dash patterns, wide lines, and
// polylines whose dash pattern runs on across the corners.
#include "render/raster/painter.hpp"
#include "render/raster/raster_internal.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tevo {

namespace raster {

int64_t isqrtWide(unsigned __int128 v) {
    if (v <= static_cast<unsigned __int128>(INT64_MAX)) return isqrt(static_cast<int64_t>(v));
    return static_cast<int64_t>(std::sqrt(static_cast<double>(v)) + 0.5);
}

} // namespace raster

namespace {

using raster::ceilDiv;

constexpr int kPhases = 16;
constexpr int kPhaseMask = kPhases - 1;
// The Euclidean dash correction counts in hundredths of a pixel.
constexpr int64_t kHundred = 100;
constexpr int64_t kCorrectionScale = 10000;
// From this width on a wide line is a filled quadrilateral.
constexpr int32_t kQuadWidth = 6;

// The pixels of the line (x0, y0) to (x1, y1) are n = 0 .. major: the major
// coordinate moves by one per pixel, the minor one by floor(n * minor / major).
// planLine finds the first and last n inside the clip rectangle, so a clipped
// line sets exactly the pixels the whole line would set there.
struct LineWalk {
    int64_t major0 = 0, minor0 = 0; // start coordinates along each axis
    int64_t bigDelta = 0;           // |major delta|
    int64_t smallDelta = 0;         // |minor delta|
    int64_t majorSign = 1, minorSign = 1;
    bool xMajor = true;
    int64_t first = 0, last = 0;

    int64_t minorOffset(int64_t n) const {
        if (bigDelta == 0) return 0;
        return static_cast<int64_t>(static_cast<__int128>(n) * smallDelta / bigDelta);
    }
    ScreenPoint pixel(int64_t n) const {
        const int64_t a = major0 + majorSign * n;
        const int64_t b = minor0 + minorSign * minorOffset(n);
        return xMajor ? ScreenPoint{static_cast<int32_t>(a), static_cast<int32_t>(b)}
                      : ScreenPoint{static_cast<int32_t>(b), static_cast<int32_t>(a)};
    }
};

// Range of n with lo <= start + sign * n <= hi.
void axisRange(int64_t start, int64_t sign, int64_t lo, int64_t hi, __int128& from, __int128& to) {
    if (sign > 0) {
        from = static_cast<__int128>(lo) - start;
        to = static_cast<__int128>(hi) - start;
    } else {
        from = static_cast<__int128>(start) - hi;
        to = static_cast<__int128>(start) - lo;
    }
}

bool planLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const PixelRect& clip, LineWalk& w) {
    const int64_t dx = x1 - x0, dy = y1 - y0;
    w.xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t dMajor = w.xMajor ? dx : dy, dMinor = w.xMajor ? dy : dx;
    w.major0 = w.xMajor ? x0 : y0;
    w.minor0 = w.xMajor ? y0 : x0;
    w.majorSign = dMajor < 0 ? -1 : 1;
    w.minorSign = dMinor < 0 ? -1 : 1;
    w.bigDelta = dMajor < 0 ? -dMajor : dMajor;
    w.smallDelta = dMinor < 0 ? -dMinor : dMinor;
    const int64_t majorLo = w.xMajor ? clip.left : clip.top;
    const int64_t majorHi = w.xMajor ? clip.right : clip.bottom;
    const int64_t minorLo = w.xMajor ? clip.top : clip.left;
    const int64_t minorHi = w.xMajor ? clip.bottom : clip.right;

    __int128 from = 0, to = w.bigDelta, a, b;
    axisRange(w.major0, w.majorSign, majorLo, majorHi, a, b);
    from = std::max(from, a);
    to = std::min(to, b);
    // Minor offset t = floor(n * d / D) must lie in [a, b].
    axisRange(w.minor0, w.minorSign, minorLo, minorHi, a, b);
    if (w.smallDelta == 0 || w.bigDelta == 0) {
        if (a > 0 || b < 0) return false;
    } else {
        from = std::max(from, ceilDiv(a * w.bigDelta, w.smallDelta));
        to = std::min(to, ceilDiv((b + 1) * w.bigDelta, w.smallDelta) - 1);
    }
    if (from > to) return false;
    w.first = static_cast<int64_t>(from);
    w.last = static_cast<int64_t>(to);
    return true;
}

template <class Pixel>
void walkSolid(uint8_t* base, intptr_t at, intptr_t majorStep, intptr_t minorStep, int64_t count,
               int64_t err, int64_t d, int64_t big, Pixel colour) {
    for (int64_t i = 0; i < count; ++i) {
        std::memcpy(base + at, &colour, sizeof colour);
        at += majorStep;
        err += d;
        if (err >= big) {
            err -= big;
            at += minorStep;
        }
    }
}

struct DashState {
    uint32_t pattern;
    int32_t phase;
    int32_t acc; // hundredths of a pixel carried toward the next phase step
    int32_t k;   // Euclidean correction per pixel, in hundredths
};

template <class Pixel>
void walkDashed(uint8_t* base, intptr_t at, intptr_t majorStep, intptr_t minorStep, int64_t count,
                int64_t err, int64_t d, int64_t big, Pixel colour, DashState s) {
    for (int64_t i = 0; i < count; ++i) {
        if ((s.pattern >> s.phase) & 1) std::memcpy(base + at, &colour, sizeof colour);
        at += majorStep;
        err += d;
        if (err >= big) {
            err -= big;
            at += minorStep;
        }
        ++s.phase;
        s.acc += s.k;
        if (s.acc >= kHundred) {
            s.acc -= kHundred;
            ++s.phase;
        }
        s.phase &= kPhaseMask;
    }
}

// The per-pixel growth of the dash phase beyond one, in hundredths:
// sqrt(1 + (minor / major)^2) - 1.
int32_t euclideanCorrection(const LineWalk& w) {
    if (w.bigDelta == 0) return 0;
    const __int128 big2 = static_cast<__int128>(w.bigDelta) * w.bigDelta;
    const __int128 small2 = static_cast<__int128>(w.smallDelta) * w.smallDelta;
    const int64_t ratio = kCorrectionScale + static_cast<int64_t>(small2 * kCorrectionScale / big2);
    return static_cast<int32_t>(isqrt(ratio) - kHundred);
}

int64_t roundHalfAway(double v) {
    return static_cast<int64_t>(v < 0 ? v - 0.5 : v + 0.5);
}

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

int32_t cPainter::dashAdvance(int64_t dx, int64_t dy) const {
    if (dashPattern_ == kSolid) return dashPhase_;
    const unsigned __int128 length2 =
        static_cast<unsigned __int128>(static_cast<__int128>(dx) * dx) +
        static_cast<unsigned __int128>(static_cast<__int128>(dy) * dy);
    const int64_t advance = (raster::isqrtWide(length2) - 1) % kPhases + dashPhase_;
    // Kept in 0..15 (a zero-length step gives -1) so that the next pattern
    // bit is always a valid one.
    return static_cast<int32_t>(((advance % kPhases) + kPhases) % kPhases);
}

bool cPainter::drawLine1(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Segment* clipped) {
    if (pixels_ == nullptr) return false;
    BusyGuard guard(*this);
    return line1(x0, y0, x1, y1, clipped);
}

bool cPainter::line1(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Segment* clipped) {
    // The phase the whole line ends on, whatever part of it shows.
    const int32_t endPhase = dashAdvance(x1 - x0, y1 - y0);
    // Trivial rejection: both ends in the same or neighbouring outer
    // regions, or in two corners of one side.
    const int c0 = raster::regionCode(x0, y0, clip_);
    const int c1 = raster::regionCode(x1, y1, clip_);
    if (c0 != raster::kInside && c1 != raster::kInside) {
        const int d = c0 > c1 ? c0 - c1 : c1 - c0;
        if (d == 0 || d == 1 || d == 7 || ((d == 2 || d == 6) && (c0 & 1))) {
            dashPhase_ = endPhase;
            return false;
        }
    }
    // Clip, keeping the Bresenham error and the dash phase of the start.
    LineWalk w;
    if (!planLine(x0, y0, x1, y1, clip_, w)) {
        dashPhase_ = endPhase;
        return false;
    }
    // Report the clipped ends.
    if (clipped != nullptr) *clipped = {w.pixel(w.first), w.pixel(w.last)};
    // The walk from the first visible pixel.
    const ScreenPoint start = w.pixel(w.first);
    const int64_t err =
        w.bigDelta == 0
            ? 0
            : static_cast<int64_t>(static_cast<__int128>(w.first) * w.smallDelta % w.bigDelta);
    const intptr_t across = bytesPerPixel_, down = pitch_;
    const intptr_t majorStep = w.majorSign * (w.xMajor ? across : down);
    const intptr_t minorStep = w.minorSign * (w.xMajor ? down : across);
    const intptr_t at =
        static_cast<intptr_t>(start.y) * pitch_ + (intptr_t{start.x} << pixelShift_);
    const int64_t count = w.last - w.first + 1;
    if (dashPattern_ == kSolid) {
        if (bytesPerPixel_ == 2)
            walkSolid<uint16_t>(pixels_, at, majorStep, minorStep, count, err, w.smallDelta,
                                w.bigDelta, static_cast<uint16_t>(lineColour_));
        else
            walkSolid<uint32_t>(pixels_, at, majorStep, minorStep, count, err, w.smallDelta,
                                w.bigDelta, lineColour_);
    } else {
        const int32_t k = euclideanCorrection(w);
        const int64_t carried = w.first * k;
        DashState s{dashPattern_,
                    static_cast<int32_t>((dashPhase_ + w.first + carried / kHundred) & kPhaseMask),
                    static_cast<int32_t>(carried % kHundred), k};
        if (bytesPerPixel_ == 2)
            walkDashed<uint16_t>(pixels_, at, majorStep, minorStep, count, err, w.smallDelta,
                                 w.bigDelta, static_cast<uint16_t>(lineColour_), s);
        else
            walkDashed<uint32_t>(pixels_, at, majorStep, minorStep, count, err, w.smallDelta,
                                 w.bigDelta, lineColour_, s);
    }
    // The phase the whole line ends on.
    dashPhase_ = endPhase;
    return true;
}

bool cPainter::drawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int* drawn,
                        Segment* visible) {
    if (drawn != nullptr) *drawn = 0;
    if (pixels_ == nullptr) return false;
    BusyGuard guard(*this);
    // A line on its own starts its pattern afresh.
    if (!continueDash_) dashPhase_ = 0;
    // A point, or no width: the start pixel only.
    if ((x0 == x1 && y0 == y1) || lineWidth_ <= 0) {
        if (bounds_.contains(x0, y0)) putPixel(x0, y0, lineColour_);
        if (continueDash_) dashPhase_ = dashAdvance(int64_t{x1} - x0, int64_t{y1} - y0);
        return false;
    }
    // One pixel wide.
    if (lineWidth_ == 1) {
        const bool shown = line1(x0, y0, x1, y1, visible);
        if (shown && drawn != nullptr) *drawn = 2;
        return shown;
    }
    // Wide: report the visible part of the centre line.
    if (drawn != nullptr || visible != nullptr) {
        LineWalk w;
        if (planLine(x0, y0, x1, y1, clip_, w)) {
            if (drawn != nullptr) *drawn = 2;
            if (visible != nullptr) *visible = {w.pixel(w.first), w.pixel(w.last)};
        }
    }
    return wideLine(x0, y0, x1, y1);
}

bool cPainter::wideLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    // The offset is perpendicular to the line and lineWidth - 1 long; the
    // line moves back by half of it.
    const double dx = static_cast<double>(x1 - x0), dy = static_cast<double>(y1 - y0);
    const double width = lineWidth_ - 1;
    const double scale = std::sqrt(width * width / (dx * dx + dy * dy));
    const int64_t ox = roundHalfAway(dy * scale), oy = roundHalfAway(-dx * scale);
    x0 -= ox >> 1;
    y0 -= oy >> 1;
    x1 -= ox >> 1;
    y1 -= oy >> 1;
    // Wide lines are filled quadrilaterals.
    if (lineWidth_ >= kQuadWidth) {
        const int32_t endPhase = dashAdvance(x1 - x0, y1 - y0);
        const ScreenPoint quad[4] = {{saturate(x0), saturate(y0)},
                                     {saturate(x1), saturate(y1)},
                                     {saturate(x1 + ox), saturate(y1 + oy)},
                                     {saturate(x0 + ox), saturate(y0 + oy)}};
        const uint32_t saved = fillColour_;
        fillColour_ = lineColour_;
        const bool shown = fill(quad, 4, FillKind::Monotone);
        fillColour_ = saved;
        dashPhase_ = endPhase;
        return shown;
    }
    // Parallel one-pixel lines across the width; where the offset takes a
    // diagonal step, one more line fills the gap. All start on one phase.
    const bool xMajor = (ox < 0 ? -ox : ox) >= (oy < 0 ? -oy : oy);
    const int64_t big = xMajor ? (ox < 0 ? -ox : ox) : (oy < 0 ? -oy : oy);
    const int64_t small = xMajor ? (oy < 0 ? -oy : oy) : (ox < 0 ? -ox : ox);
    const int64_t sx = ox < 0 ? -1 : 1, sy = oy < 0 ? -1 : 1;
    const int32_t phase = dashPhase_;
    bool shown = false;
    int64_t ex = 0, ey = 0, err = 0;
    for (int64_t i = 0;; ++i) {
        dashPhase_ = phase;
        shown |= line1(x0 + ex, y0 + ey, x1 + ex, y1 + ey, nullptr);
        if (i == big) break;
        (xMajor ? ex : ey) += xMajor ? sx : sy;
        err += small;
        if (err >= big) {
            err -= big;
            dashPhase_ = phase;
            shown |= line1(x0 + ex, y0 + ey, x1 + ex, y1 + ey, nullptr);
            (xMajor ? ey : ex) += xMajor ? sy : sx;
        }
    }
    return shown;
}

bool cPainter::drawPolyline(int count, const ScreenPoint* points) {
    if (points == nullptr || pixels_ == nullptr) return false;
    BusyGuard guard(*this);
    dashPhase_ = 0;
    continueDash_ = true;
    bool any = false;
    for (int i = 0; i + 1 < count; ++i)
        any |= drawLine(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
    continueDash_ = false;
    return any;
}

bool cPainter::drawPolylineVisible(int count, const ScreenPoint* points,
                                   std::vector<ScreenPoint>& visible) {
    visible.clear();
    if (points == nullptr || pixels_ == nullptr) return false;
    BusyGuard guard(*this);
    dashPhase_ = 0;
    continueDash_ = true;
    bool any = false;
    for (int i = 0; i + 1 < count; ++i) {
        int drawn = 0;
        Segment part;
        any |= drawLine(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, &drawn, &part);
        if (drawn != 2) continue;
        if (visible.empty() || !(visible.back() == part.from)) visible.push_back(part.from);
        visible.push_back(part.to);
    }
    continueDash_ = false;
    return any;
}

} // namespace tevo
