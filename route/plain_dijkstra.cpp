#include "route/search.hpp"

#include <algorithm>
#include <functional>
#include <queue>

namespace tevo::route {

// Labels are the time to the end of each direction of travel; a target is
// reached by a turn into it from a settled label, then its part up to the
// destination.
std::optional<int64_t> plainDijkstra(const BaseGraph& base, std::span<const Seed> sources,
                                     std::span<const Seed> targets,
                                     std::span<const DirectPath> direct) {
    const uint32_t n = base.nodeCount();
    std::vector<int64_t> dist(n, kUnreached);
    std::vector<bool> done(n, false);
    using Entry = std::pair<int64_t, NodeId>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (const Seed& s : sources)
        if (s.node < n && base.usable(s.node) && s.dist < dist[s.node])
            queue.push({dist[s.node] = s.dist, s.node});
    int64_t best = kUnreached;
    for (const DirectPath& d : direct) best = std::min(best, d.cost);
    while (!queue.empty() && queue.top().first < best) {
        const int64_t d = queue.top().first;
        const NodeId x = queue.top().second;
        queue.pop();
        if (done[x]) continue;
        done[x] = true;
        for (const Seed& t : targets)
            if (t.node < n && base.head(x) == base.tail(t.node) && base.turnAllowed(x, t.node))
                best = std::min(best, d + t.dist);
        base.forEachTurnFrom(x, [&](NodeId y) {
            const int64_t dy = d + base.cost(y);
            if (dy < dist[y]) queue.push({dist[y] = dy, y});
        });
    }
    if (best >= kUnreached) return std::nullopt;
    return best;
}

} // namespace tevo::route
