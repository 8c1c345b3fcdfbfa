// A smallest-first queue whose entries have four children each instead of
// two: half the depth of a binary heap, and the children that a removal
// compares lie side by side in memory. Entries that compare equal may come
// out in any order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tevo::route {

template <typename Entry> class QuadHeap {
public:
    bool empty() const { return entries_.empty(); }
    const Entry& top() const { return entries_.front(); }
    void clear() { entries_.clear(); }

    void push(const Entry& e) {
        std::size_t i = entries_.size();
        entries_.push_back(e);
        while (i > 0) {
            const std::size_t parent = (i - 1) / 4;
            if (!(e < entries_[parent])) break;
            entries_[i] = entries_[parent];
            i = parent;
        }
        entries_[i] = e;
    }

    void pop() {
        const Entry last = entries_.back();
        entries_.pop_back();
        const std::size_t n = entries_.size();
        if (n == 0) return;
        std::size_t i = 0;
        for (std::size_t child = 1; child < n; child = 4 * i + 1) {
            std::size_t least = child;
            for (std::size_t c = child + 1; c < std::min(child + 4, n); ++c)
                if (entries_[c] < entries_[least]) least = c;
            if (!(entries_[least] < last)) break;
            entries_[i] = entries_[least];
            i = least;
        }
        entries_[i] = last;
    }

private:
    std::vector<Entry> entries_;
};

} // namespace tevo::route
