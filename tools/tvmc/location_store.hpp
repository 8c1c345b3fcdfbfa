// Node locations between the two reading passes: every node's position,
// looked up by id for the ways. A plain table takes 16 bytes a node (8 of
// id, 8 of position); here the nodes are sorted by id in blocks of 64, each
// id and coordinate stored as a varint of its difference from the node
// before, which takes 5 to 7 bytes a node of real data. The blocks stay in
// memory while they fit the store's share of the memory bound and go to a
// scratch file beyond it, read back through a map whose pages the store
// lets go whenever the process holds more than the bound.
#pragma once

#include "tools/tvmc/scratch.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tevo::tvmc {

class MemoryBudget;

// A location as libosmium holds it: 1e-7 degrees.
struct NodeLocation {
    int32_t x = 0, y = 0;
};

class LocationStore {
public:
    // The blocks stay in memory up to `memoryShare` bytes (0: on disk from
    // the start); the budget says when the process holds too much.
    LocationStore(ScratchSpace& scratch, const MemoryBudget& budget, uint64_t memoryShare);
    ~LocationStore();

    // Pass 1: nodes in any order. Of two nodes with one id the later wins.
    void set(int64_t id, NodeLocation location);
    // Between the passes: sorts in what came out of id order.
    void seal();
    // Pass 2: the location of a node, or nothing when none was stored.
    bool get(int64_t id, NodeLocation& out);

    uint64_t nodes() const { return nodes_; }
    uint64_t bytes() const; // the encoded blocks and their directory
    bool onDisk() const;

    struct Run; // nodes sorted by id, in blocks

private:
    struct Entry {
        int64_t id;
        NodeLocation location;
    };
    struct Decoded {
        int64_t block = -1;
        int count = 0;
        std::array<int64_t, 64> ids{};
        std::array<NodeLocation, 64> locations{};
    };

    void flushPending();
    void mergeRuns();
    void decode(std::size_t block, Decoded& out) const;

    ScratchSpace& scratch_;
    const MemoryBudget& budget_;
    uint64_t share_;
    std::size_t pendingLimit_;
    std::vector<Entry> pending_;
    std::vector<std::unique_ptr<Run>> runs_;
    std::unique_ptr<ByteSpool> spool_; // the runs' blocks, one after another
    const uint8_t* data_ = nullptr;    // the sealed run's blocks
    std::vector<Decoded> cache_;
    uint64_t nodes_ = 0;
    uint64_t lookups_ = 0;
    std::size_t lastBlock_ = 0; // of the last lookup
};

} // namespace tevo::tvmc
