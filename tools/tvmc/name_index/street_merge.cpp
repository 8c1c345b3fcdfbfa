#include "tools/tvmc/name_index/street_merge.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>
#include <tuple>

namespace tevo::tvmc {

namespace {

class UnionFind {
public:
    explicit UnionFind(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), 0); }
    uint32_t root(uint32_t i) {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void join(uint32_t a, uint32_t b) { parent_[root(a)] = root(b); }

private:
    std::vector<uint32_t> parent_;
};

double eastScale(int32_t y) {
    return std::cos(y / kUnitsPerDegree * M_PI / 180.0);
}

// The gap in map units: northward, and eastward at the piece's latitude.
struct Gap {
    double north, east;
};
Gap gapAt(int32_t y) {
    const double north = kStreetGapMetres / kMetresPerMapUnit;
    return {north, north / std::max(eastScale(y), 0.05)};
}

bool near(const UnitRect& a, const UnitRect& b, Gap gap) {
    return b.x0 <= a.x1 + gap.east && a.x0 <= b.x1 + gap.east && b.y0 <= a.y1 + gap.north &&
           a.y0 <= b.y1 + gap.north;
}

// Joins the pieces of one name and town (sorted by west edge) that lie
// within the gap of each other: a sweep from west to east.
void joinNear(std::span<const uint32_t> group, const std::vector<StreetPiece>& pieces,
              UnionFind& sets) {
    std::vector<uint32_t> open;
    for (uint32_t i : group) {
        const StreetPiece& p = pieces[i];
        const Gap gap = gapAt(p.middle.y);
        std::erase_if(open, [&](uint32_t j) { return pieces[j].box.x1 + gap.east < p.box.x0; });
        for (uint32_t j : open)
            if (near(pieces[j].box, p.box, gap)) sets.join(i, j);
        open.push_back(i);
    }
}

// The entry of a street of several pieces: at the middle of the piece
// nearest the middle of their bounds.
NamedPoint entryOf(std::span<const uint32_t> members, const std::vector<StreetPiece>& pieces) {
    UnitRect box = pieces[members[0]].box;
    for (uint32_t i : members) {
        const UnitRect& b = pieces[i].box;
        box = {std::min(box.x0, b.x0), std::min(box.y0, b.y0), std::max(box.x1, b.x1),
               std::max(box.y1, b.y1)};
    }
    const double cx = (static_cast<double>(box.x0) + box.x1) / 2;
    const double cy = (static_cast<double>(box.y0) + box.y1) / 2;
    const double east = eastScale(static_cast<int32_t>(cy));
    // Of equally near pieces the one farthest south-west, whatever the
    // order of the input.
    auto away = [&](uint32_t i) {
        const TvmPoint m = pieces[i].middle;
        return std::tuple(std::hypot((m.x - cx) * east, m.y - cy), m.x, m.y);
    };
    const uint32_t best = *std::min_element(
        members.begin(), members.end(), [&](uint32_t a, uint32_t b) { return away(a) < away(b); });
    const StreetPiece& p = pieces[best];
    return {p.name, kNoName, p.town, p.middle, p.type, search::NameKind::Street, 0};
}

} // namespace

void mergeStreets(const std::vector<StreetPiece>& pieces, std::vector<NamedPoint>& out) {
    std::vector<uint32_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    auto key = [&pieces](uint32_t i) {
        return std::tuple(pieces[i].name, pieces[i].town, pieces[i].box.x0, i);
    };
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
    UnionFind sets(pieces.size());
    std::vector<uint32_t> members;
    for (std::size_t from = 0; from < order.size();) {
        std::size_t to = from + 1;
        while (to < order.size() && pieces[order[to]].name == pieces[order[from]].name &&
               pieces[order[to]].town == pieces[order[from]].town)
            ++to;
        const std::span<const uint32_t> group(order.data() + from, to - from);
        joinNear(group, pieces, sets);
        // Each set of the group: its members side by side.
        members.assign(group.begin(), group.end());
        std::stable_sort(members.begin(), members.end(),
                         [&](uint32_t a, uint32_t b) { return sets.root(a) < sets.root(b); });
        for (std::size_t k = 0; k < members.size();) {
            std::size_t end = k + 1;
            while (end < members.size() && sets.root(members[end]) == sets.root(members[k])) ++end;
            out.push_back(entryOf({members.data() + k, end - k}, pieces));
            k = end;
        }
        from = to;
    }
}

} // namespace tevo::tvmc
