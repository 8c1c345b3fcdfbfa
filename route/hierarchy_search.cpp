#include "route/search.hpp"

#include <algorithm>
#include <functional>

namespace tevo::route {

namespace {

// Whether each road of a junction passes a test: a bit mask for the usual
// junction, the test itself for one of more than 64 roads.
template <typename F> class ArmMask {
public:
    ArmMask(uint32_t degree, F test) : test_(test), small_(degree <= 64) {
        for (uint32_t k = 0; small_ && k < degree; ++k) bits_ |= uint64_t{test(k)} << k;
    }
    bool has(uint32_t k) const { return small_ ? (bits_ >> k) & 1 : test_(k); }
    bool none() const { return small_ && bits_ == 0; }

    // Leaves out the roads in `covered` and adds its own to it.
    void dropCovered(uint64_t& covered) {
        if (!small_) return;
        const uint64_t all = bits_;
        bits_ &= ~covered;
        covered |= all;
    }

private:
    F test_;
    bool small_;
    uint64_t bits_ = 0;
};

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
    covered_.clear();
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

// A route arriving along x turns into y, which the backward search leaves
// along; `known` is the time of the side just settled (x's forward time or
// y's backward time), the other side's is looked up.
void HierarchySearch::meet(NodeId x, NodeId y, int settled, int64_t known) {
    const NodeLabels::Label* other = labels_.find(settled == kForward ? y : x);
    if (!other || other->dist[1 - settled] >= kUnreached) return;
    const int64_t total = known + other->dist[1 - settled];
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
            meet(top.node, base_.arms[a], kForward, top.key);
        relaxForward(top.node, top.key);
    } else {
        const uint32_t t = base_.tail(top.node);
        for (uint32_t a = base_.armFirst[t]; a < base_.armFirst[t + 1]; ++a)
            meet(reverseOf(base_.arms[a]), top.node, kBackward, top.key);
        relaxBackward(top.node, top.key);
    }
}

// A label settled at a junction after another of the same direction is no
// shorter, so along the roads that the earlier one went on along it only
// offers what they already hold: only the roads left over are relaxed
// (the result is the same, label for label).
uint64_t& HierarchySearch::covered(int side, uint32_t junction) {
    return covered_.at(junction).arms[side];
}

// Up from the junction x arrives at: along its roads to higher-ranked
// junctions, and along its shortcuts (and loops) that x may turn into.
void HierarchySearch::relaxForward(NodeId x, int64_t d) {
    const uint32_t h = base_.head(x);
    const uint32_t rank = hierarchy_.ranks[h];
    const uint32_t a0 = base_.armFirst[h], degree = base_.armFirst[h + 1] - a0;
    // Which roads of h x may turn into, worked out once for all its arcs.
    ArmMask turns(degree, [&](uint32_t k) { return base_.turnAllowed(x, base_.arms[a0 + k]); });
    turns.dropCovered(covered(kForward, h));
    if (turns.none()) return;
    for (uint32_t k = 0; k < degree; ++k) {
        const NodeId y = base_.arms[a0 + k];
        if (turns.has(k) && hierarchy_.ranks[base_.head(y)] > rank)
            relax(kForward, x, y, d + base_.cost(y), kRoadArc);
    }
    const uint32_t first = hierarchy_.shortcutFirst[h];
    const auto list = hierarchy_.shortcutsOf(h);
    for (uint32_t i = 0; i < list.size(); ++i) {
        const tvr::Shortcut& s = list[i];
        if (s.weightFlags & tvr::kShortcutBackward) {
            if (hierarchy_.grouped) break; // the rest lead down
            continue;
        }
        if (turns.has(s.nearArm))
            relax(kForward, x, s.farRoad, d + (s.weightFlags & tvr::kWeightMask), first + i);
    }
}

// The mirror image: down into the junction y leaves from, from higher-ranked
// junctions, along roads and shortcuts that may turn into y.
void HierarchySearch::relaxBackward(NodeId y, int64_t d) {
    const uint32_t t = base_.tail(y);
    const uint32_t rank = hierarchy_.ranks[t];
    const uint32_t a0 = base_.armFirst[t], degree = base_.armFirst[t + 1] - a0;
    ArmMask turns(degree, [&](uint32_t k) {
        const NodeId w = reverseOf(base_.arms[a0 + k]);
        return base_.usable(w) && base_.turnAllowed(w, y);
    });
    turns.dropCovered(covered(kBackward, t));
    for (uint32_t k = 0; k < degree; ++k) {
        const NodeId w = reverseOf(base_.arms[a0 + k]);
        if (turns.has(k) && hierarchy_.ranks[base_.tail(w)] > rank)
            relax(kBackward, y, w, d + base_.cost(w), kRoadArc);
    }
    const uint32_t first = hierarchy_.shortcutFirst[t];
    const auto list = hierarchy_.shortcutsOf(t);
    // Last to first: in a grouped list the ones leading down and the loops
    // come last, and the rest lead up.
    for (uint32_t i = static_cast<uint32_t>(list.size()); i-- > 0;) {
        const tvr::Shortcut& s = list[i];
        const uint32_t w = s.weightFlags & tvr::kWeightMask;
        const Hierarchy::Kind kind = Hierarchy::kindOf(s);
        if (kind == Hierarchy::kDown) {
            if (turns.has(s.nearArm)) relax(kBackward, y, s.farRoad, d + w, first + i);
        } else if (kind == Hierarchy::kLoop) {
            if (base_.turnAllowed(s.farRoad, y))
                relax(kBackward, y, base_.arms[a0 + s.nearArm], d + w, first + i);
        } else if (hierarchy_.grouped) {
            break;
        }
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
