// Unpacking shortcuts into the roads they stand for.
#include "route/search.hpp"

#include <algorithm>

namespace tevo::route {

namespace {

constexpr uint32_t kNoShortcut = 0xFFFFFFFF;

// One piece of a shortcut's path: a road, or a shortcut still to unpack.
struct Piece {
    NodeId road = kNoNode;
    uint32_t shortcut = kNoShortcut;
    NodeId first = kNoNode, last = kNoNode;
    uint32_t weight = 0;
};

uint32_t ownerOf(const Hierarchy& h, uint32_t index) {
    const auto it = std::upper_bound(h.shortcutFirst.begin(), h.shortcutFirst.end(), index);
    return static_cast<uint32_t>(it - h.shortcutFirst.begin() - 1);
}

// The arcs at the middle junction m that a shortcut from u to w can be made
// of: those from u beginning along `first`, those to w ending along `last`,
// and the loops at m.
struct MiddleArcs {
    std::vector<Piece> in, out, loops;
};

MiddleArcs arcsAt(const BaseGraph& g, const Hierarchy& h, const HierarchyArc& s) {
    MiddleArcs m;
    const uint32_t mid = s.middle;
    if (g.tail(s.first) == s.from && g.head(s.first) == mid)
        m.in.push_back({s.first, kNoShortcut, s.first, s.first, g.cost(s.first)});
    if (g.tail(s.last) == mid && g.head(s.last) == s.to)
        m.out.push_back({s.last, kNoShortcut, s.last, s.last, g.cost(s.last)});
    const auto list = h.shortcutsOf(mid);
    for (uint32_t i = 0; i < list.size(); ++i) {
        const HierarchyArc a = Hierarchy::decode(g, mid, list[i]);
        const Piece p{kNoNode, h.shortcutFirst[mid] + i, a.first, a.last, a.weight};
        if (list[i].weightFlags & tvr::kShortcutLoop)
            m.loops.push_back(p);
        else if (a.to == mid && a.from == s.from && a.first == s.first)
            m.in.push_back(p);
        else if (a.from == mid && a.to == s.to && a.last == s.last)
            m.out.push_back(p);
    }
    return m;
}

// Splits a shortcut into an arc into its middle, the loops driven there and
// an arc out of it, whose weights add up to the shortcut's.
bool split(const BaseGraph& g, const Hierarchy& h, const HierarchyArc& s,
           std::vector<Piece>& parts) {
    constexpr std::size_t kNone = SIZE_MAX;
    constexpr std::size_t kMostSteps = 64; // loops driven at one junction, all ways tried
    const MiddleArcs m = arcsAt(g, h, s);
    struct Step {
        int64_t cost;
        NodeId arrival;
        std::size_t parent, loop;
    };
    for (const Piece& in : m.in) {
        std::vector<Step> steps{{in.weight, in.last, kNone, kNone}};
        for (std::size_t k = 0; k < steps.size() && k < kMostSteps; ++k) {
            const Step here = steps[k];
            for (const Piece& out : m.out) {
                if (here.cost + out.weight != s.weight || !g.turnAllowed(here.arrival, out.first))
                    continue;
                parts.assign({out});
                for (std::size_t j = k; steps[j].parent != kNone; j = steps[j].parent)
                    parts.push_back(m.loops[steps[j].loop]);
                parts.push_back(in);
                std::reverse(parts.begin(), parts.end());
                return true;
            }
            for (std::size_t j = 0; j < m.loops.size(); ++j)
                if (here.cost + m.loops[j].weight < s.weight &&
                    g.turnAllowed(here.arrival, m.loops[j].first))
                    steps.push_back({here.cost + m.loops[j].weight, m.loops[j].last, k, j});
        }
    }
    return false;
}

} // namespace

bool appendShortcut(const BaseGraph& base, const Hierarchy& hierarchy, uint32_t index,
                    std::vector<NodeId>& out) {
    std::vector<Piece> todo{{kNoNode, index, kNoNode, kNoNode, 0}};
    std::vector<Piece> parts;
    // A fastest path never drives a road twice in one direction: a longer
    // one only comes out of a damaged file, which must not run away.
    const std::size_t most = out.size() + base.nodeCount();
    while (!todo.empty()) {
        const Piece p = todo.back();
        todo.pop_back();
        if (p.shortcut == kNoShortcut) {
            if (out.size() >= most) return false;
            out.push_back(p.road);
            continue;
        }
        const uint32_t owner = ownerOf(hierarchy, p.shortcut);
        const HierarchyArc s = Hierarchy::decode(base, owner, hierarchy.shortcuts[p.shortcut]);
        if (!split(base, hierarchy, s, parts)) return false;
        todo.insert(todo.end(), parts.rbegin(), parts.rend());
    }
    return true;
}

} // namespace tevo::route
