#include "tools/tvmc/road_graph/spatial_index.hpp"

#include <algorithm>
#include <cstdint>

namespace tevo::tvmc {

namespace {

constexpr tvr::Box kEmpty{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};

void grow(tvr::Box& b, const tvr::Coord& c) {
    b = {std::min(b.minLon, c.lon), std::min(b.minLat, c.lat), std::max(b.maxLon, c.lon),
         std::max(b.maxLat, c.lat)};
}

void grow(tvr::Box& b, const tvr::Box& o) {
    b = {std::min(b.minLon, o.minLon), std::min(b.minLat, o.minLat), std::max(b.maxLon, o.maxLon),
         std::max(b.maxLat, o.maxLat)};
}

} // namespace

std::vector<tvr::Box> buildIndexBoxes(const RoadNetwork& net) {
    std::vector<tvr::Box> boxes;
    const uint64_t edges = net.edges.size();
    if (edges == 0) return boxes;
    boxes.reserve(tvr::indexBoxCount(edges));
    uint64_t below = edges, belowStart = 0;
    tvr::forEachIndexLevel(edges, [&](uint64_t count) {
        const uint64_t start = boxes.size();
        for (uint64_t i = 0; i < count; ++i) {
            tvr::Box b = kEmpty;
            const uint64_t end = std::min(below, (i + 1) * tvr::kIndexFanout);
            for (uint64_t c = i * tvr::kIndexFanout; c < end; ++c) {
                if (start > 0) {
                    grow(b, boxes[belowStart + c]);
                    continue;
                }
                const tvr::Edge& e = net.edges[c];
                grow(b, net.junctions[e.from]);
                grow(b, net.junctions[e.to]);
                for (uint32_t p = net.pointFirst[c]; p < net.pointFirst[c + 1]; ++p)
                    grow(b, net.points[p]);
            }
            boxes.push_back(b);
        }
        below = count;
        belowStart = start;
    });
    return boxes;
}

} // namespace tevo::tvmc
