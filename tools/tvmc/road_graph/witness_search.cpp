#include "tools/tvmc/road_graph/witness_search.hpp"

#include <algorithm>
#include <functional>

namespace tevo::tvmc {

// Keeps the two best labels of z that began along different roads.
void WitnessSearch::offer(route::NodeId z, uint32_t d, route::NodeId first) {
    Labels& l = labels_.at(z);
    if (first == l.best.first) {
        if (d >= l.best.dist) return;
        l.best.dist = d;
    } else if (d < l.best.dist) {
        l.second = l.best;
        l.best = {d, first};
    } else if (d < l.second.dist) {
        l.second = {d, first};
    } else {
        return;
    }
    heap_.push({d, z, first});
}

// Starts a witness search from junction `from` over the live junctions but
// `avoid`, along paths beginning along any of its roads, up to `limit`
// tenths of a second.
void WitnessSearch::start(uint32_t from, uint32_t avoid, uint32_t limit) {
    labels_.clear();
    heap_.clear();
    avoid_ = avoid;
    limit_ = limit;
    settles_ = 0;
    auto begin = [&](const ContractionArc& a) {
        if (a.other != avoid && a.weight <= limit) offer(a.last, a.weight, a.first);
    };
    for (const ContractionArc& a : lists_.outs(from)) begin(a);
    for (const ContractionArc& a : lists_.loops(from)) begin(a);
}

// Settles the witness search's next label; false when it has none left
// within its limit or has settled as many as it may.
bool WitnessSearch::settleNext(route::NodeId& settled) {
    while (!heap_.empty() && settles_ < settleLimit_) {
        const auto [d, z, first] = heap_.top();
        heap_.pop();
        const Labels& l = *labels_.find(z);
        const bool current = (l.best.first == first && l.best.dist == d) ||
                             (l.second.first == first && l.second.dist == d);
        if (!current) continue;
        ++settles_;
        // Every arc in the lists begins along a road that allows its
        // direction: of the turn rules only the U-turn and the bans are left
        // to check, and both depend on z alone until a ban is listed.
        const uint32_t j = g_.head(z);
        const route::NodeId uTurn = g_.degree(j) == 1 ? route::kNoNode : route::reverseOf(z);
        const bool bans = g_.hasBans(z);
        for (const std::span<const ContractionArc> list : {lists_.outs(j), lists_.loops(j)})
            for (const ContractionArc& a : list)
                if (a.other != avoid_ && uint64_t{d} + a.weight <= limit_ && a.first != uTurn &&
                    !(bans && g_.listedBan(z, a.first)))
                    offer(a.last, d + a.weight, first);
        settled = z;
        return true;
    }
    return false;
}

// One search for the whole group, taken only as far as they need it: a
// candidate is covered as soon as the labels found so far cover it (each
// is the time of a real path), and needed once the search has passed its
// weight without covering it, when no later label can be that fast.
void WitnessSearch::judge(std::span<NewArc> group, uint32_t avoid, uint32_t settleLimit) {
    settleLimit_ = settleLimit;
    uint32_t limit = 0;
    for (const NewArc& c : group) limit = std::max(limit, c.weight);
    start(group.front().from, avoid, limit);
    std::size_t open = group.size();
    for (NewArc& c : group) c.state = NewArc::kOpen;
    route::NodeId z = route::kNoNode;
    while (open > 0) {
        const bool more = settleNext(z);
        const uint32_t passed = !more || heap_.empty() ? kFar : heap_.top().dist;
        const uint32_t at = more ? g_.head(z) : kFar;
        for (NewArc& c : group) {
            if (c.state != NewArc::kOpen) continue;
            const bool final = c.weight < passed;
            if (!final && c.to != at) continue;
            if (covered(c))
                c.state = NewArc::kCovered;
            else if (final)
                c.state = NewArc::kNeeded;
            else
                continue;
            --open;
        }
    }
}

// The best time in `labels` on a path that a vehicle arriving along
// `entry` may begin: its first road must be allowed after entry, or be
// `first` itself where banned turns make the two labels too few.
uint32_t WitnessSearch::witnessFor(const Labels& labels, route::NodeId entry, bool exactFirst,
                                   route::NodeId first) const {
    for (const Label& l : {labels.best, labels.second}) {
        if (l.first == route::kNoNode) continue;
        if (exactFirst ? l.first == first : g_.turnAllowed(entry, l.first)) return l.dist;
    }
    return kFar;
}

// Whether the witness search found, for every road a vehicle may arrive at
// s.from along and every road it may then leave s.to along, a path around
// the contracted junction as fast as the shortcut.
bool WitnessSearch::covered(const NewArc& s) {
    const bool fromBans = bans_[s.from], toBans = bans_[s.to];
    const uint32_t arms = g_.armFirst[s.to], degree = g_.degree(s.to);
    // The labels of the roads arriving at s.to, looked up once.
    arrivals_.clear();
    for (uint32_t c = arms; c < arms + degree; ++c) {
        const Labels* l = labels_.find(route::reverseOf(g_.arms[c]));
        arrivals_.push_back(l ? *l : Labels{});
    }
    for (uint32_t a = g_.armFirst[s.from]; a < g_.armFirst[s.from + 1]; ++a) {
        const route::NodeId entry = route::reverseOf(g_.arms[a]);
        if (!g_.usable(entry) || !g_.turnAllowed(entry, s.first)) continue;
        for (uint32_t b = arms; b < arms + degree; ++b) {
            const route::NodeId exit = g_.arms[b];
            if (!g_.usable(exit) || !g_.turnAllowed(s.last, exit)) continue;
            uint32_t best = kFar;
            for (uint32_t c = 0; c < degree && best > s.weight; ++c) {
                const route::NodeId arrival = route::reverseOf(g_.arms[arms + c]);
                const bool fits = toBans ? arrival == s.last
                                         : g_.usable(arrival) && g_.turnAllowed(arrival, exit);
                if (fits) best = std::min(best, witnessFor(arrivals_[c], entry, fromBans, s.first));
            }
            if (best > s.weight) return false;
        }
    }
    return true;
}

} // namespace tevo::tvmc
