#include "search/word_matching.hpp"

#include <algorithm>

namespace tevo::search {

void WordMatching::setWords(const uint32_t* name, uint32_t nameCount, const uint32_t* town,
                            uint32_t townCount) {
    lists_[0] = name;
    counts_[0] = nameCount;
    lists_[1] = town;
    counts_[1] = townCount;
}

void WordMatching::setTyped(std::size_t i, const WordRange& range) {
    uint32_t offset = 0;
    for (int l = 0; l < 2; ++l) {
        const uint32_t* begin = lists_[l];
        const uint32_t* end = begin + counts_[l];
        const uint32_t* from = std::lower_bound(begin, end, range.first);
        const uint32_t* to = std::lower_bound(from, end, range.last);
        spans_[i][l] = {offset + static_cast<uint32_t>(from - begin),
                        offset + static_cast<uint32_t>(to - begin)};
        offset += counts_[l];
    }
}

bool WordMatching::possible(std::size_t count) {
    std::fill(owner_, owner_ + counts_[0] + counts_[1], -1);
    for (std::size_t i = 0; i < count; ++i) {
        visited_.reset();
        if (!augment(i)) return false;
    }
    return true;
}

// Finds a word for typed word `typed`, moving the words taken before along
// where one of theirs is free.
bool WordMatching::augment(std::size_t typed) {
    for (const Span& span : spans_[typed]) {
        for (uint32_t p = span.from; p < span.to; ++p) {
            if (visited_[p]) continue;
            visited_[p] = true;
            if (owner_[p] < 0 || augment(static_cast<std::size_t>(owner_[p]))) {
                owner_[p] = static_cast<int8_t>(typed);
                return true;
            }
        }
    }
    return false;
}

} // namespace tevo::search
