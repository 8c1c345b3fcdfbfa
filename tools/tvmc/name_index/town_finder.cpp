#include "tools/tvmc/name_index/town_finder.hpp"

#include "tools/tvmc/geometry.hpp"

#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace tevo::tvmc {

namespace {

constexpr uint8_t kTopRank = 4;
constexpr PlaceKind kPlaceKinds[] = {
    {"city", 4, 15000}, {"town", 3, 6000}, {"village", 2, 2500},    {"hamlet", 1, 1000},
    {"suburb", 0, 0},   {"quarter", 0, 0}, {"neighbourhood", 0, 0}, {"isolated_dwelling", 0, 0},
    {"locality", 0, 0}, {"farm", 0, 0},
};

// A map unit eastward is shorter than one northward by the cosine of the
// latitude: cells four times as wide as high hold a radius up to 75 degrees.
constexpr double kEastStretch = 4;
// Cells of place areas: about 5 km high. An area over more of them than
// this is looked at for every point instead.
constexpr double kAreaCellDegrees = 0.05;
constexpr int64_t kMaxAreaCells = 4096;

int64_t cellOf(double units, double cell) {
    return static_cast<int64_t>(std::floor(units / cell));
}

uint64_t cellKey(int64_t cx, int64_t cy) {
    return (static_cast<uint64_t>(cx) << 32) ^ static_cast<uint64_t>(cy & 0xFFFFFFFF);
}

double groundMetres(TvmPoint a, TvmPoint b) {
    const double east = std::cos((a.y + b.y) / 2.0 / kUnitsPerDegree * M_PI / 180.0);
    return std::hypot((b.x - a.x) * east, static_cast<double>(b.y - a.y)) * kMetresPerMapUnit;
}

class TownFinder {
public:
    explicit TownFinder(const NameStore& store) : store_(store) {
        for (uint32_t i = 0; i < store.points.size(); ++i) {
            const NamedPoint& p = store.points[i];
            if (p.kind == search::NameKind::Place && p.placeRank > 0) {
                const double cell = cellUnits(p.placeRank);
                nodes_[p.placeRank]
                      [cellKey(cellOf(p.at.x, cell * kEastStretch), cellOf(p.at.y, cell))]
                          .push_back(i);
            }
        }
        const double cell = kAreaCellDegrees * kUnitsPerDegree;
        for (uint32_t i = 0; i < store.placeAreas.size(); ++i) {
            const PlaceArea& a = store.placeAreas[i];
            if (a.rank == 0) continue;
            const int64_t x0 = cellOf(a.box.x0, cell), x1 = cellOf(a.box.x1, cell);
            const int64_t y0 = cellOf(a.box.y0, cell), y1 = cellOf(a.box.y1, cell);
            if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxAreaCells) {
                large_.push_back(i);
                continue;
            }
            for (int64_t x = x0; x <= x1; ++x)
                for (int64_t y = y0; y <= y1; ++y) areas_[cellKey(x, y)].push_back(i);
        }
    }

    // The town of a point from settlements of a rank above `above`.
    uint32_t townAt(TvmPoint p, uint8_t above) const {
        if (const uint32_t area = enclosingArea(p, above); area != kNoName) return area;
        return nearestNode(p, above);
    }

private:
    // Orders of equals by name, so that ties do not depend on the order of
    // the input.
    bool before(uint32_t a, uint32_t b) const {
        return store_.names.text(a) < store_.names.text(b);
    }
    bool smaller(const PlaceArea& a, const PlaceArea& b) const {
        return a.area < b.area || (a.area == b.area && before(a.name, b.name));
    }

    static double cellUnits(uint8_t rank) {
        return kPlaceKinds[kTopRank - rank].radiusMetres / kMetresPerMapUnit;
    }

    uint32_t enclosingArea(TvmPoint p, uint8_t above) const {
        const PlaceArea* best = nullptr;
        auto consider = [&](uint32_t i) {
            const PlaceArea& a = store_.placeAreas[i];
            if (a.rank <= above || (best && !smaller(a, *best))) return;
            if (p.x < a.box.x0 || p.x > a.box.x1 || p.y < a.box.y0 || p.y > a.box.y1) return;
            for (const auto& ring : a.rings)
                if (ringContains(ring, p.x, p.y)) best = &a;
        };
        const double cell = kAreaCellDegrees * kUnitsPerDegree;
        const auto at = areas_.find(cellKey(cellOf(p.x, cell), cellOf(p.y, cell)));
        if (at != areas_.end())
            for (uint32_t i : at->second) consider(i);
        for (uint32_t i : large_) consider(i);
        return best ? best->name : kNoName;
    }

    // The settlement node with the smallest distance for its radius, within it.
    uint32_t nearestNode(TvmPoint p, uint8_t above) const {
        double bestScore = 1;
        uint32_t best = kNoName;
        for (uint8_t rank = above + 1; rank <= kTopRank; ++rank) {
            const double cell = cellUnits(rank);
            const int64_t cx = cellOf(p.x, cell * kEastStretch), cy = cellOf(p.y, cell);
            for (int64_t x = cx - 1; x <= cx + 1; ++x)
                for (int64_t y = cy - 1; y <= cy + 1; ++y) {
                    const auto at = nodes_[rank].find(cellKey(x, y));
                    if (at == nodes_[rank].end()) continue;
                    for (uint32_t i : at->second) {
                        const NamedPoint& node = store_.points[i];
                        const double score =
                            groundMetres(p, node.at) / kPlaceKinds[kTopRank - rank].radiusMetres;
                        if (score < bestScore ||
                            (score == bestScore && (best == kNoName || before(node.name, best)))) {
                            bestScore = score;
                            best = node.name;
                        }
                    }
                }
        }
        return best;
    }

    const NameStore& store_;
    std::unordered_map<uint64_t, std::vector<uint32_t>> nodes_[kTopRank + 1]; // by rank
    std::unordered_map<uint64_t, std::vector<uint32_t>> areas_;
    std::vector<uint32_t> large_;
};

// The town most addresses name; of equals the first by name, so that the
// choice does not depend on the order of the input.
uint32_t mostNamed(const NameStore& store,
                   const std::vector<std::pair<uint32_t, uint32_t>>& towns) {
    uint32_t best = kNoName, most = 0;
    for (const auto& [town, count] : towns) {
        if (count > most ||
            (count == most && best != kNoName && store.names.text(town) < store.names.text(best))) {
            best = town;
            most = count;
        }
    }
    return best;
}

} // namespace

const PlaceKind* placeKind(const char* value) {
    if (!value) return nullptr;
    for (const PlaceKind& k : kPlaceKinds)
        if (std::strcmp(k.value, value) == 0) return &k;
    return nullptr;
}

void findTowns(NameStore& store) {
    const TownFinder finder(store);
    for (NamedPoint& p : store.points) {
        const uint8_t above = p.kind == search::NameKind::Place ? p.placeRank : 0;
        p.town = p.city != kNoName ? p.city : finder.townAt(p.at, above);
    }
    for (StreetPiece& s : store.pieces) {
        s.town =
            s.city != kNoName ? s.city : mostNamed(store, store.addresses.townsNear(s.name, s.box));
        if (s.town == kNoName) s.town = finder.townAt(s.middle, 0);
    }
    for (PlaceArea& a : store.placeAreas) a.town = finder.townAt(a.label, a.rank);
}

} // namespace tevo::tvmc
