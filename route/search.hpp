// Fastest paths between road positions: the hierarchy query, and a plain
// Dijkstra over the base graph that it must agree with.
#pragma once

#include "route/base_graph.hpp"
#include "route/node_labels.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tevo::route {

// Where a search starts or ends. A source seed is a direction of travel and
// the time left on it to its end; a target seed is one and the time from
// its start to the destination (tenths of a second).
struct Seed {
    NodeId node = kNoNode;
    int64_t dist = 0;
};

// A route that never leaves one direction of travel: the destination lies
// ahead of the start on it.
struct DirectPath {
    NodeId node = kNoNode;
    int64_t cost = 0;
};

struct PathResult {
    int64_t cost = 0;          // tenths of a second
    std::vector<NodeId> nodes; // every direction of travel, from the start's to the destination's
};

// The query over the hierarchy. Its labels belong to directions of travel
// (which road a vehicle arrived along decides where it may turn), its arcs
// to junctions: the forward search climbs from the sources through ever
// higher-ranked junctions, the backward search from the targets, and a route
// is found where one arrives at a junction that the other leaves, with the
// turn between them allowed. Keeps its working memory between queries.
class HierarchySearch {
public:
    static constexpr int kForward = 0, kBackward = 1;

    HierarchySearch(const BaseGraph& base, const Hierarchy& hierarchy)
        : base_(base), hierarchy_(hierarchy) {}

    // The fastest path, or nothing when the targets cannot be reached.
    std::optional<PathResult> run(std::span<const Seed> sources, std::span<const Seed> targets,
                                  std::span<const DirectPath> direct = {});

    // Labels settled by the last run, both directions together.
    uint32_t settled() const { return settled_; }

private:
    struct Queued {
        int64_t key;
        NodeId node;
        bool operator>(const Queued& o) const { return key > o.key; }
    };

    void seed(int side, std::span<const Seed> seeds);
    void settleNext(int side);
    void meet(NodeId x, NodeId y, int settled, int64_t known);
    void relax(int side, NodeId from, NodeId to, int64_t dist, uint32_t arc);
    void relaxForward(NodeId x, int64_t d);
    void relaxBackward(NodeId y, int64_t d);
    uint64_t& covered(int side, uint32_t junction);
    bool collectPath(PathResult& result) const;

    // Per junction and direction, the roads of the junction that labels
    // settled there have already gone on along (a bit per road of a
    // junction of up to 64 roads).
    struct Covered {
        uint64_t arms[2] = {0, 0};
    };

    const BaseGraph& base_;
    const Hierarchy& hierarchy_;
    NodeLabels labels_;
    NodeTable<Covered> covered_;
    std::vector<Queued> heap_[2];
    int64_t best_ = 0;
    NodeId meetForward_ = kNoNode, meetBackward_ = kNoNode, direct_ = kNoNode;
    uint32_t settled_ = 0;
};

// Appends the directions of travel of shortcut `index` of the hierarchy,
// its first to its last; false when the file's shortcuts do not add up.
bool appendShortcut(const BaseGraph& base, const Hierarchy& hierarchy, uint32_t index,
                    std::vector<NodeId>& out);

// The cost of the fastest path by a plain Dijkstra over every turn of the
// base graph; the reference that the hierarchy query is checked against.
std::optional<int64_t> plainDijkstra(const BaseGraph& base, std::span<const Seed> sources,
                                     std::span<const Seed> targets,
                                     std::span<const DirectPath> direct = {});

} // namespace tevo::route
