#include "map/map_file.hpp"
#include "map/tvm_format.hpp"
#include "map/tvm_writer.hpp"
#include "map_test_util.hpp"
#include "platform/message_box.hpp"

#include <gtest/gtest.h>

#include <chrono>

namespace tevo {
namespace {

using namespace test;

class MapFileTest : public ::testing::Test {
protected:
    void SetUp() override { setMessageBoxesDrawn(false); }
};

std::vector<TvmIndexBlock> exampleMap() {
    TvmBlock block;
    block.key = 19837;
    block.pois.push_back({0x2F, {{6990506, 10345949}}, u""});
    return {TvmIndexBlock{0, 3600, {block}}};
}

TEST_F(MapFileTest, ExampleMapOpensAtItsStartCell) {
    const std::vector<uint8_t> bytes = encodeTvm(u"ab", exampleMap());
    ASSERT_EQ(bytes.size(), 550u);
    cMapFile map;
    BoundsF start{-9, -9, -9, -9};
    std::string messages;
    ASSERT_TRUE(openBytes(map, bytes, "example.tvm", &start, &messages));
    EXPECT_EQ(messages, "");
    EXPECT_EQ(map.name(), u"ab");
    ASSERT_EQ(map.levels().size(), 1u);
    const cMapLevel& level = *map.levels()[0];
    ASSERT_EQ(level.indexBlocks().size(), 1u);
    const cIndexBlock& ib = *level.indexBlocks()[0];
    EXPECT_EQ(ib.columns(), 360);
    EXPECT_EQ(ib.cellRange(), (CellRange{37, 55, 37, 55}));
    EXPECT_EQ(start.minX, 37.0f);
    EXPECT_EQ(start.minY, 55.0f);
    EXPECT_EQ(start.maxX, 38.0f);
    EXPECT_EQ(start.maxY, 56.0f);
    // The view's map bounds from the start rectangle.
    EXPECT_EQ(static_cast<int32_t>(start.minX * kMapUnitsPerDegree), 6897299);
    EXPECT_EQ(static_cast<int32_t>(start.maxY * kMapUnitsPerDegree), 10439156);
    ASSERT_EQ(ib.loaded().size(), 1);
    const cBlockObjects& block = *ib.loaded()[0];
    EXPECT_EQ(block.key, 19837);
    EXPECT_EQ(block.offset, 494u);
    ASSERT_EQ(block.pois.size(), 1);
    EXPECT_EQ(block.pois[0]->type, 0x2F);
    EXPECT_EQ(block.pois[0]->mark, 0);
    EXPECT_NEAR(block.pois[0]->x / kMapUnitsPerDegree, 37.5, 1 / kMapUnitsPerDegree);
    EXPECT_NEAR(block.pois[0]->y / kMapUnitsPerDegree, 55.5, 1 / kMapUnitsPerDegree);
    EXPECT_TRUE(block.pois[0]->name.empty());
}

TEST_F(MapFileTest, HeaderProblemsFailSilently) {
    std::vector<uint8_t> wrongMagic = encodeTvm(u"ab", exampleMap());
    wrongMagic[3] = 0x1B;
    std::vector<uint8_t> shortHeader(wrongMagic.begin(), wrongMagic.begin() + 400);
    shortHeader[3] = 0x1A;
    const std::vector<std::vector<uint8_t>> files = {wrongMagic, shortHeader, {}};
    for (const auto& bytes : files) {
        cMapFile map;
        std::string messages;
        EXPECT_FALSE(openBytes(map, bytes, "badheader.tvm", nullptr, &messages));
        EXPECT_EQ(messages, "");
        EXPECT_TRUE(map.levels().empty());
    }
    cMapFile map;
    EXPECT_FALSE(map.open(u"/nonexistent/map.tvm"));
}

TEST_F(MapFileTest, NoIndexBlocksOpensWithoutLevelsOrStartRectangle) {
    cMapFile map;
    BoundsF start{-9, -9, -9, -9};
    ASSERT_TRUE(openBytes(map, encodeTvm(u"empty", {}), "noindex.tvm", &start));
    EXPECT_EQ(map.name(), u"empty");
    EXPECT_TRUE(map.levels().empty());
    EXPECT_EQ(start.minX, -9.0f);
    PointF fp[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    EXPECT_EQ(map.selectLevel(nullptr, fp), nullptr);
}

TEST_F(MapFileTest, LevelsGroupEqualCellSizesInAscendingOrder) {
    auto at = [](uint32_t seconds, std::vector<TvmBlock> blocks) {
        return TvmIndexBlock{0, seconds, std::move(blocks)};
    };
    const std::vector<TvmIndexBlock> index = {
        at(3600, {poiCell(10, 50, 360, 1), poiCell(11, 50, 360, 1)}),
        at(900, {poiCell(40, 200, 1440, 0.25)}),
        at(3600, {poiCell(20, 40, 360, 1)}),
        at(3600, {}), // no cells: does not stretch the level to cell -1
        at(36000, {poiCell(1, 5, 36, 10)}),
    };
    cMapFile map;
    ASSERT_TRUE(openBytes(map, encodeTvm(u"m", index), "levels.tvm"));
    ASSERT_EQ(map.levels().size(), 3u);
    EXPECT_EQ(map.levels()[0]->cellSeconds(), 900u);
    EXPECT_EQ(map.levels()[1]->cellSeconds(), 3600u);
    EXPECT_EQ(map.levels()[2]->cellSeconds(), 36000u);
    const cMapLevel& degree = *map.levels()[1];
    ASSERT_EQ(degree.indexBlocks().size(), 3u);
    EXPECT_EQ(degree.indexBlocks()[0]->cellRange(), (CellRange{10, 50, 11, 50}));
    EXPECT_EQ(degree.cellRange(), (CellRange{10, 40, 20, 50}));
    EXPECT_EQ(degree.extent().minX, 10.0f);
    EXPECT_EQ(degree.extent().minY, 40.0f);
    EXPECT_EQ(degree.extent().maxX, 21.0f);
    EXPECT_EQ(degree.extent().maxY, 51.0f);
    EXPECT_EQ(map.levels()[0]->indexBlocks()[0]->extent().minX, 10.0f);
    // Only the last index block of the file loads its start cell.
    EXPECT_TRUE(degree.indexBlocks()[0]->loaded().empty());
    EXPECT_EQ(map.levels()[2]->indexBlocks()[0]->loaded().size(), 1);
}

// Every index block of its own cell size makes a level of its own; filing
// them must not re-sort the levels at every one.
TEST_F(MapFileTest, ManyCellSizesOpenQuicklyInAscendingOrder) {
    constexpr uint32_t kSizes = 30000;
    std::vector<TvmIndexBlock> index;
    for (uint32_t i = 0; i < kSizes; ++i) index.push_back(TvmIndexBlock{0, kSizes - i, {}});
    const std::vector<uint8_t> bytes = encodeTvm(u"m", index);
    cMapFile map;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(openBytes(map, bytes, "sizes.tvm"));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ASSERT_EQ(map.levels().size(), kSizes);
    for (uint32_t i = 0; i < kSizes; ++i) ASSERT_EQ(map.levels()[i]->cellSeconds(), i + 1);
    // Sorting at every new level takes tens of seconds here.
    EXPECT_LT(seconds, 3.0);
}

TEST_F(MapFileTest, StartCellIsTheMiddleOfTheLastIndexBlock) {
    const TvmIndexBlock ib = degreeCells({{10, 50}, {11, 50}, {12, 50}, {13, 50}});
    cMapFile map;
    BoundsF start;
    ASSERT_TRUE(openBytes(map, encodeTvm(u"m", {ib}), "startcell.tvm", &start));
    const cIndexBlock& index = *map.levels()[0]->indexBlocks()[0];
    EXPECT_EQ(index.blockReads(), 1u);
    EXPECT_EQ(loadedKeys(index), std::vector<int32_t>{50 * 360 + 11});
    EXPECT_EQ(start.minX, 11.0f);
    EXPECT_EQ(start.maxX, 12.0f);
    EXPECT_EQ(start.minY, 50.0f);
}

TEST_F(MapFileTest, EmptyLastIndexBlockGivesTheCellBeforeTheOrigin) {
    cMapFile map;
    BoundsF start;
    ASSERT_TRUE(openBytes(map, encodeTvm(u"m", {TvmIndexBlock{0, 1800, {}}}), "e0.tvm", &start));
    EXPECT_EQ(start.minX, -0.5f);
    EXPECT_EQ(start.minY, -0.5f);
    EXPECT_EQ(start.maxX, 0.0f);
    EXPECT_EQ(start.maxY, 0.0f);
}

// Byte position of the i-th index block header of an encoded file.
std::size_t indexBlockAt(const std::vector<TvmIndexBlock>& index, std::size_t i) {
    std::size_t at = tvm::kHeaderSize;
    for (std::size_t k = 0; k < i; ++k) at += 20 + 8 * index[k].blocks.size();
    return at;
}

void putU32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST_F(MapFileTest, WrongIndexBlockKeepsTheOnesBefore) {
    const std::vector<TvmIndexBlock> index = {degreeCells({{1, 1}}), TvmIndexBlock{0, 900, {}},
                                              degreeCells({{2, 2}})};
    struct Case {
        const char* what;
        std::size_t block;
        std::size_t fieldAt; // within the index block header
        uint32_t value;
    };
    const Case cases[] = {
        {"magic", 1, 0, 0x58444942 + 1},
        {"entries past the end of the file", 1, 8, 0xFFFFFFFF},
        {"entries just past the end", 2, 8, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = encodeTvm(u"m", index);
        putU32(bytes, indexBlockAt(index, c.block) + c.fieldAt, c.value);
        cMapFile map;
        std::string messages;
        EXPECT_FALSE(openBytes(map, bytes, "badindex.tvm", nullptr, &messages));
        EXPECT_NE(messages.find("Error in .tvm - wrong index block position"), std::string::npos);
        EXPECT_EQ(map.levels().size(), c.block == 1 ? 1u : 2u);
        // The levels read before the wrong index block are sorted all the same.
        if (map.levels().size() == 2) {
            EXPECT_EQ(map.levels()[0]->cellSeconds(), 900u);
        }
    }
    // A header that claims more index blocks than the file has.
    std::vector<uint8_t> bytes = encodeTvm(u"m", index);
    putU32(bytes, tvm::kIndexCountAt, 4);
    cMapFile map;
    std::string messages;
    EXPECT_FALSE(openBytes(map, bytes, "extraindex.tvm", nullptr, &messages));
    EXPECT_NE(messages.find("wrong index block position"), std::string::npos);
    EXPECT_EQ(map.levels().size(), 2u);
}

TEST_F(MapFileTest, UnusableCellSizeSkipsOnlyThatIndexBlock) {
    for (uint32_t seconds : {0u, 720u * 3600u + 1800u, 0xFFFFFFFFu}) {
        std::vector<TvmIndexBlock> index = {degreeCells({{1, 1}, {2, 2}}), degreeCells({{3, 3}})};
        index[0].cellSeconds = seconds;
        cMapFile map;
        ASSERT_TRUE(openBytes(map, encodeTvm(u"m", index), "bigcell.tvm")) << seconds;
        ASSERT_EQ(map.levels().size(), 1u);
        EXPECT_EQ(map.levels()[0]->indexBlocks()[0]->cellRange(), (CellRange{3, 3, 3, 3}));
    }
}

TEST_F(MapFileTest, EntriesOutOfOrderAreSortedAndFound) {
    const TvmIndexBlock ib = degreeCells({{13, 50}, {10, 50}, {12, 51}, {11, 49}, {10, 50}});
    const std::vector<uint8_t> bytes = encodeTvm(u"m", {ib});
    cMapFile map;
    ASSERT_TRUE(openBytes(map, bytes, "unsorted.tvm"));
    cIndexBlock& index = *map.levels()[0]->indexBlocks()[0];
    std::vector<int32_t> keys;
    for (const IndexEntry& e : index.entries()) keys.push_back(e.key);
    EXPECT_EQ(keys,
              (std::vector<int32_t>{49 * 360 + 11, 50 * 360 + 10, 50 * 360 + 13, 51 * 360 + 12}));
    // The first of two entries with one key is kept.
    EXPECT_EQ(index.entries()[1].offset, tvm::readU32(&bytes[tvm::kHeaderSize + 20 + 8 + 4]));
    for (int32_t key : keys) {
        auto block = index.lookupBlock(key);
        ASSERT_TRUE(block) << key;
        EXPECT_EQ(block->key, key);
        EXPECT_EQ(block->pois.size(), 1);
    }
    EXPECT_FALSE(index.lookupBlock(50 * 360 + 11));
}

// West of Greenwich lies at 180 to 360 degrees (columns up to n - 1); south
// of the equator are negative rows and so negative keys.
TEST_F(MapFileTest, CellsWestAndSouthOfTheOrigin) {
    const double f = 0.5;
    const int32_t n = 720;
    TvmIndexBlock ib{0, 1800, {}};
    for (auto [c, r] :
         std::vector<std::pair<int, int>>{{717, -2}, {719, -1}, {0, -1}, {718, 1}, {1, 0}})
        ib.blocks.push_back(poiCell(c, r, n, f));
    cMapFile map;
    BoundsF start;
    ASSERT_TRUE(openBytes(map, encodeTvm(u"m", {ib}), "southwest.tvm", &start));
    cIndexBlock& index = *map.levels()[0]->indexBlocks()[0];
    EXPECT_EQ(index.cellRange(), (CellRange{0, -2, 719, 1}));
    EXPECT_EQ(start.minX, 179.5f); // column (0 + 719) / 2 = 359
    EXPECT_EQ(start.minY, 0.0f);   // row (-2 + 1) / 2 = 0, truncated
    // Just west of Greenwich and south of the equator: cell (719, -1), key -1.
    Footprint fp(359.6f, -0.4f, 359.9f, -0.1f);
    index.update(fp.p);
    EXPECT_EQ(loadedKeys(index), std::vector<int32_t>{-1});
    ASSERT_EQ(index.loaded().size(), 1);
    EXPECT_EQ(index.loaded()[0]->pois[0]->y, units(-0.25));
    // The same place as negative degrees is outside the grid.
    Footprint negative(-0.4f, -0.4f, -0.1f, -0.1f);
    index.update(negative.p);
    EXPECT_TRUE(index.loaded().empty());
}

} // namespace
} // namespace tevo
