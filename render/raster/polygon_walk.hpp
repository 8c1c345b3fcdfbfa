// The two polygon scan converters, shared by the plain and the depth fill.
// Each hands clipped spans (row, first x, last x, both inclusive) to a span
// writer, so the walking is written once and the per-pixel work is the
// writer's.
#pragma once

#include "render/raster/painter.hpp"
#include "render/raster/raster_internal.hpp"

#include <algorithm>

namespace tevo::raster {

enum class PolygonClass { Outside, Straddling, Inside };

struct Extremes {
    int top = 0;    // smallest y, leftmost on ties
    int bottom = 0; // largest y, first found
};

// What a fill needs to know before it starts, found in one pass.
struct Survey {
    // Outside when no vertex is inside and all lie in the outer regions of
    // one side (which takes in one region and two neighbouring ones).
    PolygonClass kind = PolygonClass::Outside;
    Extremes e;
    int32_t minX = 0, maxX = 0;
    // y never decreases walking from the top to the bottom vertex in either
    // direction around the polygon; the same as the signs of the y steps
    // changing at most twice around it.
    bool monotone = true;
};
Survey survey(const ScreenPoint* points, int count, const PixelRect& clip);

// One side of a y-monotone polygon, walked from the top vertex to the bottom
// one in direction dir (+1 or -1).
class Chain {
public:
    Chain(const ScreenPoint* p, int count, const Extremes& e, int dir)
        : p_(p), count_(count), bottom_(e.bottom), dir_(dir), index_(e.top) {}

    // Makes the current edge the one that crosses row y (below its top, not
    // below its bottom), with x on row y; rows come in increasing order.
    // Returns the row where the edge ends.
    int64_t enter(int64_t y) {
        int nx = next(index_);
        if (index_ != bottom_ && p_[nx].y < y) {
            do {
                index_ = nx;
                nx = next(index_);
            } while (index_ != bottom_ && p_[nx].y < y);
            started_ = false;
        }
        if (index_ == bottom_) {
            // Only a polygon that is not monotone after all gets here.
            edge.setup(p_[bottom_].x, y - 1, p_[bottom_].x, y);
            edge.moveTo(y);
            return y;
        }
        if (!started_) {
            edge.setup(p_[index_].x, p_[index_].y, p_[nx].x, p_[nx].y);
            started_ = true;
        }
        edge.moveTo(y);
        return p_[nx].y;
    }

    // On the row where the edge ends: widens [lo, hi] by the horizontal run
    // that follows the edge's lower vertex.
    void widenByRun(int64_t y, int64_t& lo, int64_t& hi) const {
        for (int k = next(index_); k != bottom_ && p_[next(k)].y == y;) {
            k = next(k);
            lo = std::min<int64_t>(lo, p_[k].x);
            hi = std::max<int64_t>(hi, p_[k].x);
        }
    }

    PolyEdge edge;

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
};

// Monotone fill: every row below the top vertex down to the bottom one, from
// the smaller to the larger chain x, both ends included. Rows are taken in
// stretches over which neither chain changes its edge.
template <class SpanFn>
void monotoneWalk(const ScreenPoint* p, int count, const Extremes& e, const PixelRect& clip,
                  SpanFn&& span) {
    const int64_t last = std::min<int64_t>(p[e.bottom].y, clip.bottom);
    Chain a(p, count, e, 1), b(p, count, e, -1);
    for (int64_t y = std::max<int64_t>(int64_t{p[e.top].y} + 1, clip.top); y <= last;) {
        const int64_t endA = a.enter(y), endB = b.enter(y);
        const int64_t end = std::min(std::min(endA, endB), last);
        for (;; ++y) {
            int64_t lo = std::min(a.edge.x, b.edge.x), hi = std::max(a.edge.x, b.edge.x);
            if (y == end) {
                if (y == endA) a.widenByRun(y, lo, hi);
                if (y == endB) b.widenByRun(y, lo, hi);
            }
            lo = std::max<int64_t>(lo, clip.left);
            hi = std::min<int64_t>(hi, clip.right);
            if (lo <= hi)
                span(static_cast<int32_t>(y), static_cast<int32_t>(lo), static_cast<int32_t>(hi));
            if (y == end) break;
            a.edge.step();
            b.edge.step();
        }
        ++y;
    }
}

// Sets up the edge table in the scratch arrays, in order of top
// rows; false when there is no edge to walk.
bool buildEdgeTable(const ScreenPoint* p, int count, cPainter::FillScratch& s);

// Edge-table fill (even-odd): bands between consecutive vertex rows, the
// active edges of each sorted by x on every row and filled in pairs from the
// right. The right end of a span is left out unless includeRight is set.
// Bands are found as the next row where an edge starts or ends, which gives
// the bands of the sorted vertex rows without sorting them.
template <class SpanFn>
void edgeTableWalk(const ScreenPoint* p, int count, const PixelRect& clip, bool includeRight,
                   cPainter::FillScratch& s, SpanFn&& span) {
    if (!buildEdgeTable(p, count, s)) return;
    const std::vector<PolyEdge>& edges = s.edges;
    std::vector<PolyEdge>& active = s.active;
    active.clear();
    size_t admitted = 0;
    // Exclusive right ends may reach one past the clip, so that the clip's
    // last column is filled like any other.
    const int64_t rightLimit = includeRight ? clip.right : int64_t{clip.right} + 1;
    const int64_t rightTrim = includeRight ? 0 : 1;
    for (int64_t ya = edges[0].yTop; ya < clip.bottom;) {
        // Active edges: those spanning the band from ya.
        std::erase_if(active, [&](const PolyEdge& edge) { return edge.yBottom <= ya; });
        while (admitted < edges.size() && edges[admitted].yTop <= ya)
            active.push_back(edges[admitted++]);
        int64_t yb = admitted < edges.size() ? edges[admitted].yTop : INT64_MAX;
        for (const PolyEdge& edge : active) yb = std::min<int64_t>(yb, edge.yBottom);
        if (yb == INT64_MAX) break;
        const int64_t band = ya;
        ya = yb;
        yb = std::min<int64_t>(yb, clip.bottom);
        if (active.empty() || (active.size() & 1)) continue;
        const int64_t first = std::max<int64_t>(band + 1, clip.top);
        if (first > yb) continue;
        // Edges that missed rows above the clip catch up by formula.
        for (PolyEdge& edge : active) edge.moveTo(first - 1);
        // Rows of the band; the polygon's top row is never drawn.
        for (int64_t y = first; y <= yb; ++y) {
            for (PolyEdge& edge : active) edge.step();
            // The order of the row above is nearly right: insertion sort.
            for (size_t i = 1; i < active.size(); ++i) {
                if (active[i - 1].x <= active[i].x) continue;
                const PolyEdge moving = active[i];
                size_t j = i;
                for (; j > 0 && active[j - 1].x > moving.x; --j) active[j] = active[j - 1];
                active[j] = moving;
            }
            for (size_t k = active.size(); k >= 2; k -= 2) {
                const int64_t right = active[k - 1].x;
                if (right < clip.left) break;
                const int64_t left = std::max<int64_t>(active[k - 2].x, clip.left);
                const int64_t end = std::min(right, rightLimit) - rightTrim;
                if (left <= end)
                    span(static_cast<int32_t>(y), static_cast<int32_t>(left),
                         static_cast<int32_t>(end));
            }
        }
    }
}

} // namespace tevo::raster
