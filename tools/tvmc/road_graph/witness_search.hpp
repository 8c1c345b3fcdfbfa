// Whether contracting a junction needs a shortcut: a search around it for
// paths as fast (witnesses). Its labels belong to directions of travel, two
// each: the best, and the best that began along another road of the start
// (with the U-turn rule, each road a vehicle may arrive at the start along
// rules out at most one first road, so two are enough; where the start has
// banned turns the shortcut's own first road is asked for instead).
#pragma once

#include "route/base_graph.hpp"
#include "route/node_labels.hpp"
#include "route/quad_heap.hpp"
#include "tools/tvmc/road_graph/arc_lists.hpp"

#include <cstdint>
#include <span>
#include <tuple>
#include <vector>

namespace tevo::tvmc {

inline constexpr uint32_t kFar = UINT32_MAX;

// A shortcut that contracting a junction may need.
struct NewArc {
    uint32_t from, to;
    route::NodeId first, last;
    uint32_t weight;
    enum : uint8_t { kOpen, kCovered, kNeeded } state = kOpen; // as the witness search judged
    bool operator<(const NewArc& o) const {
        return std::tie(from, to, first, last, weight) <
               std::tie(o.from, o.to, o.first, o.last, o.weight);
    }
};

class WitnessSearch {
public:
    // bans: per junction, whether some turn there is banned.
    WitnessSearch(const route::BaseGraph& g, const ArcLists& lists, const std::vector<bool>& bans)
        : g_(g), lists_(lists), bans_(bans) {}

    // Judges each shortcut of the group (all leaving one junction), covered
    // or needed, by one search from there around `avoid`, settling at most
    // settleLimit labels.
    void judge(std::span<NewArc> group, uint32_t avoid, uint32_t settleLimit);

private:
    struct Label {
        uint32_t dist = kFar;
        route::NodeId first = route::kNoNode;
    };
    struct Labels {
        Label best, second;
    };

    void start(uint32_t from, uint32_t avoid, uint32_t limit);
    void offer(route::NodeId z, uint32_t d, route::NodeId first);
    bool settleNext(route::NodeId& settled);
    uint32_t witnessFor(const Labels& labels, route::NodeId entry, bool exactFirst,
                        route::NodeId first) const;
    bool covered(const NewArc& s);

    const route::BaseGraph& g_;
    const ArcLists& lists_;
    const std::vector<bool>& bans_;
    route::NodeTable<Labels> labels_;
    struct Queued {
        uint32_t dist;
        route::NodeId node, first;
        bool operator<(const Queued& o) const {
            return std::tie(dist, node, first) < std::tie(o.dist, o.node, o.first);
        }
    };
    route::QuadHeap<Queued> heap_;
    std::vector<Labels> arrivals_;
    uint32_t avoid_ = 0, limit_ = 0, settles_ = 0, settleLimit_ = 0;
};

} // namespace tevo::tvmc
