#include "route/edge_shape.hpp"

#include "plugin-api/geodesy.hpp"

namespace tevo::route {

double metresBetween(const LonLat& a, const LonLat& b) {
    return geo::distanceMetres(a.lon, a.lat, b.lon, b.lat);
}

double bearingBetween(const LonLat& a, const LonLat& b) {
    return geo::bearingDegrees(a.lon, a.lat, b.lon, b.lat);
}

void edgePoints(const cRoadGraph& graph, uint32_t edge, std::vector<LonLat>& out) {
    const tvr::Edge& e = graph.base().edges[edge];
    out.clear();
    out.push_back(toLonLat(graph.base().junctions[e.from]));
    for (const tvr::Coord& c : graph.shapePoints(edge)) out.push_back(toLonLat(c));
    out.push_back(toLonLat(graph.base().junctions[e.to]));
}

double lineLength(const std::vector<LonLat>& line) {
    double total = 0;
    for (std::size_t i = 1; i < line.size(); ++i) total += metresBetween(line[i - 1], line[i]);
    return total;
}

LonLat edgePoint(const cRoadGraph& graph, uint32_t edge, std::size_t i) {
    const tvr::Edge& e = graph.base().edges[edge];
    const auto shape = graph.shapePoints(edge);
    if (i == 0) return toLonLat(graph.base().junctions[e.from]);
    if (i > shape.size()) return toLonLat(graph.base().junctions[e.to]);
    return toLonLat(shape[i - 1]);
}

namespace {

// The bearing of the first segment with a length, walking from one end.
double bearingFromEnd(const cRoadGraph& graph, uint32_t edge, bool fromStart) {
    const std::size_t n = graph.shapePoints(edge).size() + 2;
    const LonLat a = edgePoint(graph, edge, fromStart ? 0 : n - 1);
    for (std::size_t i = 1; i < n; ++i) {
        const LonLat b = edgePoint(graph, edge, fromStart ? i : n - 1 - i);
        if (a.lon != b.lon || a.lat != b.lat) return bearingBetween(a, b);
    }
    return 0;
}

double turnedAround(double bearing) {
    return bearing >= 180 ? bearing - 180 : bearing + 180;
}

} // namespace

double leavingBearing(const cRoadGraph& graph, NodeId x) {
    return bearingFromEnd(graph, edgeOf(x), !againstWay(x));
}

double arrivingBearing(const cRoadGraph& graph, NodeId x) {
    // Arriving at the far end is the reverse of leaving it.
    return turnedAround(bearingFromEnd(graph, edgeOf(x), againstWay(x)));
}

} // namespace tevo::route
