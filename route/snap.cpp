#include "route/snap.hpp"

#include "plugin-api/geodesy.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <vector>

namespace tevo::route {

namespace {

constexpr double kMetresPerDegree = geo::kEarthRadiusM * geo::kDegToRad;
// The box distance below is a flat approximation; shrunk a little, it stays
// below the great-circle distance for the few hundred metres a snap looks.
constexpr double kBoundMargin = 0.99;

double boxBound(const tvr::Box& b, LonLat p) {
    const double lon = p.lon * tvr::kCoordScale, lat = p.lat * tvr::kCoordScale;
    const double dLon = std::max({0.0, b.minLon - lon, lon - b.maxLon}) / tvr::kCoordScale;
    const double dLat = std::max({0.0, b.minLat - lat, lat - b.maxLat}) / tvr::kCoordScale;
    const double poleward = std::max({std::abs(p.lat), std::abs(b.minLat / tvr::kCoordScale),
                                      std::abs(b.maxLat / tvr::kCoordScale)});
    const double x = dLon * std::cos(std::min(poleward, 90.0) * geo::kDegToRad);
    return std::hypot(x, dLat) * kMetresPerDegree * kBoundMargin;
}

// The point of segment a-b nearest to p, projected in a plane around p.
LonLat nearestOnSegment(LonLat a, LonLat b, LonLat p) {
    const double k = std::cos(p.lat * geo::kDegToRad);
    const double ax = (a.lon - p.lon) * k, ay = a.lat - p.lat;
    const double dx = (b.lon - a.lon) * k, dy = b.lat - a.lat;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(-(ax * dx + ay * dy) / len2, 0.0, 1.0) : 0.0;
    return {a.lon + t * (b.lon - a.lon), a.lat + t * (b.lat - a.lat)};
}

// The nearest point of one edge, when nearer than `best`.
void tryEdge(const cRoadGraph& graph, uint32_t edge, LonLat p, std::vector<LonLat>& line,
             std::optional<RoadPosition>& found, double& best) {
    edgePoints(graph, edge, line);
    double along = 0, alongBest = 0;
    uint32_t segmentBest = 0;
    LonLat pointBest;
    bool nearer = false;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const LonLat q = nearestOnSegment(line[i - 1], line[i], p);
        const double d = metresBetween(q, p);
        if (d < best) {
            best = d;
            nearer = true;
            segmentBest = static_cast<uint32_t>(i - 1);
            pointBest = q;
            alongBest = along + metresBetween(line[i - 1], q);
        }
        along += metresBetween(line[i - 1], line[i]);
    }
    if (!nearer) return;
    found = RoadPosition{edge, segmentBest, along > 0 ? std::min(1.0, alongBest / along) : 0.0,
                         pointBest, best};
}

} // namespace

std::optional<RoadPosition> snapToRoad(const cRoadGraph& graph, LonLat position,
                                       double maxDistanceM) {
    const auto boxes = graph.indexBoxes();
    if (boxes.empty()) return std::nullopt;
    std::vector<uint64_t> levelStart, levelSize;
    uint64_t start = 0;
    tvr::forEachIndexLevel(graph.edgeCount(), [&](uint64_t n) {
        levelStart.push_back(start);
        levelSize.push_back(n);
        start += n;
    });
    // Best first over the boxes, nearest bound first; level -1 are edges.
    struct Item {
        double bound;
        int level;
        uint64_t index;
        bool operator>(const Item& o) const { return bound > o.bound; }
    };
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    const int top = static_cast<int>(levelSize.size()) - 1;
    queue.push({boxBound(boxes[levelStart[top]], position), top, 0});
    std::optional<RoadPosition> found;
    double best = maxDistanceM;
    std::vector<LonLat> line;
    while (!queue.empty() && queue.top().bound <= best) {
        const Item item = queue.top();
        queue.pop();
        const uint64_t below = item.level == 0 ? graph.edgeCount() : levelSize[item.level - 1];
        const uint64_t end = std::min(below, (item.index + 1) * tvr::kIndexFanout);
        for (uint64_t c = item.index * tvr::kIndexFanout; c < end; ++c) {
            if (item.level == 0) {
                tryEdge(graph, static_cast<uint32_t>(c), position, line, found, best);
                continue;
            }
            const double bound = boxBound(boxes[levelStart[item.level - 1] + c], position);
            if (bound <= best) queue.push({bound, item.level - 1, c});
        }
    }
    return found;
}

RoadPosition positionOnEdge(const cRoadGraph& graph, uint32_t edge, double fraction) {
    std::vector<LonLat> line;
    edgePoints(graph, edge, line);
    const double want = std::clamp(fraction, 0.0, 1.0) * lineLength(line);
    double along = 0;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double piece = metresBetween(line[i - 1], line[i]);
        if (along + piece >= want || i + 1 == line.size()) {
            const double t = piece > 0 ? std::clamp((want - along) / piece, 0.0, 1.0) : 0.0;
            const LonLat q{line[i - 1].lon + t * (line[i].lon - line[i - 1].lon),
                           line[i - 1].lat + t * (line[i].lat - line[i - 1].lat)};
            return {edge, static_cast<uint32_t>(i - 1), std::clamp(fraction, 0.0, 1.0), q, 0};
        }
        along += piece;
    }
    return {edge, 0, 0, line.front(), 0};
}

} // namespace tevo::route
