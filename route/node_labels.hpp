// The labels of a search, kept only for the nodes it touches: a hierarchy
// query or a witness search touches a few hundred nodes of millions, so a
// table sized to the graph would cost more memory than the graph file
// itself, and a small one stays in the processor's cache.
#pragma once

#include "route/base_graph.hpp"

#include <cstdint>
#include <limits>
#include <vector>

namespace tevo::route {

inline constexpr int64_t kUnreached = std::numeric_limits<int64_t>::max() / 4;
// The arc of a label that came along one road rather than a shortcut.
inline constexpr uint32_t kRoadArc = 0xFFFFFFFF;

// A label per node touched, `Label` as default-constructed until set.
template <typename LabelType> class NodeTable {
public:
    using Label = LabelType;

    NodeTable() { slots_.resize(kInitialSlots); }

    // Forgets every label (in constant time).
    void clear() {
        used_ = 0;
        if (++stamp_ == 0) {
            for (Slot& s : slots_) s.stamp = 0;
            stamp_ = 1;
        }
    }

    const Label* find(NodeId x) const {
        for (std::size_t i = home(x);; i = (i + 1) & mask()) {
            const Slot& s = slots_[i];
            if (s.stamp != stamp_) return nullptr;
            if (s.node == x) return &s.label;
        }
    }

    // The node's label, created unreached on first use.
    Label& at(NodeId x) {
        if (2 * (used_ + 1) > slots_.size()) grow();
        for (std::size_t i = home(x);; i = (i + 1) & mask()) {
            Slot& s = slots_[i];
            if (s.stamp != stamp_) {
                s = Slot{x, stamp_, Label{}};
                ++used_;
                return s.label;
            }
            if (s.node == x) return s.label;
        }
    }

    std::size_t size() const { return used_; }

private:
    struct Slot {
        NodeId node = kNoNode;
        uint32_t stamp = 0;
        Label label;
    };
    static constexpr std::size_t kInitialSlots = 1024;
    static constexpr unsigned kInitialShift = 64 - 10;

    std::size_t mask() const { return slots_.size() - 1; }
    // Fibonacci hashing: the top bits of the product spread neighbouring
    // node numbers over the whole table.
    std::size_t home(NodeId x) const {
        return static_cast<std::size_t>((x * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        --shift_;
        const uint32_t oldStamp = stamp_;
        stamp_ = 1;
        used_ = 0;
        for (const Slot& s : old)
            if (s.stamp == oldStamp) at(s.node) = s.label;
    }

    std::vector<Slot> slots_;
    uint32_t stamp_ = 1;
    std::size_t used_ = 0;
    unsigned shift_ = kInitialShift;
};

// A hierarchy query's label of a direction of travel.
struct QueryLabel {
    int64_t dist[2] = {kUnreached, kUnreached}; // per search direction
    NodeId parent[2] = {kNoNode, kNoNode};
    uint32_t arc[2] = {kRoadArc, kRoadArc}; // the shortcut that led here
};

using NodeLabels = NodeTable<QueryLabel>;

} // namespace tevo::route
