#include "map/map_file.hpp"
#include "map/overlap.hpp"
#include "map/tvm_writer.hpp"
#include "map_test_util.hpp"
#include "platform/message_box.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace tevo {
namespace {

using namespace test;

TEST(OverlapsRect, AnswersOneForMissAndTwoForOverlap) {
    struct Case {
        const char* what;
        Footprint fp;
        int expected;
    };
    const Case cases[] = {
        {"wholly left", Footprint(-5, 0, -1, 1), kNoOverlap},
        {"wholly above", Footprint(0, 3, 1, 4), kNoOverlap},
        {"inside", Footprint(0.2f, 0.2f, 0.8f, 0.8f), kOverlap},
        {"covers the rectangle", Footprint(-10, -10, 10, 10), kOverlap},
        {"crosses one corner", Footprint(0.9f, 0.9f, 3, 3), kOverlap},
        {"touches an edge", Footprint(1, 0, 2, 1), kOverlap},
        {"diamond whose box covers the corner but not the rectangle",
         Footprint({1.6f, 0.6f}, {2.6f, 1.6f}, {1.6f, 2.6f}, {0.6f, 1.6f}), kNoOverlap},
        {"rotated footprint over the rectangle",
         Footprint({0.5f, -1}, {2, 0.5f}, {0.5f, 2}, {-1, 0.5f}), kOverlap},
    };
    for (const Case& c : cases) EXPECT_EQ(overlapsRect(c.fp.p, 0, 0, 1, 1), c.expected) << c.what;
}

// A 6 x 4 grid of 1-degree cells at columns 10..15, rows 50..53, with the cell
// (12, 51) missing.
class BlockCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        setMessageBoxesDrawn(false);
        std::vector<std::pair<int, int>> cells;
        for (int r = 50; r < 54; ++r)
            for (int c = 10; c < 16; ++c)
                if (!(c == 12 && r == 51)) cells.push_back({c, r});
        std::vector<TvmIndexBlock> index = {degreeCells(cells), TvmIndexBlock{0, 900, {}}};
        index[1].blocks.push_back(poiCell(4 * 30, 4 * 20, 1440, 0.25));
        ASSERT_TRUE(openBytes(map, encodeTvm(u"grid", index), "grid.tvm"));
        degrees = map.levels()[1].get();
        quarter = map.levels()[0].get();
        ASSERT_EQ(degrees->cellSeconds(), 3600u);
    }

    cIndexBlock& grid() { return *degrees->indexBlocks()[0]; }

    static std::vector<int32_t> keys(std::initializer_list<std::pair<int, int>> cells) {
        std::vector<int32_t> k;
        for (auto [c, r] : cells) k.push_back(r * 360 + c);
        std::sort(k.begin(), k.end());
        return k;
    }

    cMapFile map;
    cMapLevel* degrees = nullptr;
    cMapLevel* quarter = nullptr;
};

TEST_F(BlockCacheTest, PanningOneColumnKeepsTheSharedBlocks) {
    Footprint first(10.5f, 50.5f, 12.5f, 52.5f);
    ASSERT_EQ(map.selectLevel(degrees, first.p), degrees);
    EXPECT_EQ(
        loadedKeys(grid()),
        keys({{10, 50}, {11, 50}, {12, 50}, {10, 51}, {11, 51}, {10, 52}, {11, 52}, {12, 52}}));
    std::map<int32_t, const cBlockObjects*> before;
    for (const auto& b : grid().loaded()) before[b->key] = b.get();
    const uint64_t reads = grid().blockReads();

    Footprint second(11.5f, 50.5f, 13.5f, 52.5f);
    map.selectLevel(degrees, second.p);
    EXPECT_EQ(
        loadedKeys(grid()),
        keys({{11, 50}, {12, 50}, {13, 50}, {11, 51}, {13, 51}, {11, 52}, {12, 52}, {13, 52}}));
    EXPECT_EQ(grid().blockReads(), reads + 3); // only column 13 is read
    for (const auto& b : grid().loaded()) {
        if (before.count(b->key)) {
            EXPECT_EQ(before[b->key], b.get()) << b->key;
        }
    }
    // The slots of the current list name the loaded blocks.
    for (const KeySlot& ks : grid().currentKeys()) EXPECT_EQ(grid().loaded()[ks.slot]->key, ks.key);
}

TEST_F(BlockCacheTest, AFootprintOutsideTheCellRangeFlushes) {
    Footprint inside(10.5f, 50.5f, 11.5f, 51.5f);
    map.selectLevel(degrees, inside.p);
    ASSERT_FALSE(grid().loaded().empty());
    Footprint outside(20, 50, 21, 51);
    map.selectLevel(degrees, outside.p);
    EXPECT_TRUE(grid().loaded().empty());
    EXPECT_TRUE(grid().currentKeys().empty());
}

TEST_F(BlockCacheTest, AFootprintMissingTheIntersectionFlushes) {
    Footprint inside(10.5f, 50.5f, 11.5f, 51.5f);
    map.selectLevel(degrees, inside.p);
    ASSERT_FALSE(grid().loaded().empty());
    // Its box meets the corner cell (15, 53), the diamond itself does not.
    Footprint diamond({17, 53.7f}, {18.3f, 55}, {17, 56.3f}, {15.7f, 55});
    map.selectLevel(degrees, diamond.p);
    EXPECT_TRUE(grid().loaded().empty());
}

TEST_F(BlockCacheTest, AMissingCellIsNotAnError) {
    Footprint hole(12.2f, 51.2f, 12.8f, 51.8f);
    EXPECT_FALSE(grid().hasVisibleCells(hole.p));
    EXPECT_EQ(grid().visibleRange(), (CellRange{12, 51, 12, 51}));
    ::testing::internal::CaptureStderr();
    map.selectLevel(degrees, hole.p);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(grid().loaded().empty());
}

TEST_F(BlockCacheTest, ALevelWithoutVisibleCellsKeepsTheCurrentOne) {
    Footprint view(10.5f, 50.5f, 11.5f, 51.5f);
    ASSERT_EQ(map.selectLevel(degrees, view.p), degrees);
    const cBlockObjects* kept = grid().loaded()[0];
    EXPECT_EQ(map.selectLevel(quarter, view.p), degrees);
    EXPECT_EQ(grid().loaded()[0], kept);
    // A level that shows something is switched to, and the old one flushed.
    Footprint atQuarter(30.1f, 20.1f, 30.2f, 20.2f);
    EXPECT_EQ(map.selectLevel(quarter, atQuarter.p), quarter);
    EXPECT_TRUE(grid().loaded().empty());
    EXPECT_EQ(quarter->indexBlocks()[0]->loaded().size(), 1);
    EXPECT_EQ(map.selectLevel(nullptr, atQuarter.p), quarter);
}

TEST_F(BlockCacheTest, TheFirstLevelIsTakenEvenWithoutVisibleCells) {
    Footprint nowhere(100, 0, 101, 1);
    EXPECT_EQ(map.selectLevel(degrees, nowhere.p), degrees);
    EXPECT_TRUE(grid().loaded().empty());
}

// Whatever the footprints, the cache holds exactly the existing cells whose
// extent the footprint overlaps, and a cell that stays is never read again.
TEST_F(BlockCacheTest, RandomFootprintsKeepTheCacheExact) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(8, 18), posY(48, 56), size(0.1f, 3), angle(0, 6.3f);
    std::map<int32_t, const cBlockObjects*> previous;
    uint64_t reads = grid().blockReads();
    map.selectLevel(degrees, Footprint(0, 0, 0.1f, 0.1f).p);
    for (int step = 0; step < 400; ++step) {
        const float cx = pos(rng), cy = posY(rng), w = size(rng), h = size(rng), a = angle(rng);
        const float c = std::cos(a), s = std::sin(a);
        PointF fp[4];
        const float dx[4] = {-w, w, w, -w}, dy[4] = {-h, -h, h, h};
        for (int i = 0; i < 4; ++i)
            fp[i] = {cx + dx[i] * c - dy[i] * s, cy + dx[i] * s + dy[i] * c};
        map.selectLevel(degrees, fp);
        std::vector<int32_t> expected;
        for (const IndexEntry& e : grid().entries()) {
            const Cell cell = cellOfKey(e.key, 360);
            if (overlapsRect(fp, cell.col, cell.row, cell.col + 1, cell.row + 1) == kOverlap)
                expected.push_back(e.key);
        }
        ASSERT_EQ(loadedKeys(grid()), expected) << "step " << step;
        std::map<int32_t, const cBlockObjects*> now;
        uint64_t fresh = 0;
        for (const auto& b : grid().loaded()) {
            now[b->key] = b.get();
            if (!previous.count(b->key)) {
                ++fresh;
                continue;
            }
            EXPECT_EQ(previous[b->key], b.get());
        }
        EXPECT_EQ(grid().blockReads(), reads + fresh);
        reads = grid().blockReads();
        previous = now;
    }
}

} // namespace
} // namespace tevo
