#include "tools/tvmc/clip.hpp"

#include "tools/tvmc/geometry.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace tevo::tvmc {

namespace {

// One side of the rectangle: the axis it cuts, its coordinate, and which side
// is kept.
struct Edge {
    bool vertical; // the line x = at (else y = at)
    int32_t at;
    bool keepAbove; // keep coordinates >= at (else <= at)
};

bool keeps(const Edge& e, TvmPoint p) {
    const int32_t v = e.vertical ? p.x : p.y;
    return e.keepAbove ? v >= e.at : v <= e.at;
}

int32_t roundUnits(double v) {
    return static_cast<int32_t>(std::lround(v));
}

// The crossing of segment a-b with the edge's line: exact on the cut axis.
TvmPoint crossing(const Edge& e, TvmPoint a, TvmPoint b) {
    if (e.vertical) {
        const double t = static_cast<double>(e.at - a.x) / (static_cast<double>(b.x) - a.x);
        return {e.at, roundUnits(a.y + t * (static_cast<double>(b.y) - a.y))};
    }
    const double t = static_cast<double>(e.at - a.y) / (static_cast<double>(b.y) - a.y);
    return {roundUnits(a.x + t * (static_cast<double>(b.x) - a.x)), e.at};
}

std::vector<TvmPoint> clipAgainst(const std::vector<TvmPoint>& in, const Edge& e) {
    std::vector<TvmPoint> out;
    if (in.empty()) return out;
    out.reserve(in.size() + 4);
    TvmPoint prev = in.back();
    bool prevIn = keeps(e, prev);
    for (const TvmPoint& cur : in) {
        const bool curIn = keeps(e, cur);
        if (curIn != prevIn) out.push_back(crossing(e, prev, cur));
        if (curIn) out.push_back(cur);
        prev = cur;
        prevIn = curIn;
    }
    return out;
}

std::array<Edge, 4> edgesOf(const UnitRect& r) {
    return {Edge{true, r.x0, true}, Edge{false, r.y0, true}, Edge{true, r.x1, false},
            Edge{false, r.y1, false}};
}

void clampTo(std::vector<TvmPoint>& points, const UnitRect& r) {
    for (TvmPoint& p : points) {
        p.x = std::clamp(p.x, r.x0, r.x1);
        p.y = std::clamp(p.y, r.y0, r.y1);
    }
}

} // namespace

std::vector<TvmPoint> clipPolygon(const std::vector<TvmPoint>& ring, const UnitRect& rect) {
    const UnitRect box = boundsOf(ring);
    std::vector<TvmPoint> out;
    if (box.x0 >= rect.x0 && box.x1 <= rect.x1 && box.y0 >= rect.y0 && box.y1 <= rect.y1) {
        out = ring;
    } else {
        out = ring;
        for (const Edge& e : edgesOf(rect)) out = clipAgainst(out, e);
        clampTo(out, rect);
    }
    dropDuplicates(out, true);
    if (out.size() < 3 || signedArea2(out) == 0) out.clear();
    return out;
}

namespace {

// Liang-Barsky: the parameter range [t0, t1] of segment a-b inside the rect.
bool segmentRange(TvmPoint a, TvmPoint b, const UnitRect& r, double& t0, double& t1) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(a.x) - r.x0, static_cast<double>(r.x1) - a.x,
                         static_cast<double>(a.y) - r.y0, static_cast<double>(r.y1) - a.y};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

TvmPoint at(TvmPoint a, TvmPoint b, double t, const UnitRect& r) {
    TvmPoint p{roundUnits(a.x + t * (static_cast<double>(b.x) - a.x)),
               roundUnits(a.y + t * (static_cast<double>(b.y) - a.y))};
    p.x = std::clamp(p.x, r.x0, r.x1);
    p.y = std::clamp(p.y, r.y0, r.y1);
    return p;
}

void finishPiece(std::vector<TvmPoint>& piece, std::vector<std::vector<TvmPoint>>& pieces) {
    dropDuplicates(piece, false);
    if (piece.size() >= 2) pieces.push_back(std::move(piece));
    piece.clear();
}

} // namespace

std::vector<std::vector<TvmPoint>> clipPolyline(const std::vector<TvmPoint>& line,
                                                const UnitRect& rect) {
    std::vector<std::vector<TvmPoint>> pieces;
    const UnitRect box = boundsOf(line);
    if (box.x0 >= rect.x0 && box.x1 <= rect.x1 && box.y0 >= rect.y0 && box.y1 <= rect.y1) {
        std::vector<TvmPoint> whole = line;
        finishPiece(whole, pieces);
        return pieces;
    }
    std::vector<TvmPoint> piece;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        double t0 = 0, t1 = 1;
        if (!segmentRange(line[i], line[i + 1], rect, t0, t1)) {
            finishPiece(piece, pieces);
            continue;
        }
        if (piece.empty() || t0 > 0) {
            finishPiece(piece, pieces);
            piece.push_back(at(line[i], line[i + 1], t0, rect));
        }
        piece.push_back(at(line[i], line[i + 1], t1, rect));
        if (t1 < 1) finishPiece(piece, pieces);
    }
    finishPiece(piece, pieces);
    return pieces;
}

} // namespace tevo::tvmc
