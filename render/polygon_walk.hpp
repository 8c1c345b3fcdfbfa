// The two polygon scan converters, shared by the plain and the depth fill.
// Each hands clipped spans (row, first x, last x, both inclusive) to a span
// writer, so the walking is written once and the per-pixel work is the
// writer's.
#pragma once

#include "render/painter.hpp"
#include "render/raster_internal.hpp"

#include <algorithm>

namespace tevo::raster {

enum class PolygonClass { Outside, Straddling, Inside };

// Outside when no vertex is inside and all lie in the outer regions of one
// side (which takes in one region and two neighbouring ones).
PolygonClass classify(const ScreenPoint* points, int count, const PixelRect& clip);

struct Extremes {
    int top = 0;    // smallest y, leftmost on ties
    int bottom = 0; // largest y, first found
};
Extremes extremes(const ScreenPoint* points, int count);

// True when y never decreases walking from the top to the bottom vertex in
// either direction around the polygon.
bool isMonotone(const ScreenPoint* points, int count, const Extremes& e);

// One side of a y-monotone polygon, walked from the top vertex to the bottom
// one in direction dir (+1 or -1).
class Chain {
public:
    Chain(const ScreenPoint* p, int count, const Extremes& e, int dir)
        : p_(p), count_(count), bottom_(e.bottom), dir_(dir), index_(e.top) {}

    // The x extent of the chain on row y; rows come in increasing order, each
    // below the top vertex and not below the bottom one.
    void extent(int64_t y, int64_t& lo, int64_t& hi) {
        int nx = next(index_);
        if (index_ != bottom_ && p_[nx].y < y) {
            do {
                index_ = nx;
                nx = next(index_);
            } while (index_ != bottom_ && p_[nx].y < y);
            started_ = false;
        }
        if (index_ == bottom_) {
            lo = hi = p_[bottom_].x;
            return;
        }
        if (!started_) {
            edge_.setup(p_[index_].x, p_[index_].y, p_[nx].x, p_[nx].y);
            started_ = true;
        }
        edge_.moveTo(y);
        lo = hi = edge_.x;
        if (y != p_[nx].y) return;
        // A vertex row: the horizontal run that follows belongs to it.
        for (int k = nx; k != bottom_ && p_[next(k)].y == y;) {
            k = next(k);
            lo = std::min<int64_t>(lo, p_[k].x);
            hi = std::max<int64_t>(hi, p_[k].x);
        }
    }

private:
    int next(int i) const {
        return dir_ > 0 ? (i + 1 == count_ ? 0 : i + 1) : (i == 0 ? count_ - 1 : i - 1);
    }

    const ScreenPoint* p_;
    int count_;
    int bottom_;
    int dir_;
    int index_;
    bool started_ = false;
    PolyEdge edge_;
};

// Monotone fill: every row below the top vertex down to the bottom one, from
// the smaller to the larger chain x, both ends included.
template <class SpanFn>
void monotoneWalk(const ScreenPoint* p, int count, const Extremes& e, const PixelRect& clip,
                  SpanFn&& span) {
    const int64_t first = std::max<int64_t>(int64_t{p[e.top].y} + 1, clip.top);
    const int64_t last = std::min<int64_t>(p[e.bottom].y, clip.bottom);
    Chain forward(p, count, e, 1), backward(p, count, e, -1);
    for (int64_t y = first; y <= last; ++y) {
        int64_t lo, hi, lo2, hi2;
        forward.extent(y, lo, hi);
        backward.extent(y, lo2, hi2);
        lo = std::max<int64_t>(std::min(lo, lo2), clip.left);
        hi = std::min<int64_t>(std::max(hi, hi2), clip.right);
        if (lo <= hi)
            span(static_cast<int32_t>(y), static_cast<int32_t>(lo), static_cast<int32_t>(hi));
    }
}

// Sets up the edge table (step 1) and the sorted distinct vertex rows
// (step 2) in the scratch arrays; false when there is no edge to walk.
bool buildEdgeTable(const ScreenPoint* p, int count, cPainter::FillScratch& s);

// Edge-table fill (even-odd): bands between consecutive vertex rows, the
// active edges of each sorted by x on every row and filled in pairs. The
// right end of a span is left out unless includeRight is set.
template <class SpanFn>
void edgeTableWalk(const ScreenPoint* p, int count, const PixelRect& clip, bool includeRight,
                   cPainter::FillScratch& s, SpanFn&& span) {
    if (!buildEdgeTable(p, count, s)) return;
    s.active.clear();
    size_t admitted = 0;
    const int64_t rightLimit = includeRight ? clip.right : int64_t{clip.right} + 1;
    for (size_t band = 0; band + 1 < s.ys.size(); ++band) {
        const int64_t ya = s.ys[band], yb = std::min<int64_t>(s.ys[band + 1], clip.bottom);
        if (ya >= clip.bottom) break;
        // 3. Active edges: those spanning the band.
        std::erase_if(s.active, [&](int32_t i) { return s.edges[i].yBottom <= ya; });
        while (admitted < s.order.size() && s.edges[s.order[admitted]].yTop <= ya)
            s.active.push_back(s.order[admitted++]);
        if (s.active.empty() || (s.active.size() & 1)) continue;
        // 4. Rows of the band; the polygon's top row is never drawn.
        for (int64_t y = std::max<int64_t>(ya + 1, clip.top); y <= yb; ++y) {
            for (int32_t i : s.active) s.edges[i].moveTo(y);
            // The order of the row above is nearly right: insertion sort.
            for (size_t i = 1; i < s.active.size(); ++i) {
                const int32_t v = s.active[i];
                size_t j = i;
                for (; j > 0 && s.edges[s.active[j - 1]].x > s.edges[v].x; --j)
                    s.active[j] = s.active[j - 1];
                s.active[j] = v;
            }
            for (size_t k = s.active.size(); k >= 2; k -= 2) {
                const int64_t right = s.edges[s.active[k - 1]].x;
                if (right < clip.left) break;
                const int64_t left = std::max<int64_t>(s.edges[s.active[k - 2]].x, clip.left);
                const int64_t end =
                    includeRight ? std::min(right, rightLimit) : std::min(right, rightLimit) - 1;
                if (left <= end)
                    span(static_cast<int32_t>(y), static_cast<int32_t>(left),
                         static_cast<int32_t>(end));
            }
        }
    }
}

} // namespace tevo::raster
