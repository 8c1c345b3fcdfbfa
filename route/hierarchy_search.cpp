#include "route/search.hpp"

#include <algorithm>
#include <functional>

namespace tevo::route {

namespace {

int64_t lowestSeed(std::span<const Seed> seeds) {
    int64_t low = kUnreached;
    for (const Seed& s : seeds) low = std::min(low, s.dist);
    return low;
}

} // namespace

std::optional<PathResult> HierarchySearch::run(std::span<const Seed> sources,
                                               std::span<const Seed> targets,
                                               std::span<const DirectPath> direct) {
    labels_.clear();
    best_ = kUnreached;
    meetForward_ = meetBackward_ = direct_ = kNoNode;
    settled_ = 0;
    for (const DirectPath& d : direct)
        if (d.node < base_.nodeCount() && d.cost < best_) best_ = d.cost, direct_ = d.node;
    seed(kForward, sources);
    seed(kBackward, targets);
    // A meeting costs at least a label of one direction plus the lowest seed
    // of the other: each direction goes on until that bound reaches the best.
    const int64_t lowest[2] = {lowestSeed(targets), lowestSeed(sources)};
    auto open = [&](int side) {
        return !heap_[side].empty() && heap_[side].front().key + lowest[side] < best_;
    };
    while (true) {
        const bool f = open(kForward), b = open(kBackward);
        if (!f && !b) break;
        const bool forward =
            f && (!b || heap_[kForward].front().key <= heap_[kBackward].front().key);
        settleNext(forward ? kForward : kBackward);
    }
    if (best_ >= kUnreached) return std::nullopt;
    PathResult result;
    result.cost = best_;
    if (meetForward_ == kNoNode) {
        result.nodes.push_back(direct_);
        return result;
    }
    if (!collectPath(result)) return std::nullopt;
    return result;
}

void HierarchySearch::seed(int side, std::span<const Seed> seeds) {
    heap_[side].clear();
    for (const Seed& s : seeds)
        if (s.node < base_.nodeCount() && base_.usable(s.node))
            relax(side, kNoNode, s.node, s.dist, kRoadArc);
}

void HierarchySearch::relax(int side, NodeId from, NodeId to, int64_t dist, uint32_t arc) {
    NodeLabels::Label& l = labels_.at(to);
    if (dist >= l.dist[side]) return;
    l.dist[side] = dist;
    l.parent[side] = from;
    l.arc[side] = arc;
    heap_[side].push_back({dist, to});
    std::push_heap(heap_[side].begin(), heap_[side].end(), std::greater<>());
}

// A route arriving along x turns into y, which the backward search leaves along.
void HierarchySearch::meet(NodeId x, NodeId y) {
    const NodeLabels::Label* a = labels_.find(x);
    const NodeLabels::Label* b = labels_.find(y);
    if (!a || !b || a->dist[kForward] >= kUnreached || b->dist[kBackward] >= kUnreached) return;
    const int64_t total = a->dist[kForward] + b->dist[kBackward];
    if (total < best_ && base_.turnAllowed(x, y)) {
        best_ = total;
        meetForward_ = x;
        meetBackward_ = y;
    }
}

void HierarchySearch::settleNext(int side) {
    std::vector<Queued>& heap = heap_[side];
    std::pop_heap(heap.begin(), heap.end(), std::greater<>());
    const Queued top = heap.back();
    heap.pop_back();
    const NodeLabels::Label* l = labels_.find(top.node);
    if (!l || l->dist[side] != top.key) return; // an older entry of an improved label
    ++settled_;
    if (side == kForward) {
        const uint32_t h = base_.head(top.node);
        for (uint32_t a = base_.armFirst[h]; a < base_.armFirst[h + 1]; ++a)
            meet(top.node, base_.arms[a]);
        if (!stalledForward(top.node, top.key)) relaxForward(top.node, top.key);
    } else {
        const uint32_t t = base_.tail(top.node);
        for (uint32_t a = base_.armFirst[t]; a < base_.armFirst[t + 1]; ++a)
            meet(reverseOf(base_.arms[a]), top.node);
        if (!stalledBackward(top.node, top.key)) relaxBackward(top.node, top.key);
    }
}

// The label reaching `into` from any arrival at junction j that may turn into
// `first`, or kUnreached.
int64_t HierarchySearch::bestArrival(int side, uint32_t j, NodeId first, bool leaving) const {
    int64_t best = kUnreached;
    for (uint32_t a = base_.armFirst[j]; a < base_.armFirst[j + 1]; ++a) {
        const NodeId z = leaving ? base_.arms[a] : reverseOf(base_.arms[a]);
        const NodeLabels::Label* l = labels_.find(z);
        if (!l || l->dist[side] >= best) continue;
        if (leaving ? base_.turnAllowed(first, z) : base_.turnAllowed(z, first))
            best = l->dist[side];
    }
    return best;
}

// Stall on demand: when a label of the same search at a higher-ranked
// junction leads down to x more cheaply, x's label is not its distance and
// searching on from it gains nothing.
bool HierarchySearch::stalledForward(NodeId x, int64_t d) const {
    const uint32_t h = base_.head(x), t = base_.tail(x);
    const uint32_t rank = hierarchy_.ranks[h];
    if (hierarchy_.ranks[t] > rank && bestArrival(kForward, t, x, false) + base_.cost(x) < d)
        return true;
    for (const tvr::Shortcut& s : hierarchy_.shortcutsOf(h)) {
        if (!(s.weightFlags & tvr::kShortcutBackward)) continue;
        const HierarchyArc arc = Hierarchy::decode(base_, h, s);
        if (arc.last == x && bestArrival(kForward, arc.from, arc.first, false) + arc.weight < d)
            return true;
    }
    return false;
}

bool HierarchySearch::stalledBackward(NodeId y, int64_t d) const {
    const uint32_t t = base_.tail(y), h = base_.head(y);
    const uint32_t rank = hierarchy_.ranks[t];
    if (hierarchy_.ranks[h] > rank && bestArrival(kBackward, h, y, true) + base_.cost(y) < d)
        return true;
    for (const tvr::Shortcut& s : hierarchy_.shortcutsOf(t)) {
        if (s.weightFlags & (tvr::kShortcutBackward | tvr::kShortcutLoop)) continue;
        const HierarchyArc arc = Hierarchy::decode(base_, t, s);
        if (arc.first == y && bestArrival(kBackward, arc.to, arc.last, true) + arc.weight < d)
            return true;
    }
    return false;
}

// Up from the junction x arrives at: along its roads to higher-ranked
// junctions, and along its shortcuts (and loops) that x may turn into.
void HierarchySearch::relaxForward(NodeId x, int64_t d) {
    const uint32_t h = base_.head(x);
    const uint32_t rank = hierarchy_.ranks[h];
    for (uint32_t a = base_.armFirst[h]; a < base_.armFirst[h + 1]; ++a) {
        const NodeId y = base_.arms[a];
        if (hierarchy_.ranks[base_.head(y)] > rank && base_.turnAllowed(x, y))
            relax(kForward, x, y, d + base_.cost(y), kRoadArc);
    }
    const uint32_t first = hierarchy_.shortcutFirst[h];
    const auto list = hierarchy_.shortcutsOf(h);
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (list[i].weightFlags & tvr::kShortcutBackward) continue;
        const HierarchyArc arc = Hierarchy::decode(base_, h, list[i]);
        if (base_.turnAllowed(x, arc.first))
            relax(kForward, x, arc.last, d + arc.weight, first + i);
    }
}

// The mirror image: down into the junction y leaves from, from higher-ranked
// junctions, along roads and shortcuts that may turn into y.
void HierarchySearch::relaxBackward(NodeId y, int64_t d) {
    const uint32_t t = base_.tail(y);
    const uint32_t rank = hierarchy_.ranks[t];
    for (uint32_t a = base_.armFirst[t]; a < base_.armFirst[t + 1]; ++a) {
        const NodeId w = reverseOf(base_.arms[a]);
        if (base_.usable(w) && hierarchy_.ranks[base_.tail(w)] > rank && base_.turnAllowed(w, y))
            relax(kBackward, y, w, d + base_.cost(w), kRoadArc);
    }
    const uint32_t first = hierarchy_.shortcutFirst[t];
    const auto list = hierarchy_.shortcutsOf(t);
    for (uint32_t i = 0; i < list.size(); ++i) {
        const uint32_t flags = list[i].weightFlags;
        if (!(flags & (tvr::kShortcutBackward | tvr::kShortcutLoop))) continue;
        const HierarchyArc arc = Hierarchy::decode(base_, t, list[i]);
        if (base_.turnAllowed(arc.last, y))
            relax(kBackward, y, arc.first, d + arc.weight, first + i);
    }
}

// The forward search's chain back to its seed, then the backward search's
// chain on to its seed, each label's shortcut unpacked into its roads.
bool HierarchySearch::collectPath(PathResult& result) const {
    std::vector<const NodeLabels::Label*> chain;
    std::vector<NodeId> states;
    for (NodeId x = meetForward_; x != kNoNode;) {
        const NodeLabels::Label* l = labels_.find(x);
        states.push_back(x);
        chain.push_back(l);
        x = l->parent[kForward];
    }
    std::vector<NodeId>& nodes = result.nodes;
    nodes.clear();
    for (std::size_t i = states.size(); i-- > 0;) {
        const uint32_t arc = chain[i]->arc[kForward];
        if (arc == kRoadArc)
            nodes.push_back(states[i]);
        else if (!appendShortcut(base_, hierarchy_, arc, nodes))
            return false;
    }
    for (NodeId y = meetBackward_; y != kNoNode;) {
        const NodeLabels::Label* l = labels_.find(y);
        const uint32_t arc = l->arc[kBackward];
        if (arc == kRoadArc)
            nodes.push_back(y);
        else if (!appendShortcut(base_, hierarchy_, arc, nodes))
            return false;
        y = l->parent[kBackward];
    }
    return true;
}

} // namespace tevo::route
