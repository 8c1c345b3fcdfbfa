// The routing graph as the file holds it. Its nodes are directions of travel
// along road segments (2*edge, 2*edge+1); its arcs are the turns between
// them, which are not stored but follow from the junctions: arriving along x
// at junction h, a vehicle may leave along any road of h that allows the
// direction, except back along x (a U-turn, allowed only where h is a dead
// end) and except the turns banned by a restriction. A turn into y costs the
// travel time of y.
//
// The map compiler contracts this graph and the route queries search it; both
// use this one definition of what a turn is.
#pragma once

#include "route/tvr_format.hpp"

#include <algorithm>
#include <cstdint>
#include <span>

namespace tevo::route {

// A node of the routing graph: one direction of travel along one edge.
using NodeId = uint32_t;
inline constexpr NodeId kNoNode = 0xFFFFFFFF;

inline uint32_t edgeOf(NodeId x) {
    return x >> 1;
}
inline bool againstWay(NodeId x) {
    return (x & 1) != 0;
}
inline NodeId reverseOf(NodeId x) {
    return x ^ 1;
}

struct BaseGraph {
    std::span<const tvr::Coord> junctions;
    std::span<const uint32_t> armFirst; // junctions + 1 entries
    std::span<const uint32_t> arms;
    std::span<const tvr::Edge> edges;
    std::span<const tvr::TurnBan> bans;

    uint32_t nodeCount() const { return static_cast<uint32_t>(edges.size() * 2); }

    const tvr::Edge& edge(NodeId x) const { return edges[edgeOf(x)]; }
    uint32_t cost(NodeId x) const { return edge(x).costFlags & tvr::kCostMask; }
    bool usable(NodeId x) const {
        return (edge(x).costFlags & (againstWay(x) ? tvr::kEdgeBackward : tvr::kEdgeForward)) != 0;
    }
    uint32_t tail(NodeId x) const { return againstWay(x) ? edge(x).to : edge(x).from; }
    uint32_t head(NodeId x) const { return againstWay(x) ? edge(x).from : edge(x).to; }
    uint32_t degree(uint32_t junction) const { return armFirst[junction + 1] - armFirst[junction]; }
    bool roundabout(NodeId x) const { return (edge(x).costFlags & tvr::kEdgeRoundabout) != 0; }
    uint32_t nameIndex(NodeId x) const { return edge(x).nameClass & tvr::kNameMask; }
    tvr::RoadClass roadClass(NodeId x) const {
        return static_cast<tvr::RoadClass>(edge(x).nameClass >> tvr::kClassShift);
    }

    // Whether some turn is banned for a vehicle arriving along x.
    bool hasBans(NodeId x) const {
        const uint32_t flag = againstWay(x) ? tvr::kEdgeBansBackward : tvr::kEdgeBansForward;
        return (edge(x).costFlags & flag) != 0;
    }

    bool banned(NodeId from, NodeId to) const { return hasBans(from) && listedBan(from, to); }

    bool listedBan(NodeId from, NodeId to) const {
        const tvr::TurnBan key{from, to};
        return std::binary_search(bans.begin(), bans.end(), key, banLess);
    }

    // Whether a vehicle arriving along x may go on along y (y leaves x's head).
    // Searches run this for every arc they look at: the usual case costs two
    // flag tests.
    [[gnu::always_inline]] bool turnAllowed(NodeId x, NodeId y) const {
        return usable(y) && (y != reverseOf(x) || degree(head(x)) == 1) && !banned(x, y);
    }

    // f(y) for every turn x -> y.
    template <typename F> void forEachTurnFrom(NodeId x, F&& f) const {
        const uint32_t h = head(x);
        for (uint32_t a = armFirst[h]; a < armFirst[h + 1]; ++a)
            if (turnAllowed(x, arms[a])) f(arms[a]);
    }

    // f(w) for every turn w -> y.
    template <typename F> void forEachTurnInto(NodeId y, F&& f) const {
        const uint32_t t = tail(y);
        for (uint32_t a = armFirst[t]; a < armFirst[t + 1]; ++a) {
            const NodeId w = reverseOf(arms[a]);
            if (usable(w) && (w != reverseOf(y) || degree(t) == 1) && !banned(w, y)) f(w);
        }
    }

    static bool banLess(const tvr::TurnBan& a, const tvr::TurnBan& b) {
        return a.from != b.from ? a.from < b.from : a.to < b.to;
    }
};

// An arc of the hierarchy: a road (first == last) or a shortcut, from one
// junction to another, beginning along `first` and ending along `last`.
struct HierarchyArc {
    uint32_t from = 0, to = 0;
    NodeId first = kNoNode, last = kNoNode;
    uint32_t weight = 0;
    uint32_t middle = 0; // for a shortcut
};

// The contraction hierarchy over the junctions: a rank per junction, and the
// shortcuts each junction holds towards higher-ranked junctions.
struct Hierarchy {
    std::span<const uint32_t> ranks;         // per junction
    std::span<const uint32_t> shortcutFirst; // junctions + 1 entries
    std::span<const tvr::Shortcut> shortcuts;
    // Every junction's shortcuts come in the order of their kind (up, loop,
    // down), as tvmc writes them: a search need read only its own part.
    bool grouped = false;

    enum Kind { kUp, kLoop, kDown };
    static Kind kindOf(const tvr::Shortcut& s) {
        return (s.weightFlags & tvr::kShortcutBackward) ? kDown
               : (s.weightFlags & tvr::kShortcutLoop)   ? kLoop
                                                        : kUp;
    }

    std::span<const tvr::Shortcut> shortcutsOf(uint32_t junction) const {
        return shortcuts.subspan(shortcutFirst[junction],
                                 shortcutFirst[junction + 1] - shortcutFirst[junction]);
    }

    // The arc a shortcut of `owner` stands for.
    static HierarchyArc decode(const BaseGraph& g, uint32_t owner, const tvr::Shortcut& s) {
        const NodeId near = g.arms[g.armFirst[owner] + s.nearArm];
        const uint32_t weight = s.weightFlags & tvr::kWeightMask;
        if (s.weightFlags & tvr::kShortcutBackward)
            return {g.tail(s.farRoad), owner, s.farRoad, reverseOf(near), weight, s.middle};
        const uint32_t to = (s.weightFlags & tvr::kShortcutLoop) ? owner : g.head(s.farRoad);
        return {owner, to, near, s.farRoad, weight, s.middle};
    }
};

} // namespace tevo::route
