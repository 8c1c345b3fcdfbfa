// The files of the program folder: the style and levels files of data/ and
// the demonstration map that tvmc compiles into the program folder.
#include "config/levels_xml.hpp"
#include "map/map_file.hpp"
#include "map/map_style.hpp"
#include "map/overlap.hpp"
#include "map_test_util.hpp"
#include "platform/message_box.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace tevo {
namespace {

TEST(RealData, StyleFileOfTheProgramFolder) {
    cMapStyle style;
    ASSERT_TRUE(style.load(std::string(TEVO_SOURCE_DIR) + "/data/tevo.skn"));
    EXPECT_GT(style.lineStyle(1).width, 0);
    EXPECT_NE(style.areaStyle(kBackgroundAreaType).colour, 0);
}

TEST(RealData, LevelsFileOfTheProgramFolder) {
    cLevelsXML levels;
    ASSERT_TRUE(levels.parse(std::string(TEVO_SOURCE_DIR) + "/data/levels.xml"));
    EXPECT_GT(levels.maxPriority(), 0);
    EXPECT_FALSE(levels.poiTypes().empty());
    EXPECT_FALSE(levels.polylineTypes().empty());
    EXPECT_FALSE(levels.polygonTypes().empty());
}

// Every block of the compiled map reads, and the cache stays exact while a
// view wanders over each level.
TEST(RealData, DemonstrationMapReadsAndCaches) {
    const std::string path = std::string(TEVO_DIST_DIR) + "/map.tvm";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no compiled map at " << path;
    setMessageBoxesDrawn(false);
    cMapFile map;
    ASSERT_TRUE(map.open(test::widePath(path)));
    ASSERT_TRUE(map.hasStartRect());
    ASSERT_FALSE(map.levels().empty());
    std::mt19937 rng(3);
    for (const auto& level : map.levels()) {
        for (const auto& ib : level->indexBlocks())
            for (const IndexEntry& e : ib->entries()) EXPECT_TRUE(ib->lookupBlock(e.key)) << e.key;
        const BoundsF ext = level->extent();
        const float f = level->cellSize();
        std::uniform_real_distribution<float> x(ext.minX - f, ext.maxX + f),
            y(ext.minY - f, ext.maxY + f);
        for (int step = 0; step < 50; ++step) {
            const float cx = x(rng), cy = y(rng);
            const test::Footprint fp(cx - f, cy - 0.7f * f, cx + 1.3f * f, cy + f);
            map.selectLevel(level.get(), fp.p);
            for (const auto& ib : level->indexBlocks()) {
                std::vector<int32_t> expected;
                for (const IndexEntry& e : ib->entries()) {
                    const Cell c = cellOfKey(e.key, ib->columns());
                    if (overlaps(fp.p, cellExtent({c.col, c.row, c.col, c.row}, f)))
                        expected.push_back(e.key);
                }
                EXPECT_EQ(test::loadedKeys(*ib), expected);
            }
        }
    }
}

} // namespace
} // namespace tevo
