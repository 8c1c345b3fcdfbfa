#include "tools/tvmc/record_sort.hpp"

#include "tools/tvmc/release.hpp"
#include "tools/tvmc/varint.hpp"

#include <algorithm>
#include <cstring>
#include <future>
#include <queue>
#include <tuple>

namespace tevo::tvmc {

namespace {

constexpr std::size_t kKeyBytes = 30;
// The largest encoded record: 65535 points of two 5-byte varints, a name.
constexpr std::size_t kMaxRecordBytes = 0xFFFF * 10 + 1024;
constexpr uint64_t kMinReadBuffer = uint64_t{16} << 10;
constexpr uint64_t kMaxReadBuffer = uint64_t{1} << 20;

// A record's bytes: class, type, name length and point count, the name's
// UTF-16 units, then the points as differences from the point before.
void encodeRecord(std::vector<uint8_t>& out, ObjectClass cls, const TvmObject& record) {
    // Room for the longest coding first (a UTF-16 unit takes 3 bytes at
    // most, a difference of two coordinates 5), the rest given back after.
    const std::size_t start = out.size();
    out.resize(start + 1 + 3 * kMaxVarintBytes + 3 * record.name.size() +
               10 * record.points.size());
    uint8_t* to = out.data() + start;
    *to++ = static_cast<uint8_t>(cls);
    writeUnsigned(to, record.type);
    writeUnsigned(to, record.name.size());
    writeUnsigned(to, record.points.size());
    for (char16_t unit : record.name) writeUnsigned(to, unit);
    TvmPoint last;
    for (const TvmPoint& p : record.points) {
        writeUnsigned(to, zigzag(int64_t{p.x} - last.x));
        writeUnsigned(to, zigzag(int64_t{p.y} - last.y));
        last = p;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

ObjectClass decodeRecord(const uint8_t* p, TvmObject& record) {
    const auto cls = static_cast<ObjectClass>(*p++);
    record.type = static_cast<uint16_t>(getUnsigned(p));
    record.name.resize(getUnsigned(p));
    record.points.resize(getUnsigned(p));
    for (char16_t& unit : record.name) unit = static_cast<char16_t>(getUnsigned(p));
    TvmPoint last;
    for (TvmPoint& point : record.points) {
        last.x = static_cast<int32_t>(last.x + getSigned(p));
        last.y = static_cast<int32_t>(last.y + getSigned(p));
        point = last;
    }
    return cls;
}

template <typename T> void put(uint8_t*& to, T v) {
    std::memcpy(to, &v, sizeof v);
    to += sizeof v;
}

template <typename T> T take(const uint8_t*& from) {
    T v;
    std::memcpy(&v, from, sizeof v);
    from += sizeof v;
    return v;
}

void encodeKey(uint8_t* to, const RecordKey& k) {
    put(to, k.level);
    put(to, k.cell);
    put(to, static_cast<uint8_t>(k.source.kind));
    put(to, k.source.id);
    put(to, k.source.part);
    put(to, k.arrival);
    put(to, k.piece);
}

RecordKey decodeKey(const uint8_t* from) {
    RecordKey k;
    k.level = take<uint8_t>(from);
    k.cell = take<int32_t>(from);
    k.source.kind = static_cast<SourceRef::Kind>(take<uint8_t>(from));
    k.source.id = take<int64_t>(from);
    k.source.part = take<uint32_t>(from);
    k.arrival = take<uint64_t>(from);
    k.piece = take<uint32_t>(from);
    return k;
}

} // namespace

bool operator<(const RecordKey& a, const RecordKey& b) {
    return std::tie(a.level, a.cell, a.source.kind, a.source.id, a.source.part, a.arrival,
                    a.piece) <
           std::tie(b.level, b.cell, b.source.kind, b.source.id, b.source.part, b.arrival, b.piece);
}

RecordSort::Item::Item(const RecordKey& k, uint32_t at, uint32_t length)
    : lead(uint64_t{k.level} << 40 | uint64_t{static_cast<uint32_t>(k.cell) ^ 0x80000000u} << 8 |
           uint64_t{k.source.kind}),
      id(k.source.id), part(k.source.part), piece(k.piece), arrival(k.arrival), at(at),
      length(length) {}

RecordKey RecordSort::Item::key() const {
    RecordKey k;
    k.level = static_cast<uint8_t>(lead >> 40);
    k.cell = static_cast<int32_t>(static_cast<uint32_t>(lead >> 8) ^ 0x80000000u);
    k.source.kind = static_cast<SourceRef::Kind>(lead & 0xFF);
    k.source.id = id;
    k.source.part = part;
    k.arrival = arrival;
    k.piece = piece;
    return k;
}

bool RecordSort::Item::operator<(const Item& o) const {
    if (lead != o.lead) return lead < o.lead;
    if (id != o.id) return id < o.id;
    return std::tie(part, arrival, piece) < std::tie(o.part, o.arrival, o.piece);
}

// Reads the records of one run in order through a buffer of its own.
class RecordSort::RunReader {
public:
    RunReader(ByteSpool& spool, Span span, std::size_t buffer)
        : spool_(spool), at_(span.begin), end_(span.end), size_(buffer) {}

    // The next record's key and bytes (valid until the next call); false at
    // the end of the run or when the scratch file fails.
    bool next() {
        if (!fill(kKeyBytes + 10)) return false;
        const uint8_t* p = buffer_.data() + pos_;
        key_ = decodeKey(p);
        p += kKeyBytes;
        const uint64_t length = getUnsigned(p);
        const std::size_t head = static_cast<std::size_t>(p - (buffer_.data() + pos_));
        if (!fill(head + length)) return false;
        record_ = buffer_.data() + pos_ + head;
        pos_ += head + length;
        return true;
    }

    const RecordKey& key() const { return key_; }
    const uint8_t* record() const { return record_; }

private:
    // Makes at least `n` bytes (or what is left of the run) lie at pos_.
    bool fill(std::size_t n) {
        const std::size_t held = buffer_.size() - pos_;
        if (held >= n) return true;
        if (held == 0 && at_ == end_) return false;
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(pos_));
        pos_ = 0;
        const auto more =
            static_cast<std::size_t>(std::min<uint64_t>(end_ - at_, std::max(n, size_) - held));
        buffer_.resize(held + more);
        if (!spool_.read(at_, buffer_.data() + held, more)) return false;
        at_ += more;
        return true;
    }

    ByteSpool& spool_;
    uint64_t at_, end_;
    std::size_t size_; // of a read
    std::vector<uint8_t> buffer_;
    std::size_t pos_ = 0;
    RecordKey key_;
    const uint8_t* record_ = nullptr;
};

RecordSort::RecordSort(ScratchSpace& scratch, uint64_t memoryShare, bool largeInput)
    : share_(memoryShare), largeInput_(largeInput), spool_(scratch, 0) {}

RecordSort::~RecordSort() = default;

void RecordSort::add(const RecordKey& key, ObjectClass cls, const TvmObject& record) {
    const uint64_t load = loadBytes();
    std::vector<uint8_t>& arena = filling_.arena;
    std::vector<Item>& items = filling_.items;
    if (arena.capacity() == 0) {
        // Reserved whole, so that growing never holds a load twice; only
        // the pages written to take memory.
        arena.reserve(static_cast<std::size_t>(load) + kMaxRecordBytes);
        items.reserve(static_cast<std::size_t>(load / sizeof(Item)) + 1);
    }
    const std::size_t at = arena.size();
    encodeRecord(arena, cls, record);
    items.emplace_back(key, static_cast<uint32_t>(at), static_cast<uint32_t>(arena.size() - at));
    ++records_;
    if (arena.size() + items.size() * sizeof(Item) >= load) sendLoad();
}

// A sort that fits its share never touches the disk, the fastest way. Once
// it has had to, a run more costs the merge little (at 50 million objects 28
// runs instead of 7 cost nothing measurable), so the later loads take a
// sixteenth of the share, two at a time (one filling while the other is
// written), and leave the rest to the stores that grow beside it. So does
// the first when the input is known to be too large for one load: it fills
// while the node locations are held too.
uint64_t RecordSort::loadBytes() const {
    return wholeShare() ? share_ : share_ / 16;
}

// The next load may take the whole share: nothing has gone to the spool
// yet, and the input is not known to be too large.
bool RecordSort::wholeShare() const {
    return runs_.empty() && !writing_.valid() && !largeInput_;
}

void RecordSort::sortItems(std::vector<Item>::iterator begin, std::vector<Item>::iterator end) {
    std::sort(begin, end);
}

// A first load of the whole share is written at once and let go: the next
// ones are smaller. Later loads go to a thread of their own, so that the
// records keep coming while a load is sorted and written; a load that
// fills before the one before it is written waits for it.
void RecordSort::sendLoad() {
    if (wholeShare()) {
        runs_.push_back(writeRun(filling_));
        release(filling_.arena);
        release(filling_.items);
        return;
    }
    awaitRun();
    std::swap(filling_, written_);
    writing_ = std::async(std::launch::async, [this] { return writeRun(written_); });
}

void RecordSort::awaitRun() {
    if (writing_.valid()) runs_.push_back(writing_.get());
}

// Sorts a load and appends it to the spool as a run: per record the key,
// the length of its bytes and the bytes. The load is left empty, its
// memory kept for the next one.
RecordSort::Span RecordSort::writeRun(Load& load) {
    sortItems(load.items.begin(), load.items.end());
    const uint64_t begin = spool_.size();
    std::vector<uint8_t> head;
    for (const Item& item : load.items) {
        head.resize(kKeyBytes);
        encodeKey(head.data(), item.key());
        putUnsigned(head, item.length);
        spool_.append(head.data(), head.size());
        spool_.append(load.arena.data() + item.at, item.length);
    }
    load.items.clear();
    load.arena.clear();
    return {begin, spool_.size()};
}

void RecordSort::drain(const Visit& visit) {
    awaitRun();
    if (runs_.empty()) {
        drainMemory(visit);
    } else {
        if (!filling_.items.empty()) runs_.push_back(writeRun(filling_));
        merged_ = runs_.size();
        for (Load* load : {&filling_, &written_}) {
            release(load->arena);
            release(load->items);
        }
        drainRuns(visit);
    }
    release(filling_.arena);
    release(filling_.items);
    runs_.clear();
    spool_.clear();
}

// The two halves of the load are sorted at once, on this thread and one
// more, and merged as the records are handed over.
void RecordSort::drainMemory(const Visit& visit) {
    std::vector<Item>& items = filling_.items;
    const auto middle = items.begin() + static_cast<std::ptrdiff_t>(items.size() / 2);
    std::future<void> firstHalf =
        std::async(std::launch::async, [&items, middle] { sortItems(items.begin(), middle); });
    sortItems(middle, items.end());
    firstHalf.get();
    TvmObject record;
    for (auto a = items.begin(), b = middle; a != middle || b != items.end();) {
        const bool fromSecond = a == middle || (b != items.end() && *b < *a);
        const Item& item = fromSecond ? *b++ : *a++;
        const ObjectClass cls = decodeRecord(filling_.arena.data() + item.at, record);
        visit(item.key(), cls, std::move(record));
    }
}

void RecordSort::drainRuns(const Visit& visit) {
    std::vector<RunReader> readers;
    readers.reserve(runs_.size());
    // The readers share the sort's memory.
    const std::size_t buffer = static_cast<std::size_t>(
        std::clamp<uint64_t>(share_ / runs_.size(), kMinReadBuffer, kMaxReadBuffer));
    for (const Span& run : runs_) readers.emplace_back(spool_, run, buffer);
    const auto after = [&readers](std::size_t a, std::size_t b) {
        return readers[b].key() < readers[a].key();
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(after)> heap(after);
    for (std::size_t i = 0; i < readers.size(); ++i)
        if (readers[i].next()) heap.push(i);
    TvmObject record;
    while (!heap.empty()) {
        const std::size_t i = heap.top();
        heap.pop();
        const ObjectClass cls = decodeRecord(readers[i].record(), record);
        visit(readers[i].key(), cls, std::move(record));
        if (readers[i].next()) heap.push(i);
    }
}

} // namespace tevo::tvmc
