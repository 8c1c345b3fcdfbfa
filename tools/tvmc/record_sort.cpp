#include "tools/tvmc/record_sort.hpp"

#include "tools/tvmc/release.hpp"
#include "tools/tvmc/varint.hpp"

#include <algorithm>
#include <cstring>
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
    if (arena_.capacity() == 0) {
        // Reserved whole, so that growing never holds a load twice; only
        // the pages written to take memory.
        arena_.reserve(static_cast<std::size_t>(load) + kMaxRecordBytes);
        items_.reserve(static_cast<std::size_t>(load / sizeof(Item)) + 1);
    }
    const std::size_t at = arena_.size();
    encodeRecord(arena_, cls, record);
    items_.push_back({key, static_cast<uint32_t>(at), static_cast<uint32_t>(arena_.size() - at)});
    ++records_;
    if (arena_.size() + items_.size() * sizeof(Item) >= load) writeRun();
}

// A sort that fits its share never touches the disk, the fastest way. Once
// it has had to, a run more costs the merge little (at 50 million objects 28
// runs instead of 7 cost nothing measurable), so the later loads take an
// eighth of the share and leave the rest to the stores that grow beside
// it. So does the first when the input is known to be too large for one
// load: it fills while the node locations are held too.
uint64_t RecordSort::loadBytes() const {
    return runs_.empty() && !largeInput_ ? share_ : share_ / 8;
}

void RecordSort::sortLoad() {
    std::sort(items_.begin(), items_.end(),
              [](const Item& a, const Item& b) { return a.key < b.key; });
}

// Sorts the load and appends it to the spool as a run: per record the key,
// the length of its bytes and the bytes.
void RecordSort::writeRun() {
    if (items_.empty()) return;
    sortLoad();
    const uint64_t begin = spool_.size();
    std::vector<uint8_t> head;
    for (const Item& item : items_) {
        head.resize(kKeyBytes);
        encodeKey(head.data(), item.key);
        putUnsigned(head, item.length);
        spool_.append(head.data(), head.size());
        spool_.append(arena_.data() + item.at, item.length);
    }
    if (runs_.empty()) {
        // The first load is let go whole: the next ones are smaller.
        release(arena_);
        release(items_);
    }
    runs_.push_back({begin, spool_.size()});
    items_.clear();
    arena_.clear();
}

void RecordSort::drain(const Visit& visit) {
    if (runs_.empty()) {
        drainMemory(visit);
    } else {
        writeRun();
        merged_ = runs_.size();
        release(arena_);
        release(items_);
        drainRuns(visit);
    }
    release(arena_);
    release(items_);
    runs_.clear();
    spool_.clear();
}

void RecordSort::drainMemory(const Visit& visit) {
    sortLoad();
    TvmObject record;
    for (const Item& item : items_) {
        const ObjectClass cls = decodeRecord(arena_.data() + item.at, record);
        visit(item.key, cls, std::move(record));
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
