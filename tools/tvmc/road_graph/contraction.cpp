#include "tools/tvmc/road_graph/contraction.hpp"

#include "tools/tvmc/road_graph/arc_lists.hpp"
#include "tools/tvmc/road_graph/judge_team.hpp"
#include "tools/tvmc/road_graph/witness_search.hpp"

#include <algorithm>
#include <cstring>
#include <functional>
#include <queue>
#include <tuple>

namespace tevo::tvmc {

namespace {

using route::NodeId;
using route::reverseOf;

constexpr uint32_t kUnranked = UINT32_MAX;
constexpr uint64_t kNoPassage = UINT64_MAX;
// Labels a witness search may settle: a witness not found costs a shortcut,
// never a wrong route. A junction's priority is only an estimate, weighed
// again and again while others are contracted: short searches are enough
// for it. The full searches decide which shortcuts are written.
constexpr uint32_t kWitnessSettles = 100;
constexpr uint32_t kEstimateSettles = 5;
// The arcs' array is laid out for the roads and keeps this many times their
// room in reserve for the shortcuts.
constexpr uint32_t kSpareRoom = 3;
// Shortcuts made in a scratch file are read back through its map, whose
// pages are let go after every so many.
constexpr std::size_t kMadeReadBetweenDrops = std::size_t{1} << 20;

using ArcView = ContractionArc;

class Contractor {
public:
    Contractor(const route::BaseGraph& g, ScratchSpace& scratch, uint64_t madeInMemory,
               unsigned helpers);
    void run(RoadNetwork& net, const std::function<void(uint32_t)>& contracted);

private:
    struct Made { // a shortcut as it goes into the file
        uint32_t from, to;
        NodeId first, last;
        uint32_t weight, middle;
    };
    bool live(uint32_t j) const { return rank_[j] == kUnranked; }
    template <typename F> void forEachRoad(F&& f) const;
    template <typename F> void forEachLoop(uint32_t j, F&& f) const {
        for (const ArcView& a : lists_.loops(j)) f(a);
    }
    void passages(uint32_t v, NodeId arrival, std::vector<std::pair<NodeId, uint32_t>>& out) const;
    int32_t simulate(uint32_t v, uint32_t settleLimit);
    void candidatesThrough(uint32_t v);
    uint64_t fastestPassage(std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1) const;
    void addShortcut(const NewArc& s, uint32_t middle);
    void keep(const Made& m) {
        made_.append(&m, sizeof m);
        ++madeCount_;
    }
    Made madeAt(const uint8_t* all, std::size_t i) const {
        Made m;
        std::memcpy(&m, all + i * sizeof m, sizeof m);
        return m;
    }
    void retire(uint32_t v);
    std::vector<bool> replaced(const uint8_t* all);
    void extract(RoadNetwork& net);

    const route::BaseGraph g_;
    const uint32_t junctions_;
    std::vector<bool> bans_; // junctions where some turn is banned
    // Made records, in the order made. Beyond their share of memory they wait
    // in a scratch file until the hierarchy is extracted, when the lists are
    // given back: at millions of junctions they would add a quarter to the
    // contraction's peak.
    ByteSpool made_;
    std::size_t madeCount_ = 0;
    // The ends and roads of shortcuts made faster: only these were made twice.
    using Ends = std::tuple<uint32_t, uint32_t, NodeId, NodeId>;
    std::vector<Ends> replacedEnds_;
    // Per junction: the arcs out to live junctions, in from them, and loops.
    ArcLists lists_;
    std::vector<uint32_t> rank_;
    std::vector<uint16_t> level_;
    std::vector<bool> changed_; // a neighbour contracted since the junction was weighed
    JudgeTeam judges_;
    std::vector<NewArc> needed_, candidates_;
    std::vector<ArcView> ins_, outs_;
    std::vector<std::pair<NodeId, uint32_t>> through_, passed_;
    std::vector<std::size_t> throughEnds_; // of each arc in's passages in through_
    std::vector<uint32_t> around_;
};

Contractor::Contractor(const route::BaseGraph& g, ScratchSpace& scratch, uint64_t madeInMemory,
                       unsigned helpers)
    : g_(g), junctions_(static_cast<uint32_t>(g.armFirst.size() - 1)), bans_(junctions_, false),
      made_(scratch, madeInMemory), lists_(junctions_), rank_(junctions_, kUnranked),
      level_(junctions_, 0), changed_(junctions_, false), judges_(g_, lists_, bans_, helpers) {
    for (const tvr::TurnBan& b : g.bans) bans_[g.head(b.from)] = true;
    // Each junction's roads out and in, in lists of just their size.
    std::vector<uint32_t> rooms(3 * junctions_, 0);
    forEachRoad([&](uint32_t from, uint32_t to, NodeId) {
        ++rooms[lists_.outList(from)];
        ++rooms[lists_.inList(to)];
    });
    lists_.lay(rooms, kSpareRoom);
    forEachRoad([&](uint32_t from, uint32_t to, NodeId y) {
        lists_.push(lists_.outList(from), {to, g_.cost(y), y, y});
        lists_.push(lists_.inList(to), {from, g_.cost(y), y, y});
    });
}

// f(from, to, road) for every road a vehicle may drive, in each direction
// it may be driven.
template <typename F> void Contractor::forEachRoad(F&& f) const {
    for (uint32_t j = 0; j < junctions_; ++j)
        for (uint32_t a = g_.armFirst[j]; a < g_.armFirst[j + 1]; ++a) {
            const NodeId y = g_.arms[a];
            if (g_.usable(y) && g_.head(y) != j) f(j, g_.head(y), y);
        }
}

// Where a vehicle arriving at v along `arrival` can be after driving loops
// at v, each with the least time the loops take (0 for none): a Dijkstra
// over the few roads that arrive at v.
void Contractor::passages(uint32_t v, NodeId arrival,
                          std::vector<std::pair<NodeId, uint32_t>>& out) const {
    out.assign({{arrival, 0}});
    if (lists_.loops(v).empty()) return;
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
    ins_.assign(lists_.ins(v).begin(), lists_.ins(v).end());
    outs_.assign(lists_.outs(v).begin(), lists_.outs(v).end());
    int32_t removed = static_cast<int32_t>(ins_.size() + outs_.size());
    forEachLoop(v, [&](const ArcView&) { ++removed; });
    candidatesThrough(v);
    judges_.judge(candidates_, v, settleLimit);
    needed_.clear();
    for (const NewArc& c : candidates_)
        if (c.state == NewArc::kNeeded) needed_.push_back(c);
    around_.clear();
    for (const ArcView& a : ins_) around_.push_back(a.other);
    for (const ArcView& a : outs_) around_.push_back(a.other);
    return 2 * (static_cast<int32_t>(needed_.size()) - removed) + 4 * level_[v];
}

// The candidate shortcuts through v, in candidates_: one for each junction
// and road a vehicle may leave from and junction and road it may arrive at
// through v, with the fastest passage between them. With the arcs in and
// out sorted by their far junction and road, the candidates come out in
// the order of NewArc's < without sorting them (a junction's top arcs give
// hundreds).
void Contractor::candidatesThrough(uint32_t v) {
    std::sort(ins_.begin(), ins_.end(), [](const ArcView& a, const ArcView& b) {
        return std::tie(a.other, a.first) < std::tie(b.other, b.first);
    });
    std::sort(outs_.begin(), outs_.end(), [](const ArcView& a, const ArcView& b) {
        return std::tie(a.other, a.last) < std::tie(b.other, b.last);
    });
    // 1. Where a vehicle arriving along each arc in may go on, after loops.
    through_.clear();
    throughEnds_.clear();
    for (const ArcView& in : ins_) {
        passages(v, in.last, passed_);
        through_.insert(through_.end(), passed_.begin(), passed_.end());
        throughEnds_.push_back(through_.size());
    }
    // 2. The fastest passage for each pair of runs of arcs with the same
    // ends and roads.
    auto runEnd = [](const std::vector<ArcView>& arcs, std::size_t i, std::size_t end, auto same) {
        std::size_t j = i + 1;
        while (j < end && same(arcs[i], arcs[j])) ++j;
        return j;
    };
    auto sameOther = [](const ArcView& a, const ArcView& b) { return a.other == b.other; };
    auto sameFirst = [](const ArcView& a, const ArcView& b) { return a.first == b.first; };
    auto sameLast = [](const ArcView& a, const ArcView& b) { return a.last == b.last; };
    candidates_.clear();
    for (std::size_t i0 = 0, i1; i0 < ins_.size(); i0 = i1) {
        i1 = runEnd(ins_, i0, ins_.size(), sameOther);
        for (std::size_t o0 = 0, o1; o0 < outs_.size(); o0 = o1) {
            o1 = runEnd(outs_, o0, outs_.size(), sameOther);
            for (std::size_t a0 = i0, a1; a0 < i1; a0 = a1) {
                a1 = runEnd(ins_, a0, i1, sameFirst);
                for (std::size_t b0 = o0, b1; b0 < o1; b0 = b1) {
                    b1 = runEnd(outs_, b0, o1, sameLast);
                    const uint64_t w = fastestPassage(a0, a1, b0, b1);
                    if (w == kNoPassage) continue;
                    candidates_.push_back(
                        {ins_[a0].other, outs_[b0].other, ins_[a0].first, outs_[b0].last,
                         static_cast<uint32_t>(std::min<uint64_t>(w, tvr::kWeightMask))});
                }
            }
        }
    }
}

// The fastest way in along ins_[a0..a1) and out along outs_[b0..b1),
// kNoPassage when every turn between them is banned.
uint64_t Contractor::fastestPassage(std::size_t a0, std::size_t a1, std::size_t b0,
                                    std::size_t b1) const {
    uint64_t best = kNoPassage;
    for (std::size_t a = a0; a < a1; ++a)
        for (std::size_t b = b0; b < b1; ++b) {
            uint64_t pass = kFar;
            for (std::size_t k = a == 0 ? 0 : throughEnds_[a - 1]; k < throughEnds_[a]; ++k) {
                const auto& [arrival, d] = through_[k];
                if (d < pass && g_.turnAllowed(arrival, outs_[b].first)) pass = d;
            }
            if (pass != kFar) best = std::min(best, ins_[a].weight + pass + outs_[b].weight);
        }
    return best;
}

// Adds the shortcut, or makes a shortcut with the same ends and roads faster
// (the slower one is dropped when the hierarchy is written). A road has one
// road as its first and last, a shortcut two, so only shortcuts match.
void Contractor::addShortcut(const NewArc& s, uint32_t middle) {
    const bool loop = s.from == s.to;
    auto same = [&](const ArcView& a, uint32_t other) {
        return a.other == other && a.first == s.first && a.last == s.last;
    };
    for (ArcView& a : lists_.of(loop ? lists_.loopList(s.from) : lists_.outList(s.from))) {
        if (!same(a, s.to)) continue;
        if (s.weight >= a.weight) return;
        a.weight = s.weight;
        if (!loop)
            for (ArcView& b : lists_.of(lists_.inList(s.to)))
                if (same(b, s.from)) b.weight = s.weight;
        keep({s.from, s.to, s.first, s.last, s.weight, middle});
        replacedEnds_.push_back({s.from, s.to, s.first, s.last});
        return;
    }
    keep({s.from, s.to, s.first, s.last, s.weight, middle});
    if (loop) {
        lists_.push(lists_.loopList(s.from), {s.from, s.weight, s.first, s.last});
        return;
    }
    lists_.push(lists_.outList(s.from), {s.to, s.weight, s.first, s.last});
    lists_.push(lists_.inList(s.to), {s.from, s.weight, s.first, s.last});
}

// Takes contracted v out of its neighbours' lists, so that the lists of the
// junctions still to contract hold live junctions only, and gives v's own
// lists back.
void Contractor::retire(uint32_t v) {
    std::sort(around_.begin(), around_.end());
    around_.erase(std::unique(around_.begin(), around_.end()), around_.end());
    auto alive = [&](const ArcView& a) { return a.other != v; };
    for (uint32_t u : around_) {
        level_[u] = static_cast<uint16_t>(std::max<int>(level_[u], level_[v] + 1));
        changed_[u] = true;
        lists_.keepIf(lists_.outList(u), alive);
        lists_.keepIf(lists_.inList(u), alive);
    }
    lists_.release(lists_.outList(v));
    lists_.release(lists_.inList(v));
    lists_.release(lists_.loopList(v));
}

void Contractor::run(RoadNetwork& net, const std::function<void(uint32_t)>& contracted) {
    using Entry = std::pair<int32_t, uint32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (uint32_t j = 0; j < junctions_; ++j) queue.push({simulate(j, kEstimateSettles), j});
    uint32_t next = 0;
    while (!queue.empty()) {
        const uint32_t v = queue.top().second;
        queue.pop();
        if (!live(v)) continue;
        // Lazy update: weigh again where a neighbour was contracted since
        // the last weighing, and wait when others now come first.
        if (changed_[v]) {
            changed_[v] = false;
            const int32_t now = simulate(v, kEstimateSettles);
            if (!queue.empty() && now > queue.top().first) {
                queue.push({now, v});
                continue;
            }
        }
        simulate(v, kWitnessSettles);
        for (const NewArc& s : needed_) addShortcut(s, v);
        rank_[v] = next++;
        retire(v);
        if (contracted) contracted(next);
    }
    extract(net);
}

uint16_t armIndex(const route::BaseGraph& g, uint32_t junction, NodeId leaving) {
    for (uint32_t a = g.armFirst[junction]; a < g.armFirst[junction + 1]; ++a)
        if (g.arms[a] == leaving) return static_cast<uint16_t>(a - g.armFirst[junction]);
    return 0;
}

// Marks the shortcuts that a faster one with the same ends and roads
// replaced: of each such set the fastest stays, the first made on a tie.
std::vector<bool> Contractor::replaced(const uint8_t* all) {
    std::vector<bool> out(madeCount_, false);
    if (replacedEnds_.empty()) return out;
    std::sort(replacedEnds_.begin(), replacedEnds_.end());
    replacedEnds_.erase(std::unique(replacedEnds_.begin(), replacedEnds_.end()), replacedEnds_.end());
    // The records with those ends, by ends, weight and order made: the first
    // of each ends is the one kept.
    std::vector<std::pair<std::tuple<Ends, uint32_t>, uint32_t>> twice;
    for (uint32_t i = 0; i < madeCount_; ++i) {
        const Made m = madeAt(all, i);
        const Ends ends{m.from, m.to, m.first, m.last};
        if (std::binary_search(replacedEnds_.begin(), replacedEnds_.end(), ends))
            twice.push_back({{ends, m.weight}, i});
    }
    std::sort(twice.begin(), twice.end());
    for (std::size_t k = 1; k < twice.size(); ++k)
        out[twice[k].second] = std::get<0>(twice[k - 1].first) == std::get<0>(twice[k].first);
    return out;
}

// Each shortcut goes to the lower-ranked of its ends, counted first, then
// filled in, so that no second list of them is held.
void Contractor::extract(RoadNetwork& net) {
    lists_ = ArcLists(0);
    // Without the shortcuts (a failed scratch file, told by the caller) the
    // hierarchy is left empty.
    const uint8_t* all = made_.view();
    if (!all) madeCount_ = 0;
    const std::vector<bool> dropped = replaced(all);
    auto ownerOf = [&](const Made& a) {
        return a.from != a.to && rank_[a.to] < rank_[a.from] ? a.to : a.from;
    };
    net.shortcutFirst.assign(junctions_ + 1, 0);
    auto letGo = [this](std::size_t i) {
        if (i % kMadeReadBetweenDrops == 0) made_.dropResidentPages();
    };
    for (std::size_t i = 0; i < madeCount_; ++i) {
        letGo(i);
        if (!dropped[i]) ++net.shortcutFirst[ownerOf(madeAt(all, i)) + 1];
    }
    for (uint32_t j = 0; j < junctions_; ++j) net.shortcutFirst[j + 1] += net.shortcutFirst[j];
    std::vector<uint32_t> fill(net.shortcutFirst.begin(), net.shortcutFirst.end() - 1);
    net.shortcuts.assign(net.shortcutFirst.back(), {});
    for (std::size_t i = 0; i < madeCount_; ++i) {
        letGo(i);
        if (dropped[i]) continue;
        const Made a = madeAt(all, i);
        const uint32_t owner = ownerOf(a);
        const bool loop = a.from == a.to, back = owner == a.to && !loop;
        const uint32_t flags = loop ? tvr::kShortcutLoop : back ? tvr::kShortcutBackward : 0;
        const uint16_t nearArm =
            back ? armIndex(g_, owner, reverseOf(a.last)) : armIndex(g_, owner, a.first);
        net.shortcuts[fill[owner]++] = {back ? a.first : a.last, a.weight | flags, a.middle,
                                        nearArm, 0};
    }
    // Each junction's shortcuts by kind, so that a query reads only those
    // leading its way (route::Hierarchy::grouped).
    for (uint32_t j = 0; j < junctions_; ++j)
        std::stable_sort(net.shortcuts.begin() + net.shortcutFirst[j],
                         net.shortcuts.begin() + net.shortcutFirst[j + 1],
                         [](const tvr::Shortcut& a, const tvr::Shortcut& b) {
                             return route::Hierarchy::kindOf(a) < route::Hierarchy::kindOf(b);
                         });
    net.ranks = rank_;
    made_.clear();
}

} // namespace

void contractNetwork(RoadNetwork& net, ScratchSpace& scratch, uint64_t madeInMemory,
                     const std::function<void(uint32_t)>& contracted, unsigned helpers) {
    Contractor(net.base(), scratch, madeInMemory, helpers).run(net, contracted);
}

} // namespace tevo::tvmc
