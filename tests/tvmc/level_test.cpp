// Level assembly: what each level keeps, how objects are cut into cells, the
// order of polygons in a block, and the choice of the start cell.
#include "map/tvm_format.hpp"
#include "tools/tvmc/geometry.hpp"
#include "tools/tvmc/grid.hpp"
#include "tools/tvmc/level_builder.hpp"
#include "tools/tvmc/line_join.hpp"
#include "tools/tvmc/start_cell.hpp"
#include "tools/tvmc/type_table.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tevo::tvmc {
namespace {

constexpr uint32_t kCell = 3600; // one degree: cell (c, r) is c..c+1 E, r..r+1 N

Feature square(uint16_t type, double west, double south, double side, uint32_t levels) {
    return {ObjectClass::Polygon,
            type,
            levels,
            u"",
            {toMapUnits(west, south), toMapUnits(west + side, south),
             toMapUnits(west + side, south + side), toMapUnits(west, south + side)},
            {}};
}

TvmIndexBlock build(const std::vector<Feature>& features, bool finest,
                    LevelStats* stats = nullptr) {
    TvmIndexBlock out;
    LevelStats local;
    std::string error;
    EXPECT_TRUE(
        buildLevel(features, levelPlanFor(kCell, finest), 0, out, stats ? *stats : local, &error))
        << error;
    return out;
}

TEST(BuildLevel, AreaAcrossFourCellsTilesThemWithoutLoss) {
    const Feature f = square(0x16, 10.5, 50.5, 1.0, kEveryLevel);
    const TvmIndexBlock level = build({f}, true);
    ASSERT_EQ(level.blocks.size(), 4u);
    double total = 0;
    const CellGrid grid(kCell);
    for (const TvmBlock& b : level.blocks) {
        ASSERT_EQ(b.polygons.size(), 1u);
        total += ringArea(b.polygons[0].points);
        const UnitRect r = grid.cellRect({b.key % grid.columns(), b.key / grid.columns()});
        for (const TvmPoint& p : b.polygons[0].points)
            EXPECT_TRUE(p.x >= r.x0 && p.x <= r.x1 && p.y >= r.y0 && p.y <= r.y1);
    }
    EXPECT_NEAR(total, ringArea(f.points), ringArea(f.points) * 1e-9);
    for (std::size_t i = 1; i < level.blocks.size(); ++i)
        EXPECT_LT(level.blocks[i - 1].key, level.blocks[i].key);
}

TEST(BuildLevel, PolygonsOfABlockComeLargestFirst) {
    const TvmIndexBlock level = build({square(0x12, 10.1, 50.1, 0.1, kEveryLevel),
                                       square(0x16, 10.1, 50.1, 0.5, kEveryLevel),
                                       square(0x15, 10.1, 50.1, 0.3, kEveryLevel)},
                                      true);
    ASSERT_EQ(level.blocks.size(), 1u);
    const auto& polygons = level.blocks[0].polygons;
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons[0].type, 0x16);
    EXPECT_EQ(polygons[1].type, 0x15);
    EXPECT_EQ(polygons[2].type, 0x12);
}

TEST(BuildLevel, CoarseLevelDropsDetailThatTheFinestKeeps) {
    const std::vector<Feature> features{
        square(0x16, 10.1, 50.1, 0.5, kEveryLevel),   // a large forest
        square(0x16, 10.7, 50.7, 0.001, kEveryLevel), // a tiny wood: under two pixels
        square(111, 10.2, 50.2, 0.3, kFinestOnly),    // a building type
        {ObjectClass::Poi, 0x2A02, kFinestOnly, u"Cafe", {toMapUnits(10.5, 50.5)}, {}},
    };
    LevelStats fine, coarse;
    build(features, true, &fine);
    build(features, false, &coarse);
    EXPECT_EQ(fine.records[static_cast<int>(ObjectClass::Polygon)], 3u);
    EXPECT_EQ(fine.records[static_cast<int>(ObjectClass::Poi)], 1u);
    EXPECT_EQ(coarse.records[static_cast<int>(ObjectClass::Polygon)], 1u);
    EXPECT_EQ(coarse.records[static_cast<int>(ObjectClass::Poi)], 0u);
}

// A record holds 65535 points: a line of that many stays whole, one point more
// makes two records sharing their end points.
TEST(BuildLevel, LineLongerThanARecordIsSplitSharingEndPoints) {
    struct Case {
        int points;
        std::vector<std::size_t> pieces; // points of each record
    };
    const Case cases[] = {
        {0xFFFF, {0xFFFF}},
        {0x10000, {0xFFFF, 2}},
        {70000, {0xFFFF, 70000 - 0xFFFF + 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points);
        Feature line{ObjectClass::Polyline, 0x01, kEveryLevel, u"Long", {}, {}};
        for (int i = 0; i < c.points; ++i) // a zigzag that no simplification flattens
            line.points.push_back(
                {toMapUnits(10.1, 50.1).x + i * 2, toMapUnits(10.1, 50.1).y + (i % 2) * 500});
        const TvmIndexBlock level = build({line}, true);
        ASSERT_EQ(level.blocks.size(), 1u);
        const auto& records = level.blocks[0].polylines;
        std::vector<std::size_t> sizes;
        for (const auto& record : records) sizes.push_back(record.points.size());
        EXPECT_EQ(sizes, c.pieces);
        for (std::size_t i = 1; i < records.size(); ++i)
            EXPECT_EQ(records[i - 1].points.back().x, records[i].points.front().x);
        for (const auto& record : records) EXPECT_EQ(record.name, u"Long");
    }
}

// An upper polygon is raised in 3D: cut at a cell border, the cut would be
// drawn as a wall. It arrives whole, in the cell of its centre.
TEST(BuildLevel, UpperPolygonAcrossACellBorderArrivesWhole) {
    const Feature house = square(111, 10.8, 50.9, 0.3, kFinestOnly); // centre 10.95 E, 51.05 N
    const TvmIndexBlock level = build({house}, true);
    ASSERT_EQ(level.blocks.size(), 1u);
    EXPECT_EQ(level.blocks[0].key, 51 * 360 + 10);
    ASSERT_EQ(level.blocks[0].polygons.size(), 1u);
    EXPECT_EQ(level.blocks[0].polygons[0].points.size(), 4u);
    EXPECT_DOUBLE_EQ(ringArea(level.blocks[0].polygons[0].points), ringArea(house.points));
    // A ground polygon of the same shape is still cut into the four cells.
    EXPECT_EQ(build({square(0x16, 10.8, 50.9, 0.3, kEveryLevel)}, true).blocks.size(), 4u);
}

struct HugeObjectCase {
    const char* what;
    Feature feature;
    std::size_t cells; // of the one-degree level; 0: left out
};

Feature lineThrough(std::vector<std::pair<double, double>> lonLat) {
    Feature f{ObjectClass::Polyline, 0x01, kEveryLevel, u"", {}, {}};
    for (auto [lon, lat] : lonLat) f.points.push_back(toMapUnits(lon, lat));
    return f;
}

// A line that runs `times` times round the corners of 360 by 81 cells,
// diagonals included: about 400 cells per side.
Feature roundTheCorners(int times) {
    const std::pair<double, double> corners[] = {
        {0.5, 0.5}, {359.5, 80.5}, {0.5, 80.5}, {359.5, 0.5}};
    std::vector<std::pair<double, double>> path;
    for (int i = 0; i < 4 * times; ++i) path.push_back(corners[i % 4]);
    return lineThrough(path);
}

class HugeObject : public ::testing::TestWithParam<HugeObjectCase> {};

// The work per object and level is bounded: an object that covers more than
// kMaxCellsPerObject cells of a level is left out of it (and counted).
TEST_P(HugeObject, IsLeftOutOfLevelsWhereItCoversTooManyCells) {
    const HugeObjectCase& c = GetParam();
    LevelStats stats;
    const TvmIndexBlock level = build({c.feature}, true, &stats);
    EXPECT_EQ(level.blocks.size(), c.cells);
    EXPECT_EQ(stats.tooLarge, c.cells == 0 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HugeObject,
    ::testing::Values(HugeObjectCase{"forest_of_a_hemisphere",
                                     square(0x16, 0.5, 0.5, 89, kEveryLevel), 0},
                      HugeObjectCase{"forest_of_64_by_64_cells",
                                     square(0x16, 0.5, 0.5, 63, kEveryLevel), 64 * 64},
                      HugeObjectCase{"line_round_the_globe", roundTheCorners(3), 0},
                      HugeObjectCase{"long_line_of_few_cells",
                                     lineThrough({{0.5, 0.5}, {0.5, 40.5}, {40.5, 40.5}}), 81}),
    [](const auto& info) { return std::string(info.param.what); });

TvmIndexBlock levelWithCells(std::vector<std::pair<int32_t, int>> keysAndPois) {
    TvmIndexBlock level;
    level.cellSeconds = kCell;
    for (auto [key, pois] : keysAndPois) {
        TvmBlock b;
        b.key = key;
        b.pois.resize(static_cast<std::size_t>(pois), TvmObject{0x2A00, {{0, 0}}, u""});
        level.blocks.push_back(b);
    }
    return level;
}

TEST(StartCell, DensestCellIsWrittenLastAlone) {
    // Columns 10 to 13 of row 50: the reader would start on column 11.
    const int32_t row = 50 * 360;
    const TvmIndexBlock level =
        levelWithCells({{row + 10, 1}, {row + 11, 1}, {row + 12, 1}, {row + 13, 9}});
    ASSERT_EQ(densestCell(level), row + 13);
    const auto blocks = placeStartCell(level, row + 13);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].blocks.size(), 3u);
    ASSERT_EQ(blocks[1].blocks.size(), 1u);
    EXPECT_EQ(blocks[1].blocks[0].key, row + 13);
    EXPECT_EQ(blocks[1].cellSeconds, kCell);
}

TEST(StartCell, MiddleCellKeepsTheLevelWhole) {
    const int32_t row = 50 * 360;
    const TvmIndexBlock level = levelWithCells({{row + 10, 1}, {row + 11, 5}, {row + 13, 1}});
    EXPECT_EQ(placeStartCell(level, row + 11).size(), 1u);
}

// Lines of one type and name that continue each other become one record;
// where three ends meet, or the name or type differs, they stay apart.
struct JoinCase {
    const char* what;
    std::vector<TvmObject> lines;
    std::vector<std::vector<TvmPoint>> joined; // the records afterwards, in order
};

TvmObject road(std::vector<TvmPoint> points, std::u16string name = u"Main", uint16_t type = 6) {
    return {type, std::move(points), std::move(name)};
}

class JoinLines : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinLines, JoinsWhereExactlyTwoEndsMeet) {
    std::vector<TvmObject> lines = GetParam().lines;
    joinLines(lines, 0, 0xFFFF);
    std::vector<std::vector<TvmPoint>> got;
    for (const TvmObject& l : lines) got.push_back(l.points);
    ASSERT_EQ(got.size(), GetParam().joined.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].size(), GetParam().joined[i].size()) << "record " << i;
        for (std::size_t p = 0; p < got[i].size(); ++p) {
            EXPECT_EQ(got[i][p].x, GetParam().joined[i][p].x) << "record " << i << " point " << p;
            EXPECT_EQ(got[i][p].y, GetParam().joined[i][p].y) << "record " << i << " point " << p;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinLines,
    ::testing::Values(JoinCase{"continuing",
                               {road({{0, 0}, {1, 0}}), road({{1, 0}, {2, 1}})},
                               {{{0, 0}, {1, 0}, {2, 1}}}},
                      JoinCase{"second_reversed",
                               {road({{0, 0}, {1, 0}}), road({{2, 1}, {1, 0}})},
                               {{{0, 0}, {1, 0}, {2, 1}}}},
                      JoinCase{"chain_out_of_order",
                               {road({{1, 0}, {2, 0}}), road({{3, 0}, {4, 1}}),
                                road({{2, 0}, {3, 0}}), road({{0, 1}, {1, 0}})},
                               {{{0, 1}, {1, 0}, {2, 0}, {3, 0}, {4, 1}}}},
                      JoinCase{
                          "three_ends_meet",
                          {road({{0, 0}, {1, 0}}), road({{1, 0}, {2, 0}}), road({{1, 0}, {1, 1}})},
                          {{{0, 0}, {1, 0}}, {{1, 0}, {2, 0}}, {{1, 0}, {1, 1}}}},
                      JoinCase{"other_name_and_type",
                               {road({{0, 0}, {1, 0}}), road({{1, 0}, {2, 0}}, u"Side"),
                                road({{2, 0}, {3, 0}}, u"Side", 7)},
                               {{{0, 0}, {1, 0}}, {{1, 0}, {2, 0}}, {{2, 0}, {3, 0}}}},
                      JoinCase{"ring",
                               {road({{0, 0}, {1, 0}, {1, 1}}), road({{1, 1}, {0, 1}, {0, 0}})},
                               {{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}}}),
    [](const auto& info) { return std::string(info.param.what); });

// The summary's bytes of a level are the bytes of its blocks in the file,
// record by record, and its block headers and index entries.
TEST(BuildLevel, StatsCountEveryByteOfTheBlocks) {
    Feature street{ObjectClass::Polyline,
                   0x06,
                   kEveryLevel,
                   u"Hauptstraße",
                   {toMapUnits(10.2, 50.2), toMapUnits(11.3, 50.7)},
                   {}};
    Feature cafe{ObjectClass::Poi, 0x2A02, kFinestOnly, u"Café", {toMapUnits(10.5, 50.5)}, {}};
    LevelStats stats;
    const TvmIndexBlock level = build({square(0x16, 10.5, 50.5, 1.0, kEveryLevel),
                                       square(111, 10.1, 50.1, 0.2, kFinestOnly), street, cafe},
                                      true, &stats);
    uint64_t file = 0, counted = stats.blockBytes;
    for (const TvmBlock& b : level.blocks) file += encodeBlock(b).size() + tvm::kEntrySize;
    for (uint64_t kind : stats.bytes) counted += kind;
    EXPECT_EQ(counted, file);
    EXPECT_EQ(stats.buildings, 1u);
    EXPECT_EQ(stats.names, (2 * 11 + 4) * 2u); // the street in two cells, the café
}

} // namespace
} // namespace tevo::tvmc
