#include "tools/tvmc/road_graph/road_network.hpp"

#include "plugin-api/geodesy.hpp"
#include "tools/tvmc/release.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>

namespace tevo::tvmc {

namespace {

using route::NodeId;

// An edge as the ways are walked, before the edges are put in order.
struct PendingEdge {
    uint64_t key = 0; // place on the space-filling curve
    uint32_t from = 0, to = 0;
    uint32_t way = 0;
    uint32_t firstShape = 0, shapeCount = 0;
    uint32_t cost = 0;
};

// Nodes where ways meet or end (listed twice once each way's ends are added
// again), and the via nodes of restrictions that lie on a road. Sorted;
// `distinct` counts the nodes of all roads.
std::vector<int64_t> junctionIds(const RoadCollection& roads, uint64_t& distinct) {
    std::vector<int64_t> ids(roads.nodeIds);
    for (const CollectedWay& w : roads.ways) {
        ids.push_back(roads.nodeIds[w.firstNode]);
        ids.push_back(roads.nodeIds[w.firstNode + w.nodeCount - 1]);
    }
    std::sort(ids.begin(), ids.end());
    std::vector<int64_t> vias;
    for (const CollectedRestriction& r : roads.restrictions)
        if (std::binary_search(ids.begin(), ids.end(), r.via)) vias.push_back(r.via);
    std::size_t out = 0;
    distinct = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const bool first = i == 0 || ids[i] != ids[i - 1];
        distinct += first;
        if (!first && (out == 0 || ids[out - 1] != ids[i])) ids[out++] = ids[i];
    }
    ids.resize(out);
    ids.insert(ids.end(), vias.begin(), vias.end());
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    ids.shrink_to_fit();
    return ids;
}

std::optional<uint32_t> indexOf(const std::vector<int64_t>& sorted, int64_t id) {
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), id);
    if (it == sorted.end() || *it != id) return std::nullopt;
    return static_cast<uint32_t>(it - sorted.begin());
}

// A piece of a way that leaves a junction and comes back to it becomes two
// edges, split at its middle node: the hierarchy joins junctions, and an
// edge from a junction to itself would join none.
void breakLoops(const RoadCollection& roads, std::vector<int64_t>& ids) {
    std::vector<int64_t> extra;
    std::vector<uint32_t> inner;
    for (const CollectedWay& way : roads.ways) {
        int64_t start = roads.nodeIds[way.firstNode];
        inner.clear();
        for (uint32_t k = way.firstNode + 1; k < way.firstNode + way.nodeCount; ++k) {
            const int64_t id = roads.nodeIds[k];
            if (id == roads.nodeIds[k - 1]) continue;
            if (!std::binary_search(ids.begin(), ids.end(), id)) {
                inner.push_back(k);
                continue;
            }
            if (id == start && !inner.empty())
                extra.push_back(roads.nodeIds[inner[inner.size() / 2]]);
            start = id;
            inner.clear();
        }
    }
    ids.insert(ids.end(), extra.begin(), extra.end());
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

// Position on a Hilbert curve over a 2^16 by 2^16 grid.
uint64_t hilbertKey(uint32_t x, uint32_t y) {
    uint64_t d = 0;
    for (uint32_t s = 1u << 15; s > 0; s >>= 1) {
        const uint32_t rx = (x & s) ? 1 : 0, ry = (y & s) ? 1 : 0;
        d += uint64_t{s} * s * ((3 * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                x = s - 1 - (x & (s - 1));
                y = s - 1 - (y & (s - 1));
            }
            std::swap(x, y);
        }
    }
    return d;
}

double metres(const tvr::Coord& a, const tvr::Coord& b) {
    return geo::distanceMetres(a.lon / tvr::kCoordScale, a.lat / tvr::kCoordScale,
                               b.lon / tvr::kCoordScale, b.lat / tvr::kCoordScale);
}

// Walks every way, cutting it at junctions into edges; shape points go to
// `shapes` in the order of the walk, junction positions to `at`.
std::vector<PendingEdge> splitWays(const RoadCollection& roads, const std::vector<int64_t>& ids,
                                   std::vector<tvr::Coord>& shapes, std::vector<tvr::Coord>& at) {
    std::vector<PendingEdge> edges;
    for (uint32_t w = 0; w < roads.ways.size(); ++w) {
        const CollectedWay& way = roads.ways[w];
        const uint32_t begin = way.firstNode, end = way.firstNode + way.nodeCount;
        auto startAt = [&](uint32_t junction) {
            return PendingEdge{0, junction, 0, w, static_cast<uint32_t>(shapes.size()), 0, 0};
        };
        PendingEdge e = startAt(*indexOf(ids, roads.nodeIds[begin]));
        at[e.from] = roads.coords[begin];
        double length = 0;
        for (uint32_t k = begin + 1; k < end; ++k) {
            if (roads.nodeIds[k] == roads.nodeIds[k - 1]) continue;
            length += metres(roads.coords[k - 1], roads.coords[k]);
            const std::optional<uint32_t> j = indexOf(ids, roads.nodeIds[k]);
            if (!j) {
                shapes.push_back(roads.coords[k]);
                ++e.shapeCount;
                continue;
            }
            at[*j] = roads.coords[k];
            e.to = *j;
            e.cost = travelCost(length, way.kmh);
            if (e.from != e.to) edges.push_back(e);
            e = startAt(*j);
            length = 0;
        }
    }
    return edges;
}

// Sorts the edges along a Hilbert curve through the middles of their boxes.
void orderEdges(std::vector<PendingEdge>& edges, const std::vector<tvr::Coord>& at,
                const std::vector<tvr::Coord>& shapes) {
    tvr::Box all{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    auto grow = [](tvr::Box& b, const tvr::Coord& c) {
        b = {std::min(b.minLon, c.lon), std::min(b.minLat, c.lat), std::max(b.maxLon, c.lon),
             std::max(b.maxLat, c.lat)};
    };
    for (const tvr::Coord& c : at) grow(all, c);
    for (const tvr::Coord& c : shapes) grow(all, c);
    const double w = std::max(1.0, static_cast<double>(all.maxLon) - all.minLon);
    const double h = std::max(1.0, static_cast<double>(all.maxLat) - all.minLat);
    for (PendingEdge& e : edges) {
        tvr::Box b{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        grow(b, at[e.from]);
        grow(b, at[e.to]);
        for (uint32_t i = 0; i < e.shapeCount; ++i) grow(b, shapes[e.firstShape + i]);
        const double mx = (static_cast<double>(b.minLon) + b.maxLon) / 2,
                     my = (static_cast<double>(b.minLat) + b.maxLat) / 2;
        auto cell = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 65535); };
        e.key = hilbertKey(cell((mx - all.minLon) / w), cell((my - all.minLat) / h));
    }
    std::stable_sort(edges.begin(), edges.end(),
                     [](const PendingEdge& a, const PendingEdge& b) { return a.key < b.key; });
}

// Junctions numbered in the order the sorted edges first reach them.
std::vector<uint32_t> renumberJunctions(std::vector<PendingEdge>& edges, std::size_t count) {
    std::vector<uint32_t> number(count, UINT32_MAX);
    uint32_t next = 0;
    for (PendingEdge& e : edges)
        for (uint32_t* j : {&e.from, &e.to}) {
            if (number[*j] == UINT32_MAX) number[*j] = next++;
            *j = number[*j];
        }
    return number;
}

void fillEdges(RoadNetwork& net, const std::vector<PendingEdge>& edges,
               const std::vector<tvr::Coord>& shapes, const RoadCollection& roads) {
    net.edges.reserve(edges.size());
    net.pointFirst.reserve(edges.size() + 1);
    for (const PendingEdge& e : edges) {
        const CollectedWay& way = roads.ways[e.way];
        const uint32_t flags = (way.forward ? tvr::kEdgeForward : 0) |
                               (way.backward ? tvr::kEdgeBackward : 0) |
                               (way.roundabout ? tvr::kEdgeRoundabout : 0);
        const uint32_t cls = static_cast<uint32_t>(way.roadClass) << tvr::kClassShift;
        net.edges.push_back({e.from, e.to, e.cost | flags, way.name | cls});
        net.points.insert(net.points.end(), shapes.begin() + e.firstShape,
                          shapes.begin() + e.firstShape + e.shapeCount);
        net.pointFirst.push_back(static_cast<uint32_t>(net.points.size()));
    }
}

void fillArms(RoadNetwork& net) {
    std::vector<uint32_t>& first = net.armFirst;
    first.assign(net.junctions.size() + 1, 0);
    for (const tvr::Edge& e : net.edges) ++first[e.from + 1], ++first[e.to + 1];
    std::partial_sum(first.begin(), first.end(), first.begin());
    std::vector<uint32_t> next(first.begin(), first.end() - 1);
    net.arms.resize(2 * net.edges.size());
    for (uint32_t e = 0; e < net.edges.size(); ++e) {
        net.arms[next[net.edges[e].from]++] = 2 * e;
        net.arms[next[net.edges[e].to]++] = 2 * e + 1;
    }
}

// The edges of each way (by OSM id), for the restrictions.
class WayEdges {
public:
    WayEdges(const std::vector<PendingEdge>& edges, const RoadCollection& roads) {
        list_.reserve(edges.size());
        for (uint32_t e = 0; e < edges.size(); ++e)
            list_.push_back({roads.ways[edges[e].way].id, e});
        std::sort(list_.begin(), list_.end());
    }
    template <typename F> void forEach(int64_t way, F&& f) const {
        auto it =
            std::lower_bound(list_.begin(), list_.end(), std::pair<int64_t, uint32_t>{way, 0});
        for (; it != list_.end() && it->first == way; ++it) f(it->second);
    }

private:
    std::vector<std::pair<int64_t, uint32_t>> list_;
};

// The directions of travel along the ways that arrive at junction j
// (`arriving`) or leave it.
std::vector<NodeId> directionsAt(const RoadNetwork& net, const WayEdges& ways,
                                 std::span<const int64_t> wayIds, uint32_t j, bool arriving) {
    std::vector<NodeId> out;
    for (int64_t id : wayIds)
        ways.forEach(id, [&](uint32_t e) {
            if (net.edges[e].to == j) out.push_back(arriving ? 2 * e : 2 * e + 1);
            if (net.edges[e].from == j) out.push_back(arriving ? 2 * e + 1 : 2 * e);
        });
    return out;
}

// Each restriction becomes the turns it bans at its via junction: `no_*`
// the turns from the from-ways into the to-ways, `only_*` every other turn
// from the from-ways.
void addBans(RoadNetwork& net, const RoadCollection& roads, const WayEdges& ways,
             const std::vector<int64_t>& ids, const std::vector<uint32_t>& number,
             RestrictionStats& stats) {
    for (const CollectedRestriction& r : roads.restrictions) {
        const std::optional<uint32_t> old = indexOf(ids, r.via);
        const uint32_t j = old ? number[*old] : UINT32_MAX;
        const auto from = j != UINT32_MAX ? directionsAt(net, ways, roads.fromWays(r), j, true)
                                          : std::vector<NodeId>{};
        const auto to = j != UINT32_MAX ? directionsAt(net, ways, roads.toWays(r), j, false)
                                        : std::vector<NodeId>{};
        if (from.empty() || to.empty()) {
            ++stats.unmatched;
            continue;
        }
        ++stats.applied;
        for (NodeId a : from) {
            if (!r.only) {
                for (NodeId b : to) net.bans.push_back({a, b});
                continue;
            }
            for (uint32_t k = net.armFirst[j]; k < net.armFirst[j + 1]; ++k)
                if (std::find(to.begin(), to.end(), net.arms[k]) == to.end())
                    net.bans.push_back({a, net.arms[k]});
        }
    }
    std::sort(net.bans.begin(), net.bans.end(), route::BaseGraph::banLess);
    net.bans.erase(std::unique(net.bans.begin(), net.bans.end(),
                               [](const tvr::TurnBan& a, const tvr::TurnBan& b) {
                                   return a.from == b.from && a.to == b.to;
                               }),
                   net.bans.end());
    for (const tvr::TurnBan& b : net.bans)
        net.edges[b.from >> 1].costFlags |=
            (b.from & 1) ? tvr::kEdgeBansBackward : tvr::kEdgeBansForward;
}

} // namespace

uint32_t travelCost(double metres, double kmh) {
    const double tenths = std::round(metres * 36.0 / kmh);
    return static_cast<uint32_t>(std::clamp(tenths, 1.0, double{tvr::kMaxCost}));
}

RoadNetwork buildNetwork(RoadCollection&& roads, RestrictionStats& stats) {
    RoadNetwork net;
    std::vector<int64_t> ids = junctionIds(roads, net.roadNodes);
    breakLoops(roads, ids);
    std::vector<tvr::Coord> at(ids.size()), shapes;
    std::vector<PendingEdge> edges = splitWays(roads, ids, shapes, at);
    release(roads.nodeIds);
    release(roads.coords);
    orderEdges(edges, at, shapes);
    const std::vector<uint32_t> number = renumberJunctions(edges, ids.size());
    net.junctions.resize(ids.size());
    uint32_t reached = 0;
    for (std::size_t j = 0; j < ids.size(); ++j)
        if (number[j] != UINT32_MAX) net.junctions[number[j]] = at[j], ++reached;
    // Junctions that no edge reaches (a way of one repeated node) are dropped.
    net.junctions.resize(reached);
    fillEdges(net, edges, shapes, roads);
    release(shapes);
    fillArms(net);
    addBans(net, roads, WayEdges(edges, roads), ids, number, stats);
    net.names = std::move(roads.names);
    return net;
}

} // namespace tevo::tvmc
