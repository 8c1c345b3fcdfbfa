#include "fuzz/map_walk.hpp"

#include <cmath>
#include <set>

namespace tevo::fuzz {

namespace {

// SplitMix64: footprints follow from the seed alone.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, 1).
    float unit() { return static_cast<float>(next() >> 40) / static_cast<float>(1 << 24); }
};

// Footprint half-sizes range over 2^-6 to 2^17 cells.
constexpr int kSmallestScale = -6;
constexpr int kScales = 24;
// One footprint in eight lies anywhere within this many degrees of the origin.
constexpr float kFarDegrees = 1000.0f;
constexpr float kTwoPi = 6.2831853f;

int64_t touch(const cBlockObjects& block) {
    int64_t sum = block.key;
    for (const auto& poi : block.pois)
        sum += int64_t{poi->x} + poi->y + static_cast<int64_t>(poi->name.size());
    for (const auto* list : {&block.polylines, &block.polygons, &block.upperPolygons})
        for (const auto& line : *list)
            for (const MapPoint& p : line->points) sum += p.x ^ p.y;
    return sum;
}

void makeFootprint(Random& random, const cMapLevel& level, PointF out[4]) {
    const BoundsF& e = level.extent();
    float cx = e.minX + (e.maxX - e.minX) * random.unit();
    float cy = e.minY + (e.maxY - e.minY) * random.unit();
    if (random.next() % 8 == 0) {
        cx = (random.unit() - 0.5f) * kFarDegrees;
        cy = (random.unit() - 0.5f) * kFarDegrees;
    }
    const int scale = static_cast<int>(random.next() % kScales) + kSmallestScale;
    const float half = level.cellSize() * std::ldexp(random.unit(), scale);
    const float turn = random.unit() * kTwoPi;
    const float c = std::cos(turn) * half, s = std::sin(turn) * half;
    out[0] = {cx - c + s, cy - s - c};
    out[1] = {cx + c + s, cy + s - c};
    out[2] = {cx + c - s, cy + s + c};
    out[3] = {cx - c - s, cy - s + c};
}

// Whatever the cache holds after an update, each cell is there once.
void checkLoaded(const cMapLevel& level) {
    for (const auto& index : level.indexBlocks()) {
        std::set<int32_t> keys;
        for (const auto& block : index->loaded())
            if (!keys.insert(block->key).second) __builtin_trap();
    }
}

} // namespace

int64_t readEveryBlock(cMapFile& map) {
    int64_t sum = 0;
    for (const auto& level : map.levels())
        for (const auto& index : level->indexBlocks())
            for (const IndexEntry& entry : index->entries())
                if (auto block = index->lookupBlock(entry.key)) sum += touch(*block);
    return sum;
}

int64_t walkCache(cMapFile& map, uint64_t seed, int steps) {
    if (map.levels().empty()) return 0;
    Random random{seed};
    int64_t sum = 0;
    for (int step = 0; step < steps; ++step) {
        const auto& levels = map.levels();
        cMapLevel* wanted = levels[random.next() % levels.size()].get();
        PointF footprint[4];
        makeFootprint(random, *wanted, footprint);
        cMapLevel* shown = map.selectLevel(wanted, footprint);
        if (shown == nullptr) continue;
        checkLoaded(*shown);
        for (const auto& index : shown->indexBlocks())
            for (const auto& block : index->loaded()) sum += touch(*block);
    }
    return sum;
}

} // namespace tevo::fuzz
