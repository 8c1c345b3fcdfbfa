#include "render/overlays/label_space.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tevo {

namespace {

// Text boxes include the halo and the font's line gap; a name may touch
// another by this much before it counts as written over it.
constexpr double kTouch = 1.0;

struct Span {
    double low;
    double high;
};

// The boxes' corners projected on the axis (ax, ay).
Span project(const LabelBox& box, double ax, double ay) {
    Span s{INFINITY, -INFINITY};
    for (const LabelBox::Corner& c : box.corners) {
        const double d = c.x * ax + c.y * ay;
        s.low = std::min(s.low, d);
        s.high = std::max(s.high, d);
    }
    return s;
}

// True when an edge direction of `edges` separates the two boxes (the
// separating axis test of two convex quadrilaterals).
bool separatedByEdgesOf(const LabelBox& edges, const LabelBox& a, const LabelBox& b) {
    for (int i = 0; i < 2; ++i) {
        const LabelBox::Corner& p = edges.corners[i];
        const LabelBox::Corner& q = edges.corners[i + 1];
        const double ex = q.x - p.x;
        const double ey = q.y - p.y;
        const double len = std::hypot(ex, ey);
        if (len == 0) continue;
        const Span sa = project(a, ex / len, ey / len);
        const Span sb = project(b, ex / len, ey / len);
        if (sa.high - kTouch <= sb.low || sb.high - kTouch <= sa.low) return true;
    }
    return false;
}

} // namespace

LabelBox labelBox(int32_t w, int32_t h, ScreenPoint pivot, ScreenPoint at, float angleDegrees) {
    const double turn = static_cast<double>(angleDegrees) * std::numbers::pi / 180.0;
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    const int32_t xs[4] = {0, w, w, 0};
    const int32_t ys[4] = {0, 0, h, h};
    LabelBox box;
    for (int i = 0; i < 4; ++i) {
        const double dx = xs[i] - pivot.x;
        const double dy = ys[i] - pivot.y;
        box.corners[i] = {at.x + c * dx + s * dy, at.y - s * dx + c * dy};
    }
    return box;
}

bool overlaps(const LabelBox& a, const LabelBox& b) {
    // Most boxes of a frame lie far apart: their extents on the screen's axes
    // settle it before the turned edges are tried.
    const Span ax = project(a, 1, 0), bx = project(b, 1, 0);
    if (ax.high - kTouch <= bx.low || bx.high - kTouch <= ax.low) return false;
    const Span ay = project(a, 0, 1), by = project(b, 0, 1);
    if (ay.high - kTouch <= by.low || by.high - kTouch <= ay.low) return false;
    return !separatedByEdgesOf(a, a, b) && !separatedByEdgesOf(b, a, b);
}

bool insideRect(const LabelBox& box, const PixelRect& r) {
    for (const LabelBox::Corner& c : box.corners)
        if (c.x < r.left || c.y < r.top || c.x > r.right + 1 || c.y > r.bottom + 1) return false;
    return true;
}

bool moveInside(ScreenPoint& at, int32_t w, int32_t h, const PixelRect& r) {
    if (w > r.right - r.left + 1 || h > r.bottom - r.top + 1) return false;
    at.x = std::clamp(at.x, r.left, r.right + 1 - w);
    at.y = std::clamp(at.y, r.top, r.bottom + 1 - h);
    return true;
}

bool cLabelSpace::claim(const LabelBox& box) {
    for (const LabelBox& taken : boxes_)
        if (overlaps(box, taken)) return false;
    boxes_.push_back(box);
    return true;
}

} // namespace tevo
