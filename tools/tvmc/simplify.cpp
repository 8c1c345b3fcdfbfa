#include "tools/tvmc/simplify.hpp"

#include "tools/tvmc/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tevo::tvmc {

namespace {

// Squared distance of p from the segment a-b.
double distance2(TvmPoint p, TvmPoint a, TvmPoint b) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    double px = static_cast<double>(p.x) - a.x, py = static_cast<double>(p.y) - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 > 0) {
        const double t = std::clamp((px * dx + py * dy) / len2, 0.0, 1.0);
        px -= t * dx;
        py -= t * dy;
    }
    return px * px + py * py;
}

// Douglas-Peucker is quadratic when every split lands next to an end (a
// zig-zag whose swings grow): long runs are simplified in pieces of this many
// points, whose ends are kept, so the work stays linear in the length.
constexpr std::size_t kPiecePoints = 256;

// The working copies of a simplification, kept by each thread from call to
// call: most rings are buildings of a few points, and their working copies
// took more time to allocate than the simplification itself.
struct Work {
    std::vector<TvmPoint> pts;
    std::vector<bool> keep;
    std::vector<std::pair<std::size_t, std::size_t>> stack;
};

Work& work() {
    thread_local Work w;
    return w;
}

// Marks the points of [first, last] that the simplified line keeps.
void markPiece(const std::vector<TvmPoint>& pts, std::size_t first, std::size_t last,
               double tolerance2, std::vector<bool>& keep) {
    std::vector<std::pair<std::size_t, std::size_t>>& stack = work().stack;
    stack.assign(1, {first, last});
    while (!stack.empty()) {
        const auto [a, b] = stack.back();
        stack.pop_back();
        double worst = -1;
        std::size_t worstAt = a;
        for (std::size_t i = a + 1; i < b; ++i) {
            const double d = distance2(pts[i], pts[a], pts[b]);
            if (d > worst) {
                worst = d;
                worstAt = i;
            }
        }
        if (worstAt == a || worst <= tolerance2) continue;
        keep[worstAt] = true;
        stack.push_back({a, worstAt});
        stack.push_back({worstAt, b});
    }
}

void markKept(const std::vector<TvmPoint>& pts, std::size_t first, std::size_t last,
              double tolerance2, std::vector<bool>& keep) {
    for (std::size_t a = first; a < last; a += kPiecePoints) {
        const std::size_t b = std::min(last, a + kPiecePoints);
        keep[b] = true;
        markPiece(pts, a, b, tolerance2, keep);
    }
}

std::vector<TvmPoint> keptPoints(const std::vector<TvmPoint>& pts, const std::vector<bool>& keep) {
    std::vector<TvmPoint> out;
    out.reserve(static_cast<std::size_t>(std::count(keep.begin(), keep.end(), true)));
    for (std::size_t i = 0; i < pts.size(); ++i)
        if (keep[i]) out.push_back(pts[i]);
    return out;
}

} // namespace

std::vector<TvmPoint> simplifyLine(const std::vector<TvmPoint>& line, double tolerance) {
    std::vector<TvmPoint>& pts = work().pts;
    pts.assign(line.begin(), line.end());
    dropDuplicates(pts, false);
    if (pts.size() <= 2) return pts;
    std::vector<bool>& keep = work().keep;
    keep.assign(pts.size(), false);
    keep.front() = keep.back() = true;
    markKept(pts, 0, pts.size() - 1, tolerance * tolerance, keep);
    return keptPoints(pts, keep);
}

std::vector<TvmPoint> simplifyRing(const std::vector<TvmPoint>& ring, double tolerance) {
    std::vector<TvmPoint>& pts = work().pts;
    pts.assign(ring.begin(), ring.end());
    dropDuplicates(pts, true);
    if (pts.size() < 3) return {};
    std::size_t far = 0;
    double farD = -1;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        const double dx = static_cast<double>(pts[i].x) - pts[0].x;
        const double dy = static_cast<double>(pts[i].y) - pts[0].y;
        if (dx * dx + dy * dy > farD) {
            farD = dx * dx + dy * dy;
            far = i;
        }
    }
    pts.push_back(pts.front()); // close it so the second half ends at the start
    std::vector<bool>& keep = work().keep;
    keep.assign(pts.size(), false);
    keep[0] = keep[far] = true;
    markKept(pts, 0, far, tolerance * tolerance, keep);
    markKept(pts, far, pts.size() - 1, tolerance * tolerance, keep);
    keep.back() = false;
    std::vector<TvmPoint> out = keptPoints(pts, keep);
    if (out.size() < 3 || signedArea2(out) == 0) return {};
    return out;
}

} // namespace tevo::tvmc
