// Unpacking shortcuts into the roads they stand for.
#include "route/search.hpp"

#include <algorithm>

namespace tevo::route {

namespace {

constexpr uint32_t kNoShortcut = 0xFFFFFFFF;

// One piece of a shortcut's path: a road, or a shortcut of `owner` still to
// unpack.
struct Piece {
    NodeId road = kNoNode;
    uint32_t shortcut = kNoShortcut, owner = 0;
    NodeId first = kNoNode, last = kNoNode;
    uint32_t weight = 0;
};

uint32_t ownerOf(const Hierarchy& h, uint32_t index) {
    const auto it = std::upper_bound(h.shortcutFirst.begin(), h.shortcutFirst.end(), index);
    return static_cast<uint32_t>(it - h.shortcutFirst.begin() - 1);
}

// The working memory of one unpacking, kept from one shortcut to the next.
class Unpacker {
public:
    Unpacker(const BaseGraph& g, const Hierarchy& h) : g_(g), h_(h) {}

    bool split(const Piece& shortcut, std::vector<Piece>& parts);

private:
    struct Step {
        int64_t cost;
        NodeId arrival;
        std::size_t parent, loop;
    };
    void arcsAt(const HierarchyArc& s);
    bool chain(const HierarchyArc& s, const Piece& in, std::vector<Piece>& parts);

    const BaseGraph& g_;
    const Hierarchy& h_;
    // The arcs at the middle junction m that a shortcut from u to w can be
    // made of: those from u beginning along its first road, those to w
    // ending along its last, and the loops at m.
    std::vector<Piece> in_, out_, loops_;
    std::vector<Step> steps_;
};

// A shortcut of m to it that begins along `first` comes from first's tail,
// one from m that ends along `last` goes to last's head: the far road alone
// picks them out, and only those and the loops need decoding.
void Unpacker::arcsAt(const HierarchyArc& s) {
    in_.clear();
    out_.clear();
    loops_.clear();
    const uint32_t mid = s.middle;
    if (g_.tail(s.first) == s.from && g_.head(s.first) == mid)
        in_.push_back({s.first, kNoShortcut, 0, s.first, s.first, g_.cost(s.first)});
    if (g_.tail(s.last) == mid && g_.head(s.last) == s.to)
        out_.push_back({s.last, kNoShortcut, 0, s.last, s.last, g_.cost(s.last)});
    const auto list = h_.shortcutsOf(mid);
    for (uint32_t i = 0; i < list.size(); ++i) {
        const Hierarchy::Kind kind = Hierarchy::kindOf(list[i]);
        std::vector<Piece>* into = kind == Hierarchy::kLoop ? &loops_ : nullptr;
        if (kind == Hierarchy::kDown && list[i].farRoad == s.first) into = &in_;
        if (kind == Hierarchy::kUp && list[i].farRoad == s.last) into = &out_;
        if (!into) continue;
        const HierarchyArc a = Hierarchy::decode(g_, mid, list[i]);
        into->push_back({kNoNode, h_.shortcutFirst[mid] + i, mid, a.first, a.last, a.weight});
    }
}

// Splits a shortcut into an arc into its middle, the loops driven there and
// an arc out of it, whose weights add up to the shortcut's.
bool Unpacker::split(const Piece& shortcut, std::vector<Piece>& parts) {
    const HierarchyArc s =
        Hierarchy::decode(g_, shortcut.owner, h_.shortcuts[shortcut.shortcut]);
    arcsAt(s);
    for (const Piece& in : in_)
        if (chain(s, in, parts)) return true;
    return false;
}

// From the arc `in` into the middle: loops there, breadth first, until an
// arc out of it completes the shortcut's weight with allowed turns.
bool Unpacker::chain(const HierarchyArc& s, const Piece& in, std::vector<Piece>& parts) {
    constexpr std::size_t kNone = SIZE_MAX;
    constexpr std::size_t kMostSteps = 64; // loops driven at one junction, all ways tried
    steps_.assign({{in.weight, in.last, kNone, kNone}});
    for (std::size_t k = 0; k < steps_.size() && k < kMostSteps; ++k) {
        const Step here = steps_[k];
        for (const Piece& out : out_) {
            if (here.cost + out.weight != s.weight || !g_.turnAllowed(here.arrival, out.first))
                continue;
            parts.assign({out});
            for (std::size_t j = k; steps_[j].parent != kNone; j = steps_[j].parent)
                parts.push_back(loops_[steps_[j].loop]);
            parts.push_back(in);
            std::reverse(parts.begin(), parts.end());
            return true;
        }
        for (std::size_t j = 0; j < loops_.size(); ++j)
            if (here.cost + loops_[j].weight < s.weight &&
                g_.turnAllowed(here.arrival, loops_[j].first))
                steps_.push_back({here.cost + loops_[j].weight, loops_[j].last, k, j});
    }
    return false;
}

} // namespace

bool appendShortcut(const BaseGraph& base, const Hierarchy& hierarchy, uint32_t index,
                    std::vector<NodeId>& out) {
    Unpacker unpacker(base, hierarchy);
    std::vector<Piece> todo{{kNoNode, index, ownerOf(hierarchy, index), kNoNode, kNoNode, 0}};
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
        if (!unpacker.split(p, parts)) return false;
        todo.insert(todo.end(), parts.rbegin(), parts.rend());
    }
    return true;
}

} // namespace tevo::route
