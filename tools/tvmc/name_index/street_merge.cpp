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

// Calls f(set) for each set of pieces that lie within the gap of each
// other and agree in name and, when `byTown`, in town; each set's members
// ascending by root, then by west edge.
template <typename F>
void forEachStreet(const std::vector<StreetPiece>& pieces, bool byTown, F&& f) {
    std::vector<uint32_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    auto key = [&](uint32_t i) {
        return std::tuple(pieces[i].name, byTown ? pieces[i].town : 0, pieces[i].box.x0, i);
    };
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
    UnionFind sets(pieces.size());
    std::vector<uint32_t> members;
    for (std::size_t from = 0; from < order.size();) {
        std::size_t to = from + 1;
        while (to < order.size() && std::get<0>(key(order[to])) == std::get<0>(key(order[from])) &&
               std::get<1>(key(order[to])) == std::get<1>(key(order[from])))
            ++to;
        const std::span<const uint32_t> group(order.data() + from, to - from);
        joinNear(group, pieces, sets);
        members.assign(group.begin(), group.end());
        std::stable_sort(members.begin(), members.end(),
                         [&](uint32_t a, uint32_t b) { return sets.root(a) < sets.root(b); });
        for (std::size_t k = 0; k < members.size();) {
            std::size_t end = k + 1;
            while (end < members.size() && sets.root(members[end]) == sets.root(members[k])) ++end;
            f(std::span<const uint32_t>(members.data() + k, end - k));
            k = end;
        }
        from = to;
    }
}

// A piece of a street without a town takes that of the nearest piece of
// the same street that has one: the houses of a long street seldom all
// carry addresses.
void shareTowns(std::vector<StreetPiece>& pieces) {
    forEachStreet(pieces, false, [&](std::span<const uint32_t> street) {
        std::vector<uint32_t> known;
        for (uint32_t i : street)
            if (pieces[i].town != kNoName) known.push_back(i);
        if (known.empty() || known.size() == street.size()) return;
        for (uint32_t i : street) {
            if (pieces[i].town != kNoName) continue;
            const TvmPoint m = pieces[i].middle;
            auto away = [&](uint32_t k) {
                const TvmPoint o = pieces[k].middle;
                return std::tuple(
                    std::hypot(static_cast<double>(o.x) - m.x, static_cast<double>(o.y) - m.y), o.x,
                    o.y);
            };
            pieces[i].town =
                pieces[*std::min_element(known.begin(), known.end(), [&](uint32_t a, uint32_t b) {
                    return away(a) < away(b);
                })].town;
        }
    });
}

} // namespace

void mergeStreets(std::vector<StreetPiece>& pieces, std::vector<NamedPoint>& out) {
    shareTowns(pieces);
    forEachStreet(pieces, true, [&](std::span<const uint32_t> street) {
        out.push_back(entryOf(street, pieces));
    });
}

} // namespace tevo::tvmc
