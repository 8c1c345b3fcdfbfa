#include "tools/tvmc/name_index/address_marks.hpp"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tevo::tvmc {

namespace {

// About 1.1 km northward.
constexpr double kCellUnits = 0.01 * kUnitsPerDegree;
// A long way looks at the cells around its middle only.
constexpr int32_t kMaxCellsAcross = 16;
constexpr std::size_t kFirstCompaction = 1 << 16;

int32_t cellOf(int32_t units) {
    return static_cast<int32_t>(std::floor(units / kCellUnits));
}

} // namespace

void AddressMarks::add(uint32_t street, uint32_t city, TvmPoint at) {
    marks_.push_back({street, city, cellOf(at.x), cellOf(at.y), 1});
    if (marks_.size() >= std::max(kFirstCompaction, 2 * compacted_)) compact();
}

void AddressMarks::compact() {
    auto key = [](const Mark& m) { return std::tie(m.street, m.cx, m.cy, m.city); };
    std::sort(marks_.begin(), marks_.end(),
              [&](const Mark& a, const Mark& b) { return key(a) < key(b); });
    std::size_t out = 0;
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        if (out > 0 && key(marks_[out - 1]) == key(marks_[i]))
            marks_[out - 1].count += marks_[i].count;
        else
            marks_[out++] = marks_[i];
    }
    marks_.resize(out);
    marks_.shrink_to_fit();
    compacted_ = out;
}

std::vector<std::pair<uint32_t, uint32_t>> AddressMarks::townsNear(uint32_t street,
                                                                   const UnitRect& box) {
    if (compacted_ != marks_.size()) compact();
    // The cells of the box and those around it.
    auto span = [](int32_t from, int32_t to, int32_t& lo, int32_t& hi) {
        lo = cellOf(from) - 1;
        hi = cellOf(to) + 1;
        if (hi - lo <= kMaxCellsAcross) return;
        const int32_t middle = lo + (hi - lo) / 2;
        lo = middle - 1;
        hi = middle + 1;
    };
    int32_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    span(box.x0, box.x1, x0, x1);
    span(box.y0, box.y1, y0, y1);
    std::vector<std::pair<uint32_t, uint32_t>> counts; // town, addresses
    for (int32_t cx = x0; cx <= x1; ++cx) {
        for (int32_t cy = y0; cy <= y1; ++cy) {
            const Mark probe{street, 0, cx, cy, 0};
            auto at = std::lower_bound(marks_.begin(), marks_.end(), probe,
                                       [](const Mark& a, const Mark& b) {
                                           return std::tie(a.street, a.cx, a.cy, a.city) <
                                                  std::tie(b.street, b.cx, b.cy, b.city);
                                       });
            for (; at != marks_.end() && at->street == street && at->cx == cx && at->cy == cy;
                 ++at) {
                auto c = std::find_if(counts.begin(), counts.end(),
                                      [&](const auto& p) { return p.first == at->city; });
                if (c == counts.end())
                    counts.push_back({at->city, at->count});
                else
                    c->second += at->count;
            }
        }
    }
    return counts;
}

} // namespace tevo::tvmc
