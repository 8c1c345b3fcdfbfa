#include "search/name_index.hpp"

#include "search/text_fold.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tevo::search {

namespace {

using namespace tvn;

// Name (length byte and text) and word list at *p; false when they do not
// lie within `end`, a word number is not below `words` or the numbers do
// not rise.
bool decodeNameAndWords(const uint8_t*& p, const uint8_t* end, uint32_t words,
                        std::string_view& name, uint32_t* ids, uint32_t& count) {
    if (p == end) return false;
    const std::size_t length = *p++;
    if (static_cast<std::size_t>(end - p) < length) return false;
    name = {reinterpret_cast<const char*>(p), length};
    p += length;
    if (!readVarint(p, end, count) || count > kMaxWordsPerName) return false;
    uint32_t id = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t delta = 0;
        if (!readVarint(p, end, delta) || (i > 0 && delta == 0) || delta >= words - id)
            return false;
        ids[i] = id += delta;
    }
    return true;
}

bool decodeEntry(const uint8_t* p, const uint8_t* end, uint32_t words, uint32_t towns,
                 NameRecord& r) {
    if (end - p < static_cast<std::ptrdiff_t>(kEntryFixedSize) || p[0] >= kNameKindCount)
        return false;
    r.kind = static_cast<NameKind>(p[0]);
    r.type = readU16(p + 1);
    r.x = readI32(p + 3);
    r.y = readI32(p + 7);
    p += kEntryFixedSize;
    if (!readVarint(p, end, r.town) || r.town > towns) return false;
    return decodeNameAndWords(p, end, words, r.name, r.words, r.wordCount) && p == end;
}

bool decodeTown(const uint8_t* p, const uint8_t* end, uint32_t words, TownRecord& r) {
    return decodeNameAndWords(p, end, words, r.name, r.words, r.wordCount) && p == end;
}

// An offset table of count + 1 entries: from 0, rising, ending on `size`.
template <typename At> bool offsetsRise(uint64_t count, uint32_t size, At at) {
    if (at(0) != 0 || at(count) != size) return false;
    for (uint64_t i = 0; i < count; ++i)
        if (at(i) > at(i + 1)) return false;
    return true;
}

} // namespace

cNameIndex::~cNameIndex() {
    close();
}

void cNameIndex::close() {
    if (data_) ::munmap(const_cast<uint8_t*>(data_), static_cast<std::size_t>(size_));
    data_ = nullptr;
    townWords_.clear();
    size_ = 0;
    entries_ = words_ = towns_ = 0;
}

bool cNameIndex::open(const std::string& path, std::string* error) {
    close();
    std::string why;
    if (mapFile(path, why) && takeSections(why) && checkEntries(why) && checkWords(why) &&
        checkPostings(why) && checkTowns(why))
        return true;
    close();
    if (error) *error = path + ": not a usable name index: " + why;
    return false;
}

bool cNameIndex::mapFile(const std::string& path, std::string& why) {
    // Opened without waiting, so that a pipe or a device at the name is
    // refused instead of holding the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = "not a regular file";
        return false;
    }
    if (st.st_size < static_cast<off_t>(kHeaderSize) || st.st_size > off_t{UINT32_MAX}) {
        ::close(fd);
        why = "its size (" + std::to_string(st.st_size) + " bytes) is not that of a name index";
        return false;
    }
    void* data =
        ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (data == MAP_FAILED) {
        why = std::string("cannot map it: ") + std::strerror(errno);
        return false;
    }
    data_ = static_cast<const uint8_t*>(data);
    size_ = static_cast<uint64_t>(st.st_size);
    return true;
}

bool cNameIndex::takeSections(std::string& why) {
    if (!std::equal(kMagic.begin(), kMagic.end(), data_)) {
        why = "no name index header";
        return false;
    }
    if (readU16(data_ + kVersionAt) != kVersion || readU16(data_ + kHeaderSizeAt) != kHeaderSize) {
        why = "version " + std::to_string(readU16(data_ + kVersionAt)) + ", this program reads " +
              std::to_string(kVersion);
        return false;
    }
    entries_ = readU32(data_ + kEntryCountAt);
    words_ = readU32(data_ + kWordCountAt);
    towns_ = readU32(data_ + kTownCountAt);
    for (int i = 0; i < 4; ++i) bounds_[i] = readI32(data_ + kBoundsAt + 4 * i);
    for (std::size_t s = 0; s < kSectionCount; ++s) {
        sectionAt_[s] = readU32(data_ + sectionAt(static_cast<Section>(s)));
        sectionSize_[s] = readU32(data_ + sectionAt(static_cast<Section>(s)) + 4);
        if (sectionAt_[s] < kHeaderSize || uint64_t{sectionAt_[s]} + sectionSize_[s] > size_) {
            why = "section " + std::to_string(s) + " lies outside the file";
            return false;
        }
    }
    const bool sized = sectionSize_[kEntryOffsets] == 4 * (uint64_t{entries_} + 1) &&
                       sectionSize_[kWordTable] == kWordTableRecord * (uint64_t{words_} + 1) &&
                       sectionSize_[kTownOffsets] == 4 * (uint64_t{towns_} + 1);
    if (!sized) why = "its tables do not fit its counts";
    return sized;
}

bool cNameIndex::checkEntries(std::string& why) const {
    const auto at = [this](uint64_t i) { return tableU32(kEntryOffsets, i); };
    if (!offsetsRise(entries_, sectionSize_[kEntryRecords], at)) {
        why = "the entry offsets do not rise through the entries";
        return false;
    }
    NameRecord r;
    for (uint32_t n = 0; n < entries_; ++n) {
        if (!decodeEntry(section(kEntryRecords) + at(n), section(kEntryRecords) + at(n + 1), words_,
                         towns_, r)) {
            why = "entry " + std::to_string(n) + " is damaged";
            return false;
        }
    }
    return true;
}

bool cNameIndex::checkWords(std::string& why) const {
    const auto text = [this](uint64_t i) { return tableU32(kWordTable, 2 * i); };
    const auto post = [this](uint64_t i) { return tableU32(kWordTable, 2 * i + 1); };
    if (!offsetsRise(words_, sectionSize_[kWordTexts], text) ||
        !offsetsRise(words_, sectionSize_[kPostings], post)) {
        why = "the word table does not rise through the words";
        return false;
    }
    for (uint32_t w = 0; w < words_; ++w) {
        const std::size_t length = text(w + 1) - text(w);
        if (length == 0 || length > kMaxWordBytes || (w > 0 && word(w - 1) >= word(w))) {
            why = "word " + std::to_string(w) + " is empty, too long or out of order";
            return false;
        }
        const uint8_t* p = section(kPostings) + post(w);
        const uint8_t* end = section(kPostings) + post(w + 1);
        for (uint32_t entry = 0, delta = 0, k = 0; p < end; ++k) {
            if (!readVarint(p, end, delta) || (k > 0 && delta == 0) || delta >= entries_ - entry) {
                why = "the postings of word " + std::to_string(w) + " are damaged";
                return false;
            }
            entry += delta;
        }
    }
    return true;
}

// The postings list exactly the entries whose records hold the word: a
// search finds an entry through its words' postings and then reads its
// record, and the two must agree. Each word's postings are followed with a
// cursor while the entries are read in order.
bool cNameIndex::checkPostings(std::string& why) const {
    const uint8_t* postings = section(kPostings);
    const auto post = [this](uint64_t i) { return tableU32(kWordTable, 2 * i + 1); };
    std::vector<uint32_t> cursor(words_), last(words_, 0);
    for (uint32_t w = 0; w < words_; ++w) cursor[w] = post(w);
    NameRecord r;
    for (uint32_t n = 0; n < entries_; ++n) {
        entry(n, r);
        for (uint32_t k = 0; k < r.wordCount; ++k) {
            const uint32_t w = r.words[k];
            const uint8_t* p = postings + cursor[w];
            uint32_t delta = 0;
            const bool first = cursor[w] == post(w);
            if (!readVarint(p, postings + post(w + 1), delta) ||
                (first ? delta : last[w] + delta) != n) {
                why = "the postings of word " + std::to_string(w) + " miss entry " +
                      std::to_string(n);
                return false;
            }
            last[w] = n;
            cursor[w] = static_cast<uint32_t>(p - postings);
        }
    }
    for (uint32_t w = 0; w < words_; ++w) {
        if (cursor[w] != post(w + 1)) {
            why = "the postings of word " + std::to_string(w) + " name an entry without it";
            return false;
        }
    }
    return true;
}

// Also notes every word of a town, for townsHaveWordIn.
bool cNameIndex::checkTowns(std::string& why) {
    const auto at = [this](uint64_t i) { return tableU32(kTownOffsets, i); };
    if (!offsetsRise(towns_, sectionSize_[kTownRecords], at)) {
        why = "the town offsets do not rise through the towns";
        return false;
    }
    TownRecord r;
    for (uint32_t t = 0; t < towns_; ++t) {
        if (!decodeTown(section(kTownRecords) + at(t), section(kTownRecords) + at(t + 1), words_,
                        r)) {
            why = "town " + std::to_string(t) + " is damaged";
            return false;
        }
        townWords_.insert(townWords_.end(), r.words, r.words + r.wordCount);
    }
    std::sort(townWords_.begin(), townWords_.end());
    townWords_.erase(std::unique(townWords_.begin(), townWords_.end()), townWords_.end());
    return true;
}

bool cNameIndex::townsHaveWordIn(WordRange range) const {
    const auto at = std::lower_bound(townWords_.begin(), townWords_.end(), range.first);
    return at != townWords_.end() && *at < range.last;
}

std::string_view cNameIndex::word(uint32_t id) const {
    const uint32_t from = tableU32(kWordTable, 2 * uint64_t{id});
    const uint32_t to = tableU32(kWordTable, 2 * uint64_t{id} + 2);
    return {reinterpret_cast<const char*>(section(kWordTexts)) + from, to - from};
}

WordRange cNameIndex::wordsWithPrefix(std::string_view prefix) const {
    // Binary searches over the word numbers: the first word not below the
    // prefix, then the first after it that does not begin with it.
    uint32_t lo = 0, hi = words_;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (word(mid) < prefix)
            lo = mid + 1;
        else
            hi = mid;
    }
    WordRange range{lo, lo, kNoWord};
    hi = words_;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (word(mid).starts_with(prefix))
            lo = mid + 1;
        else
            hi = mid;
    }
    range.last = lo;
    if (!range.empty() && word(range.first) == prefix) range.exact = range.first;
    return range;
}

uint32_t cNameIndex::postingBytes(WordRange range) const {
    return tableU32(kWordTable, 2 * uint64_t{range.last} + 1) -
           tableU32(kWordTable, 2 * uint64_t{range.first} + 1);
}

void cNameIndex::entry(uint32_t n, NameRecord& out) const {
    const uint8_t* records = section(kEntryRecords);
    decodeEntry(records + tableU32(kEntryOffsets, n), records + tableU32(kEntryOffsets, n + 1),
                words_, towns_, out);
}

void cNameIndex::town(uint32_t t, TownRecord& out) const {
    const uint8_t* records = section(kTownRecords);
    decodeTown(records + tableU32(kTownOffsets, t), records + tableU32(kTownOffsets, t + 1), words_,
               out);
}

} // namespace tevo::search
