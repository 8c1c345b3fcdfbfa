#include "tools/tvmc/road_graph/contraction.hpp"

#include <algorithm>
#include <deque>
#include <functional>
#include <queue>
#include <tuple>

namespace tevo::tvmc {

namespace {

using route::NodeId;
using route::reverseOf;

constexpr uint32_t kEnd = UINT32_MAX;
constexpr uint32_t kUnranked = UINT32_MAX;
constexpr uint32_t kFar = UINT32_MAX;
// Labels a witness search may settle: a witness not found costs a shortcut,
// never a wrong route. A junction's priority is only an estimate, weighed
// again and again while others are contracted: short searches are enough
// for it. The full searches decide which shortcuts are written.
constexpr uint32_t kWitnessSettles = 100;
constexpr uint32_t kEstimateSettles = 5;

// An arc while contracting: a road or a shortcut, seen from one junction.
struct ArcView {
    uint32_t other; // the junction at the far end
    uint32_t weight;
    NodeId first, last;
};

// A shortcut that contracting a junction needs.
struct NewArc {
    uint32_t from, to;
    NodeId first, last;
    uint32_t weight;
    bool operator<(const NewArc& o) const {
        return std::tie(from, to, first, last, weight) <
               std::tie(o.from, o.to, o.first, o.last, o.weight);
    }
    bool sameEnds(const NewArc& o) const {
        return from == o.from && to == o.to && first == o.first && last == o.last;
    }
};

class Contractor {
public:
    explicit Contractor(const route::BaseGraph& g);
    void run(RoadNetwork& net);

private:
    struct Arc {       // a shortcut in one of a junction's lists
        uint32_t made; // into made_
        uint32_t next;
    };
    struct Made { // a shortcut as it goes into the file
        NewArc arc;
        uint32_t middle;
    };
    struct Label {
        uint32_t dist;
        NodeId first;
    };

    bool live(uint32_t j) const { return rank_[j] == kUnranked; }
    template <typename F> void forEachOut(uint32_t j, F&& f) const;
    template <typename F> void forEachIn(uint32_t j, F&& f) const;
    template <typename F> void forEachLoop(uint32_t j, F&& f) const;
    void offer(NodeId z, uint32_t d, NodeId first);
    void witnessSearch(uint32_t from, uint32_t avoid, uint32_t limit);
    uint32_t witnessFor(NodeId entry, NodeId arrival, bool exactFirst, NodeId first) const;
    bool covered(const NewArc& s) const;
    void passages(uint32_t v, NodeId arrival, std::vector<std::pair<NodeId, uint32_t>>& out) const;
    int32_t simulate(uint32_t v, uint32_t settleLimit);
    void addShortcut(const NewArc& s, uint32_t middle);
    void link(uint32_t& head);
    void forget(uint32_t& head, bool outgoing);
    void extract(RoadNetwork& net);

    const route::BaseGraph g_;
    const uint32_t junctions_;
    std::vector<bool> bans_; // junctions where some turn is banned
    // Grown in blocks, never moved: at a million shortcuts a doubling copy
    // would set the peak memory.
    std::deque<Arc> arcs_;
    std::deque<Made> made_;
    std::vector<uint32_t> outHead_, inHead_, loopHead_;
    std::vector<uint32_t> rank_;
    std::vector<uint16_t> level_;
    // Witness search: two labels per direction of travel, the best and the
    // best that began along another road; valid where stamp_ == round_.
    std::vector<uint32_t> stamp_;
    std::vector<Label> best_, second_;
    uint32_t round_ = 0;
    uint32_t settleLimit_ = kWitnessSettles;
    std::vector<std::tuple<uint32_t, NodeId, NodeId>> heap_;
    std::vector<NewArc> needed_, candidates_;
    std::vector<ArcView> ins_, outs_;
    std::vector<std::pair<NodeId, uint32_t>> through_;
    std::vector<uint32_t> around_;
};

Contractor::Contractor(const route::BaseGraph& g)
    : g_(g), junctions_(static_cast<uint32_t>(g.junctions.size())), bans_(junctions_, false),
      outHead_(junctions_, kEnd), inHead_(junctions_, kEnd), loopHead_(junctions_, kEnd),
      rank_(junctions_, kUnranked), level_(junctions_, 0), stamp_(g.nodeCount(), 0),
      best_(g.nodeCount()), second_(g.nodeCount()) {
    for (const tvr::TurnBan& b : g.bans) bans_[g.head(b.from)] = true;
}

// f(arc) for every road and shortcut from junction j to another live junction.
template <typename F> void Contractor::forEachOut(uint32_t j, F&& f) const {
    for (uint32_t a = g_.armFirst[j]; a < g_.armFirst[j + 1]; ++a) {
        const NodeId y = g_.arms[a];
        const uint32_t h = g_.head(y);
        if (g_.usable(y) && h != j && live(h)) f(ArcView{h, g_.cost(y), y, y});
    }
    for (uint32_t k = outHead_[j]; k != kEnd; k = arcs_[k].next) {
        const NewArc& a = made_[arcs_[k].made].arc;
        if (live(a.to)) f(ArcView{a.to, a.weight, a.first, a.last});
    }
}

template <typename F> void Contractor::forEachIn(uint32_t j, F&& f) const {
    for (uint32_t a = g_.armFirst[j]; a < g_.armFirst[j + 1]; ++a) {
        const NodeId x = reverseOf(g_.arms[a]);
        const uint32_t t = g_.tail(x);
        if (g_.usable(x) && t != j && live(t)) f(ArcView{t, g_.cost(x), x, x});
    }
    for (uint32_t k = inHead_[j]; k != kEnd; k = arcs_[k].next) {
        const NewArc& a = made_[arcs_[k].made].arc;
        if (live(a.from)) f(ArcView{a.from, a.weight, a.first, a.last});
    }
}

template <typename F> void Contractor::forEachLoop(uint32_t j, F&& f) const {
    for (uint32_t k = loopHead_[j]; k != kEnd; k = arcs_[k].next) {
        const NewArc& a = made_[arcs_[k].made].arc;
        f(ArcView{a.from, a.weight, a.first, a.last});
    }
}

// Keeps the two best labels of z that began along different roads.
void Contractor::offer(NodeId z, uint32_t d, NodeId first) {
    if (stamp_[z] != round_) {
        stamp_[z] = round_;
        best_[z] = {d, first};
        second_[z] = {kFar, route::kNoNode};
    } else if (first == best_[z].first) {
        if (d >= best_[z].dist) return;
        best_[z].dist = d;
    } else if (d < best_[z].dist) {
        second_[z] = best_[z];
        best_[z] = {d, first};
    } else if (d < second_[z].dist) {
        second_[z] = {d, first};
    } else {
        return;
    }
    heap_.emplace_back(d, z, first);
    std::push_heap(heap_.begin(), heap_.end(), std::greater<>());
}

// From junction `from` over the live junctions but `avoid`, every path
// beginning along any of its roads, up to `limit` tenths of a second.
void Contractor::witnessSearch(uint32_t from, uint32_t avoid, uint32_t limit) {
    ++round_;
    heap_.clear();
    auto start = [&](const ArcView& a) {
        if (a.other != avoid && a.weight <= limit) offer(a.last, a.weight, a.first);
    };
    forEachOut(from, start);
    forEachLoop(from, start);
    for (uint32_t settles = 0; !heap_.empty() && settles < settleLimit_;) {
        std::pop_heap(heap_.begin(), heap_.end(), std::greater<>());
        const uint32_t d = std::get<0>(heap_.back());
        const NodeId z = std::get<1>(heap_.back()), first = std::get<2>(heap_.back());
        heap_.pop_back();
        const bool current = (best_[z].first == first && best_[z].dist == d) ||
                             (second_[z].first == first && second_[z].dist == d);
        if (!current) continue;
        ++settles;
        auto next = [&](const ArcView& a) {
            if (a.other != avoid && uint64_t{d} + a.weight <= limit && g_.turnAllowed(z, a.first))
                offer(a.last, d + a.weight, first);
        };
        const uint32_t j = g_.head(z);
        forEachOut(j, next);
        forEachLoop(j, next);
    }
}

// The witness search's best time to `arrival` on a path that a vehicle
// arriving along `entry` may begin: its first road must be allowed after
// entry, or be `first` itself where banned turns make the two labels too few.
uint32_t Contractor::witnessFor(NodeId entry, NodeId arrival, bool exactFirst, NodeId first) const {
    if (stamp_[arrival] != round_) return kFar;
    for (const Label& l : {best_[arrival], second_[arrival]}) {
        if (l.first == route::kNoNode) continue;
        if (exactFirst ? l.first == first : g_.turnAllowed(entry, l.first)) return l.dist;
    }
    return kFar;
}

// Whether the witness search found, for every road a vehicle may arrive at
// s.from along and every road it may then leave s.to along, a path around
// the contracted junction as fast as the shortcut.
bool Contractor::covered(const NewArc& s) const {
    const bool fromBans = bans_[s.from], toBans = bans_[s.to];
    for (uint32_t a = g_.armFirst[s.from]; a < g_.armFirst[s.from + 1]; ++a) {
        const NodeId entry = reverseOf(g_.arms[a]);
        if (!g_.usable(entry) || !g_.turnAllowed(entry, s.first)) continue;
        for (uint32_t b = g_.armFirst[s.to]; b < g_.armFirst[s.to + 1]; ++b) {
            const NodeId exit = g_.arms[b];
            if (!g_.usable(exit) || !g_.turnAllowed(s.last, exit)) continue;
            uint32_t best = kFar;
            for (uint32_t c = g_.armFirst[s.to]; c < g_.armFirst[s.to + 1]; ++c) {
                const NodeId arrival = reverseOf(g_.arms[c]);
                const bool fits = toBans ? arrival == s.last
                                         : g_.usable(arrival) && g_.turnAllowed(arrival, exit);
                if (fits) best = std::min(best, witnessFor(entry, arrival, fromBans, s.first));
            }
            if (best > s.weight) return false;
        }
    }
    return true;
}

// Where a vehicle arriving at v along `arrival` can be after driving loops
// at v, each with the least time the loops take (0 for none): a Dijkstra
// over the few roads that arrive at v.
void Contractor::passages(uint32_t v, NodeId arrival,
                          std::vector<std::pair<NodeId, uint32_t>>& out) const {
    out.assign({{arrival, 0}});
    if (loopHead_[v] == kEnd) return;
    std::vector<bool> done(1, false);
    while (true) {
        std::size_t k = out.size();
        for (std::size_t i = 0; i < out.size(); ++i)
            if (!done[i] && (k == out.size() || out[i].second < out[k].second)) k = i;
        if (k == out.size()) return;
        done[k] = true;
        const NodeId from = out[k].first;
        const uint32_t d = out[k].second;
        forEachLoop(v, [&](const ArcView& loop) {
            if (!g_.turnAllowed(from, loop.first)) return;
            const uint32_t reach = d + loop.weight;
            for (std::size_t i = 0; i < out.size(); ++i)
                if (out[i].first == loop.last) {
                    if (!done[i]) out[i].second = std::min(out[i].second, reach);
                    return;
                }
            out.push_back({loop.last, reach});
            done.push_back(false);
        });
    }
}

// The shortcuts that contracting v needs, in needed_, and its priority:
// shortcuts added less arcs removed, and how deep v sits already. Witness
// searches settle at most settleLimit labels each.
int32_t Contractor::simulate(uint32_t v, uint32_t settleLimit) {
    settleLimit_ = settleLimit;
    std::vector<ArcView>& ins = ins_;
    std::vector<ArcView>& outs = outs_;
    ins.clear();
    outs.clear();
    int32_t removed = 0;
    forEachIn(v, [&](const ArcView& a) { ins.push_back(a); });
    forEachOut(v, [&](const ArcView& a) { outs.push_back(a); });
    forEachLoop(v, [&](const ArcView&) { ++removed; });
    removed += static_cast<int32_t>(ins.size() + outs.size());
    std::vector<NewArc>& candidates = candidates_;
    candidates.clear();
    std::vector<std::pair<NodeId, uint32_t>>& through = through_;
    for (const ArcView& in : ins) {
        passages(v, in.last, through);
        for (const ArcView& out : outs) {
            uint64_t pass = kFar;
            for (const auto& [arrival, d] : through)
                if (d < pass && g_.turnAllowed(arrival, out.first)) pass = d;
            if (pass == kFar) continue;
            const uint64_t w = in.weight + pass + out.weight;
            candidates.push_back({in.other, out.other, in.first, out.last,
                                  static_cast<uint32_t>(std::min<uint64_t>(w, tvr::kWeightMask))});
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end(),
                                 [](const NewArc& a, const NewArc& b) { return a.sameEnds(b); }),
                     candidates.end());
    needed_.clear();
    for (std::size_t i = 0; i < candidates.size();) {
        std::size_t end = i;
        uint32_t limit = 0;
        for (; end < candidates.size() && candidates[end].from == candidates[i].from; ++end)
            limit = std::max(limit, candidates[end].weight);
        witnessSearch(candidates[i].from, v, limit);
        for (; i < end; ++i)
            if (!covered(candidates[i])) needed_.push_back(candidates[i]);
    }
    around_.clear();
    for (const ArcView& a : ins) around_.push_back(a.other);
    for (const ArcView& a : outs) around_.push_back(a.other);
    return 2 * (static_cast<int32_t>(needed_.size()) - removed) + 4 * level_[v];
}

// Drops the arcs to contracted junctions from a list, so that the lists of
// the junctions still to contract stay as short as their neighbourhoods.
void Contractor::forget(uint32_t& head, bool outgoing) {
    uint32_t* at = &head;
    while (*at != kEnd) {
        Arc& a = arcs_[*at];
        const NewArc& s = made_[a.made].arc;
        if (live(outgoing ? s.to : s.from))
            at = &a.next;
        else
            *at = a.next;
    }
}

void Contractor::link(uint32_t& head) {
    arcs_.push_back({static_cast<uint32_t>(made_.size() - 1), head});
    head = static_cast<uint32_t>(arcs_.size() - 1);
}

// Adds the shortcut, or makes a shortcut with the same ends and roads faster.
void Contractor::addShortcut(const NewArc& s, uint32_t middle) {
    const bool loop = s.from == s.to;
    for (uint32_t k = loop ? loopHead_[s.from] : outHead_[s.from]; k != kEnd; k = arcs_[k].next) {
        Made& m = made_[arcs_[k].made];
        if (!m.arc.sameEnds(s)) continue;
        if (s.weight < m.arc.weight) m = {s, middle};
        return;
    }
    made_.push_back({s, middle});
    if (loop) {
        link(loopHead_[s.from]);
        return;
    }
    link(outHead_[s.from]);
    link(inHead_[s.to]);
}

void Contractor::run(RoadNetwork& net) {
    using Entry = std::pair<int32_t, uint32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (uint32_t j = 0; j < junctions_; ++j) queue.push({simulate(j, kEstimateSettles), j});
    uint32_t next = 0;
    while (!queue.empty()) {
        const uint32_t v = queue.top().second;
        queue.pop();
        if (!live(v)) continue;
        // Lazy update: weigh again, and wait when others now come first.
        const int32_t now = simulate(v, kEstimateSettles);
        if (!queue.empty() && now > queue.top().first) {
            queue.push({now, v});
            continue;
        }
        simulate(v, kWitnessSettles);
        for (const NewArc& s : needed_) addShortcut(s, v);
        rank_[v] = next++;
        std::sort(around_.begin(), around_.end());
        around_.erase(std::unique(around_.begin(), around_.end()), around_.end());
        for (uint32_t u : around_) {
            level_[u] = static_cast<uint16_t>(std::max<int>(level_[u], level_[v] + 1));
            forget(outHead_[u], true);
            forget(inHead_[u], false);
        }
    }
    extract(net);
}

uint16_t armIndex(const route::BaseGraph& g, uint32_t junction, NodeId leaving) {
    for (uint32_t a = g.armFirst[junction]; a < g.armFirst[junction + 1]; ++a)
        if (g.arms[a] == leaving) return static_cast<uint16_t>(a - g.armFirst[junction]);
    return 0;
}

// Each shortcut goes to the lower-ranked of its ends, counted first, then
// filled in, so that no second list of them is held.
void Contractor::extract(RoadNetwork& net) {
    arcs_.clear();
    arcs_.shrink_to_fit();
    auto ownerOf = [&](const NewArc& a) {
        return a.from != a.to && rank_[a.to] < rank_[a.from] ? a.to : a.from;
    };
    net.shortcutFirst.assign(junctions_ + 1, 0);
    for (const Made& m : made_) ++net.shortcutFirst[ownerOf(m.arc) + 1];
    for (uint32_t j = 0; j < junctions_; ++j) net.shortcutFirst[j + 1] += net.shortcutFirst[j];
    std::vector<uint32_t> fill(net.shortcutFirst.begin(), net.shortcutFirst.end() - 1);
    net.shortcuts.assign(made_.size(), {});
    for (const Made& m : made_) {
        const NewArc& a = m.arc;
        const uint32_t owner = ownerOf(a);
        const bool loop = a.from == a.to, back = owner == a.to && !loop;
        const uint32_t flags = loop ? tvr::kShortcutLoop : back ? tvr::kShortcutBackward : 0;
        const uint16_t nearArm =
            back ? armIndex(g_, owner, reverseOf(a.last)) : armIndex(g_, owner, a.first);
        net.shortcuts[fill[owner]++] = {back ? a.first : a.last, a.weight | flags, m.middle,
                                        nearArm, 0};
    }
    net.ranks = rank_;
}

} // namespace

void contractNetwork(RoadNetwork& net) {
    Contractor(net.base()).run(net);
}

} // namespace tevo::tvmc
