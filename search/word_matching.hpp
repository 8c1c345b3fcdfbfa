// Whether the typed words can each take a different word of an entry: a
// matching of the typed words into the words of the name and the town,
// found by augmenting paths. Exact, unlike taking words greedily, so that a
// typed word lengthened never lets an entry match that did not before.
#pragma once

#include "search/name_index.hpp"

#include <bitset>
#include <cstddef>
#include <cstdint>

namespace tevo::search {

class WordMatching {
public:
    static constexpr std::size_t kMaxTyped = 8;
    static constexpr std::size_t kMaxWords = 2 * tvn::kMaxWordsPerName;

    // The words to choose from: the name's, then (possibly none) the town's,
    // each list ascending.
    void setWords(const uint32_t* name, uint32_t nameCount, const uint32_t* town,
                  uint32_t townCount);
    // Where the typed word's range lies among the words.
    void setTyped(std::size_t i, const WordRange& range);
    bool inName(std::size_t i) const { return spans_[i][0].from < spans_[i][0].to; }
    // Whether typed words 0 to count - 1 can each take a different word.
    bool possible(std::size_t count);

private:
    struct Span {
        uint32_t from = 0, to = 0; // positions among the words
    };
    bool augment(std::size_t typed);

    const uint32_t* lists_[2] = {nullptr, nullptr};
    uint32_t counts_[2] = {0, 0};
    Span spans_[kMaxTyped][2];
    int8_t owner_[kMaxWords];
    std::bitset<kMaxWords> visited_;
};

} // namespace tevo::search
