// The records of every level, sorted by level and cell, and within a cell
// by the OSM object they come from, whatever order the objects were read
// in. Records collect in memory up to the sort's share of the memory bound;
// once they outgrow it, each full load (then a sixteenth of the share) is
// sorted and written to a scratch file as a run, on a thread of its own
// while the next load fills, and the runs are merged at the end. An input
// known to be large starts with the smaller loads.
// The order is total, so the result does not depend on where the loads were
// cut: the same map for any bound.
#pragma once

#include "map/tvm_writer.hpp"
#include "tools/tvmc/feature.hpp"
#include "tools/tvmc/scratch.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <future>
#include <vector>

namespace tevo::tvmc {

struct RecordKey {
    uint8_t level = 0;
    int32_t cell = 0;
    SourceRef source;
    uint64_t arrival = 0; // the feature's number: an object read twice keeps its order
    uint32_t piece = 0;   // the record's place among its feature's records on the level
};

bool operator<(const RecordKey& a, const RecordKey& b);

class RecordSort {
public:
    // largeInput: the records will not fit the share, so the first load need
    // not take all of it.
    RecordSort(ScratchSpace& scratch, uint64_t memoryShare, bool largeInput = false);
    ~RecordSort();

    void add(const RecordKey& key, ObjectClass cls, const TvmObject& record);

    // Hands every record over in order, the memory of each only lent for the
    // call. Afterwards the sort is empty.
    using Visit = std::function<void(const RecordKey& key, ObjectClass cls, TvmObject&& record)>;
    void drain(const Visit& visit);

    uint64_t records() const { return records_; }
    // The loads sorted on disk (0 when everything was sorted in memory).
    std::size_t runs() const { return std::max(runs_.size(), merged_); }

private:
    // A record's key laid out for sorting: the level, the cell and the
    // kind packed into one number that orders as the three do, so that most
    // comparisons take one or two, and fewer bytes move as the items do.
    struct Item {
        uint64_t lead;
        int64_t id;
        uint32_t part, piece;
        uint64_t arrival;
        uint32_t at, length; // the record's bytes in the arena

        Item(const RecordKey& key, uint32_t at, uint32_t length);
        RecordKey key() const;
        bool operator<(const Item& other) const;
    };
    struct Load {
        std::vector<uint8_t> arena; // the records, encoded
        std::vector<Item> items;
    };
    struct Span {
        uint64_t begin, end;
    };
    class RunReader;

    uint64_t loadBytes() const;
    bool wholeShare() const;
    static void sortItems(std::vector<Item>::iterator begin, std::vector<Item>::iterator end);
    void sendLoad();
    void awaitRun();
    Span writeRun(Load& load);
    void drainMemory(const Visit& visit);
    void drainRuns(const Visit& visit);

    uint64_t share_;
    bool largeInput_;
    Load filling_;
    Load written_;           // the load being written, then ready to fill again
    ByteSpool spool_;        // the runs written so far
    std::vector<Span> runs_; // where each run lies in the spool
    uint64_t records_ = 0;
    std::size_t merged_ = 0;    // runs of the last drain
    std::future<Span> writing_; // last: its end waits for the writer
};

} // namespace tevo::tvmc
