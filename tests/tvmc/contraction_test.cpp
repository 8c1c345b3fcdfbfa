// The contraction gives one hierarchy whatever the number of threads that
// judge its witness searches: a street grid with one-way streets and banned
// turns, contracted on one thread and on four.
#include "tools/tvmc/road_graph/contraction.hpp"
#include "tvmc/tvmc_helpers.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tevo::tvmc {
namespace {

RoadCollection streetGrid(int n, unsigned seed) {
    std::mt19937 random(seed);
    RoadCollection roads;
    auto addWay = [&](int64_t id, auto nodeAt) {
        CollectedWay way{id, static_cast<uint32_t>(roads.nodeIds.size()), uint32_t(n)};
        way.kmh = float(20 + random() % 6 * 10);
        way.forward = random() % 5 != 0;
        way.backward = !way.forward || random() % 5 != 0;
        for (int i = 0; i < n; ++i) {
            const auto [row, column] = nodeAt(i);
            roads.nodeIds.push_back(row * n + column + 1);
            roads.coords.push_back({int32_t(column * 10000 + row * 37 % 900),
                                    int32_t(row * 10000 + column * 53 % 700)});
        }
        roads.ways.push_back(way);
    };
    for (int k = 0; k < n; ++k) {
        addWay(k + 1, [k](int i) { return std::pair{k, i}; });
        addWay(n + k + 1, [k](int i) { return std::pair{i, k}; });
    }
    for (int k = 0; k < n * n / 8; ++k) { // from a row into a column where they cross
        const int row = random() % n, column = random() % n;
        roads.restrictions.push_back({row * n + column + 1, uint32_t(2 * k), 1, 1, k % 7 == 0});
        roads.restrictionWays.insert(roads.restrictionWays.end(), {row + 1, n + column + 1});
    }
    return roads;
}

TEST(Contraction, SameHierarchyOnAnyNumberOfThreads) {
    test::TempDir folder;
    ScratchSpace scratch(folder.path());
    std::vector<RoadNetwork> nets;
    for (unsigned helpers : {0u, 3u}) {
        RestrictionStats stats;
        nets.push_back(buildNetwork(streetGrid(24, 7), stats));
        contractNetwork(nets.back(), scratch, uint64_t{1} << 30, nullptr, helpers);
    }
    ASSERT_EQ(nets[0].junctions.size(), 24u * 24u);
    EXPECT_GT(nets[0].bans.size(), 24u);
    EXPECT_EQ(nets[0].ranks, nets[1].ranks);
    EXPECT_EQ(nets[0].shortcutFirst, nets[1].shortcutFirst);
    ASSERT_EQ(nets[0].shortcuts.size(), nets[1].shortcuts.size());
    EXPECT_EQ(std::memcmp(nets[0].shortcuts.data(), nets[1].shortcuts.data(),
                          nets[0].shortcuts.size() * sizeof(tvr::Shortcut)),
              0);
}

} // namespace
} // namespace tevo::tvmc
