#include "tools/tvmc/location_store.hpp"

#include "tools/tvmc/memory_budget.hpp"
#include "tools/tvmc/release.hpp"
#include "tools/tvmc/varint.hpp"

#include <algorithm>
#include <queue>

namespace tevo::tvmc {

namespace {

constexpr int kBlockNodes = 64;
constexpr std::size_t kCacheBlocks = 4096; // decoded blocks (4 MB), by block number
constexpr std::size_t kMinPending = 4096;
constexpr std::size_t kMaxPending = std::size_t{1} << 20;
// How often (lookups) a store on disk asks whether the process holds too
// much.
constexpr uint64_t kResidentCheckEvery = uint64_t{1} << 16;

} // namespace

// Nodes sorted by id: the blocks' first ids and their offsets in the spool.
struct LocationStore::Run {
    std::vector<int64_t> firstIds;
    std::vector<uint64_t> offsets;
    int64_t lastId = 0;
};

namespace {

// Encodes sorted nodes into blocks of a run, block by block.
class BlockEncoder {
public:
    BlockEncoder(ByteSpool& spool, LocationStore::Run& run) : spool_(spool), run_(run) {}

    template <typename TEntry> void add(const TEntry& e) {
        if (count_ == kBlockNodes) finish();
        if (count_ == 0) {
            run_.firstIds.push_back(e.id);
            run_.offsets.push_back(spool_.size());
            bytes_.clear();
            bytes_.push_back(0); // the count, set when the block is done
            putSigned(bytes_, e.location.x);
            putSigned(bytes_, e.location.y);
        } else {
            // Ids may span more than int64 holds (from -2^63 to 2^63): the
            // differences are taken unsigned.
            putUnsigned(bytes_, static_cast<uint64_t>(e.id) - static_cast<uint64_t>(last_.id));
            putSigned(bytes_, int64_t{e.location.x} - last_.location.x);
            putSigned(bytes_, int64_t{e.location.y} - last_.location.y);
        }
        last_ = {e.id, e.location};
        run_.lastId = e.id;
        ++count_;
    }

    void finish() {
        if (count_ == 0) return;
        bytes_[0] = static_cast<uint8_t>(count_);
        spool_.append(bytes_.data(), bytes_.size());
        count_ = 0;
    }

private:
    struct Last {
        int64_t id = 0;
        NodeLocation location;
    };
    ByteSpool& spool_;
    LocationStore::Run& run_;
    std::vector<uint8_t> bytes_;
    int count_ = 0;
    Last last_;
};

// Decodes one block starting at `p` into the arrays; returns the count.
int decodeAt(const uint8_t* p, int64_t firstId, int64_t* ids, NodeLocation* locations) {
    const int count = *p++;
    int64_t id = firstId;
    int64_t x = getSigned(p), y = getSigned(p);
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            id = static_cast<int64_t>(static_cast<uint64_t>(id) + getUnsigned(p));
            x += getSigned(p);
            y += getSigned(p);
        }
        ids[i] = id;
        locations[i] = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
    }
    return count;
}

} // namespace

LocationStore::LocationStore(ScratchSpace& scratch, const MemoryBudget& budget,
                             uint64_t memoryShare)
    : scratch_(scratch), budget_(budget), share_(memoryShare),
      pendingLimit_(std::clamp<std::size_t>(budget.locationShare() / 8 / sizeof(Entry), kMinPending,
                                            kMaxPending)),
      spool_(std::make_unique<ByteSpool>(scratch, memoryShare)) {
    pending_.reserve(pendingLimit_);
}

LocationStore::~LocationStore() = default;

bool LocationStore::onDisk() const {
    return spool_->onDisk();
}

uint64_t LocationStore::bytes() const {
    uint64_t directory = 0;
    for (const auto& run : runs_) directory += run->firstIds.size() * 16;
    return spool_->size() + directory;
}

void LocationStore::set(int64_t id, NodeLocation location) {
    pending_.push_back({id, location});
    if (pending_.size() >= pendingLimit_) flushPending();
}

// Sorts the pending nodes (the later of two with one id wins) and appends
// them: to the last run when they all follow it, as a new run otherwise.
void LocationStore::flushPending() {
    if (pending_.empty()) return;
    const auto byId = [](const Entry& a, const Entry& b) { return a.id < b.id; };
    if (!std::is_sorted(pending_.begin(), pending_.end(), byId))
        std::stable_sort(pending_.begin(), pending_.end(), byId);
    if (runs_.empty() || pending_.front().id <= runs_.back()->lastId)
        runs_.push_back(std::make_unique<Run>());
    BlockEncoder encoder(*spool_, *runs_.back());
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        if (i + 1 < pending_.size() && pending_[i + 1].id == pending_[i].id) continue;
        encoder.add(pending_[i]);
        ++nodes_;
    }
    encoder.finish();
    pending_.clear();
}

void LocationStore::seal() {
    flushPending();
    release(pending_);
    if (runs_.size() > 1) mergeRuns();
    data_ = spool_->view();
    cache_.assign(kCacheBlocks, Decoded{});
}

// Merges the runs into one; of nodes with one id the one from the later
// run wins, as it came later.
void LocationStore::mergeRuns() {
    const uint8_t* data = spool_->view();
    struct Cursor {
        const Run* run;
        std::size_t block = 0;
        int at = 0, count = 0;
        int64_t ids[kBlockNodes];
        NodeLocation locations[kBlockNodes];
    };
    std::vector<Cursor> cursors(runs_.size());
    const auto load = [data](Cursor& c) {
        c.at = 0;
        c.count = c.block < c.run->firstIds.size()
                      ? decodeAt(data + c.run->offsets[c.block], c.run->firstIds[c.block], c.ids,
                                 c.locations)
                      : 0;
    };
    // The smallest id first; of equal ids the later run first.
    const auto after = [&cursors](std::size_t a, std::size_t b) {
        const int64_t ia = cursors[a].ids[cursors[a].at], ib = cursors[b].ids[cursors[b].at];
        return ia != ib ? ia > ib : a < b;
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(after)> heap(after);
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        cursors[i].run = runs_[i].get();
        load(cursors[i]);
        if (cursors[i].count > 0) heap.push(i);
    }
    auto merged = std::make_unique<ByteSpool>(scratch_, onDisk() ? 0 : share_);
    auto run = std::make_unique<Run>();
    BlockEncoder encoder(*merged, *run);
    nodes_ = 0;
    bool first = true;
    int64_t lastId = 0;
    while (!heap.empty()) {
        Cursor& c = cursors[heap.top()];
        heap.pop();
        const Entry e{c.ids[c.at], c.locations[c.at]};
        if (first || e.id != lastId) {
            encoder.add(e);
            ++nodes_;
        }
        first = false;
        lastId = e.id;
        if (++c.at == c.count) {
            ++c.block;
            load(c);
        }
        if (c.count > 0) heap.push(static_cast<std::size_t>(&c - cursors.data()));
    }
    encoder.finish();
    runs_.clear();
    runs_.push_back(std::move(run));
    spool_ = std::move(merged);
}

void LocationStore::decode(std::size_t block, Decoded& out) const {
    const Run& run = *runs_.front();
    out.block = static_cast<int64_t>(block);
    out.count = decodeAt(data_ + run.offsets[block], run.firstIds[block], out.ids.data(),
                         out.locations.data());
}

bool LocationStore::get(int64_t id, NodeLocation& out) {
    if (runs_.empty() || !data_) return false;
    if (++lookups_ % kResidentCheckEvery == 0 && spool_->onDisk() && budget_.over())
        spool_->dropResidentPages();
    const Run& run = *runs_.front();
    // The nodes of a way mostly lie in the block of the node before.
    std::size_t block = lastBlock_;
    const std::vector<int64_t>& first = run.firstIds;
    if (block >= first.size() || id < first[block] ||
        (block + 1 < first.size() && id >= first[block + 1])) {
        const auto at = std::upper_bound(first.begin(), first.end(), id);
        if (at == first.begin()) return false;
        block = static_cast<std::size_t>(at - first.begin() - 1);
        lastBlock_ = block;
    }
    Decoded& d = cache_[block % kCacheBlocks];
    if (d.block != static_cast<int64_t>(block)) decode(block, d);
    // Where ids follow each other without gaps, the id says its place.
    const uint64_t guess = static_cast<uint64_t>(id) - static_cast<uint64_t>(d.ids[0]);
    if (guess < static_cast<uint64_t>(d.count) && d.ids[guess] == id) {
        out = d.locations[guess];
        return true;
    }
    const auto end = d.ids.begin() + d.count;
    const auto found = std::lower_bound(d.ids.begin(), end, id);
    if (found == end || *found != id) return false;
    out = d.locations[static_cast<std::size_t>(found - d.ids.begin())];
    return true;
}

} // namespace tevo::tvmc
