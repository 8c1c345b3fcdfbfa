#include "route/router.hpp"

#include <algorithm>
#include <cmath>

namespace tevo::route {

namespace {

int64_t partOf(uint32_t cost, double fraction) {
    return std::llround(std::clamp(fraction, 0.0, 1.0) * cost);
}

// The edge's line in the direction of travel of x, cut at the positions
// given (a start on it, an end on it); appended to `out` without repeating
// the point where the previous piece ended. Returns the piece's length.
double appendPiece(const cRoadGraph& graph, NodeId x, const RoadPosition* start,
                   const RoadPosition* end, std::vector<LonLat>& out) {
    const std::size_t count = graph.shapePoints(edgeOf(x)).size() + 2, segments = count - 1;
    // Point i of the line in the direction of travel.
    auto pointAt = [&](std::size_t i) {
        return edgePoint(graph, edgeOf(x), againstWay(x) ? count - 1 - i : i);
    };
    // Segment i of the way's order is segment (segments - 1 - i) against it.
    auto segmentOf = [&](const RoadPosition& p) {
        return againstWay(x) ? segments - 1 - p.segment : p.segment;
    };
    double length = 0;
    bool first = true;
    LonLat previous;
    auto add = [&](const LonLat& p) {
        if (!first) length += metresBetween(previous, p);
        first = false;
        previous = p;
        if (out.empty() || out.back().lon != p.lon || out.back().lat != p.lat) out.push_back(p);
    };
    if (start) add(start->point);
    const std::size_t from = start ? segmentOf(*start) + 1 : 0;
    const std::size_t to = end ? segmentOf(*end) + 1 : count;
    for (std::size_t i = from; i < to; ++i) add(pointAt(i));
    if (end) add(end->point);
    return length;
}

} // namespace

void seedsBetween(const BaseGraph& base, const RoadPosition& from, const RoadPosition& to,
                  std::vector<Seed>& sources, std::vector<Seed>& targets,
                  std::vector<DirectPath>& direct) {
    sources.clear();
    targets.clear();
    direct.clear();
    const NodeId s = 2 * from.edge, t = 2 * to.edge;
    const uint32_t c = base.cost(s), ct = base.cost(t);
    const int64_t p = partOf(c, from.fraction), q = partOf(ct, to.fraction);
    // Along the way, the time left is the rest of the edge; against it, the
    // part already behind in the way's order.
    sources.push_back({s, c - p});
    sources.push_back({s + 1, p});
    targets.push_back({t, q});
    targets.push_back({t + 1, ct - q});
    if (from.edge != to.edge) return;
    if (base.usable(s) && to.fraction >= from.fraction) direct.push_back({s, q - p});
    if (base.usable(s + 1) && to.fraction <= from.fraction) direct.push_back({s + 1, p - q});
}

// A route that starts or ends right at a dead end has nothing to drive on
// the side it turns from: the U-turn there is left out.
void cRouter::trimDeadEndTurns(std::vector<NodeId>& nodes) const {
    auto partOn = [](const std::vector<Seed>& seeds, NodeId x) {
        for (const Seed& s : seeds)
            if (s.node == x) return s.dist;
        return int64_t{-1};
    };
    if (nodes.size() >= 2 && nodes[1] == reverseOf(nodes[0]) && partOn(sources_, nodes[0]) == 0)
        nodes.erase(nodes.begin());
    const std::size_t n = nodes.size();
    if (n >= 2 && nodes[n - 2] == reverseOf(nodes[n - 1]) && partOn(targets_, nodes[n - 1]) == 0)
        nodes.pop_back();
}

std::optional<int64_t> cRouter::duration(const RoadPosition& from, const RoadPosition& to) {
    seedsBetween(graph_.base(), from, to, sources_, targets_, direct_);
    const auto path = search_.run(sources_, targets_, direct_);
    if (!path) return std::nullopt;
    return path->cost;
}

bool cRouter::route(const RoadPosition& from, const RoadPosition& to, Route& out) {
    seedsBetween(graph_.base(), from, to, sources_, targets_, direct_);
    return finish(from, to, out);
}

bool cRouter::routeHeading(const RoadPosition& from, double headingDegrees, const RoadPosition& to,
                           Route& out) {
    seedsBetween(graph_.base(), from, to, sources_, targets_, direct_);
    keepHeading(from, headingDegrees);
    return finish(from, to, out);
}

// Drops the start's direction of travel that points backwards, when the one
// ahead can be driven; a vehicle on a one-way street against its way keeps
// both (it has to turn anyway).
void cRouter::keepHeading(const RoadPosition& from, double headingDegrees) {
    std::vector<LonLat> line;
    edgePoints(graph_, from.edge, line);
    const std::size_t i = std::min<std::size_t>(from.segment, line.size() - 2);
    const double way = bearingBetween(line[i], line[i + 1]);
    const double off = std::abs(std::remainder(headingDegrees - way, 360.0));
    const NodeId ahead = 2 * from.edge + (off <= 90 ? 0 : 1);
    if (!graph_.base().usable(ahead)) return;
    const auto behind = [&](NodeId x) { return x != ahead; };
    std::erase_if(sources_, [&](const Seed& s) { return behind(s.node); });
    std::erase_if(direct_, [&](const DirectPath& d) { return behind(d.node); });
}

bool cRouter::finish(const RoadPosition& from, const RoadPosition& to, Route& out) {
    out = Route{};
    auto path = search_.run(sources_, targets_, direct_);
    if (!path || path->nodes.empty()) return false;
    trimDeadEndTurns(path->nodes);
    out.durationTenths = path->cost;
    std::vector<double> pieces;
    drawLine(from, to, path->nodes, out, pieces);
    out.steps = describeRoute(graph_, path->nodes, pieces, from.point, to.point);
    return true;
}

void cRouter::drawLine(const RoadPosition& from, const RoadPosition& to,
                       const std::vector<NodeId>& nodes, Route& out,
                       std::vector<double>& pieces) const {
    pieces.clear();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const RoadPosition* start = i == 0 ? &from : nullptr;
        const RoadPosition* end = i + 1 == nodes.size() ? &to : nullptr;
        pieces.push_back(appendPiece(graph_, nodes[i], start, end, out.points));
        out.distanceM += pieces.back();
    }
    if (out.points.size() == 1) out.points.push_back(out.points.front());
}

} // namespace tevo::route
