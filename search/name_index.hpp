// The name index file (map.tvn), mapped into memory and checked whole when it
// is opened: every section inside the file, every offset table rising and
// ending on its section's end, every record and every list of postings
// decoding exactly within its bounds, every number pointing inside its table,
// the words sorted, and the postings of every word listing exactly the
// entries that hold it. Queries then read it without checking again.
#pragma once

#include "search/name_kind.hpp"
#include "search/tvn_format.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tevo::search {

// Word numbers [first, last) whose words begin with a prefix; `exact` is
// the number of the word equal to it, or kNoWord.
inline constexpr uint32_t kNoWord = UINT32_MAX;
struct WordRange {
    uint32_t first = 0, last = 0;
    uint32_t exact = kNoWord;
    bool empty() const { return first == last; }
};

// One entry as stored. Words are the numbers of its name's words, ascending.
struct NameRecord {
    NameKind kind = NameKind::Poi;
    uint16_t type = 0;
    int32_t x = 0, y = 0;
    uint32_t town = 0; // 0: none; else the town's number + 1
    std::string_view name;
    uint32_t words[tvn::kMaxWordsPerName];
    uint32_t wordCount = 0;
};

struct TownRecord {
    std::string_view name;
    uint32_t words[tvn::kMaxWordsPerName];
    uint32_t wordCount = 0;
};

class cNameIndex {
public:
    cNameIndex() = default;
    ~cNameIndex();
    cNameIndex(const cNameIndex&) = delete;
    cNameIndex& operator=(const cNameIndex&) = delete;

    // Maps and checks the file. A missing, foreign or damaged file is
    // refused with one line in *error ("PATH: not a usable name index: ...").
    bool open(const std::string& path, std::string* error);
    void close();
    bool isOpen() const { return data_ != nullptr; }
    uint64_t fileSize() const { return size_; }

    uint32_t entryCount() const { return entries_; }
    uint32_t wordCount() const { return words_; }
    uint32_t townCount() const { return towns_; }
    // The bounds of the entries' positions, map units: min x, min y, max x, max y.
    const int32_t* bounds() const { return bounds_; }

    // A folded word by its number (< wordCount()).
    std::string_view word(uint32_t id) const;
    // The words that begin with a folded prefix.
    WordRange wordsWithPrefix(std::string_view folded) const;
    // Bytes of postings of the words [first, last): what walking them costs.
    uint32_t postingBytes(WordRange range) const;
    // Calls f(entry) for every entry of every word in the range, each word's
    // entries ascending (an entry with several such words comes again).
    template <typename F> void forEachPosting(WordRange range, F&& f) const;

    // Whether a word of some town lies in the range.
    bool townsHaveWordIn(WordRange range) const;

    // Entry `n` (< entryCount()) and town `t` (< townCount()).
    void entry(uint32_t n, NameRecord& out) const;
    void town(uint32_t t, TownRecord& out) const;

private:
    bool mapFile(const std::string& path, std::string& why);
    bool takeSections(std::string& why);
    bool checkEntries(std::string& why) const;
    bool checkWords(std::string& why) const;
    bool checkPostings(std::string& why) const;
    bool checkTowns(std::string& why);
    const uint8_t* section(tvn::Section s) const { return data_ + sectionAt_[s]; }
    // The i-th uint32 of a table section.
    uint32_t tableU32(tvn::Section s, uint64_t i) const { return tvn::readU32(section(s) + 4 * i); }

    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    uint32_t entries_ = 0, words_ = 0, towns_ = 0;
    int32_t bounds_[4] = {0, 0, 0, 0};
    uint32_t sectionAt_[tvn::kSectionCount] = {}, sectionSize_[tvn::kSectionCount] = {};
    std::vector<uint32_t> townWords_; // every word of a town, ascending, once
};

template <typename F> void cNameIndex::forEachPosting(WordRange range, F&& f) const {
    if (range.empty()) return;
    const uint8_t* postings = section(tvn::kPostings);
    const uint8_t* p = postings + tableU32(tvn::kWordTable, 2 * uint64_t{range.first} + 1);
    for (uint32_t w = range.first; w < range.last; ++w) {
        const uint8_t* end = postings + tableU32(tvn::kWordTable, 2 * uint64_t{w} + 3);
        uint32_t entry = 0, delta = 0;
        while (p < end && tvn::readVarint(p, end, delta)) f(entry += delta);
    }
}

} // namespace tevo::search
