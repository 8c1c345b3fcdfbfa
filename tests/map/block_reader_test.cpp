#include "map/block_reader.hpp"
#include "map/map_file.hpp"
#include "map/tvm_format.hpp"
#include "map/tvm_writer.hpp"
#include "map_test_util.hpp"
#include "platform/message_box.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

using namespace test;

std::vector<MapPoint> pointsOf(const cPolyLine& line) {
    return line.points;
}

TvmBlock richBlock() {
    TvmBlock b;
    b.key = 7;
    b.pois.push_back({0x2F, {{100, 200}}, u"Caf\u00e9"});
    b.pois.push_back({0x10, {{-5, -6}}, u""});
    b.polylines.push_back({1, {{0, 0}, {10, 0}, {10, 10}}, u"Main St"});
    b.polylines.push_back({2, {}, u""});
    b.polygons.push_back({0x4B, {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, u""});
    b.polygons.push_back({108, {{0, 0}, {1, 0}, {1, 1}}, u"Hall"});
    b.polygons.push_back({6, {{5, 5}, {6, 5}}, u""});
    return b;
}

// Decodes one encoded block's record data.
std::unique_ptr<cBlockObjects> decode(const std::vector<uint8_t>& bytes, std::u16string* problem) {
    auto block = std::make_unique<cBlockObjects>();
    const uint8_t* h = bytes.data();
    *problem = std::u16string(
        decodeRecords(h + tvm::kBlockHeaderSize, tvm::readU32(h + tvm::kDataSizeAt),
                      tvm::readU32(h + tvm::kPoiCountAt), tvm::readU32(h + tvm::kPolylineCountAt),
                      tvm::readU32(h + tvm::kPolygonCountAt), *block));
    return block;
}

TEST(BlockReader, ReadsEveryRecordAndFilesUpperPolygonsByType) {
    std::u16string problem;
    auto block = decode(encodeBlock(richBlock()), &problem);
    ASSERT_EQ(problem, u"");
    ASSERT_EQ(block->pois.size(), 2);
    EXPECT_EQ(block->pois[0]->name, u"Caf\u00e9");
    EXPECT_EQ(block->pois[1]->x, -5);
    EXPECT_EQ(block->pois[1]->y, -6);
    EXPECT_TRUE(block->pois[1]->name.empty());
    ASSERT_EQ(block->polylines.size(), 2);
    EXPECT_EQ(block->polylines[0]->name, u"Main St");
    EXPECT_EQ(block->polylines[0]->maxX, 10);
    EXPECT_EQ(block->polylines[1]->points.size(), 0u);
    EXPECT_EQ(block->polylines[1]->minX | block->polylines[1]->maxY, 0);
    ASSERT_EQ(block->polygons.size(), 1);
    EXPECT_EQ(block->polygons[0]->type, 0x4B);
    ASSERT_EQ(block->upperPolygons.size(), 2);
    EXPECT_EQ(block->upperPolygons[0]->type, 108);
    EXPECT_EQ(block->upperPolygons[0]->name, u"Hall");
    EXPECT_EQ(block->upperPolygons[1]->type, 6);
    for (uint16_t t : {6, 8, 10, 11, 19, 108, 109, 110, 111})
        EXPECT_TRUE(tvm::isUpperPolygonType(t));
    for (uint16_t t : {0, 7, 12, 20, 75, 107, 112}) EXPECT_FALSE(tvm::isUpperPolygonType(t));
}

TEST(BlockReader, OddNameLengthDropsTheLastByte) {
    TvmBlock b;
    b.pois.push_back({1, {{0, 0}}, u"ab"});
    std::vector<uint8_t> bytes = encodeBlock(b);
    bytes[tvm::kBlockHeaderSize + tvm::kNameBytesAt] = 3;
    bytes[tvm::kDataSizeAt] = 19; // 16 + 3
    std::u16string problem;
    auto block = decode(bytes, &problem);
    ASSERT_EQ(problem, u"");
    EXPECT_EQ(block->pois[0]->name, u"a");
}

// Normalisation: bounding box and orientation at the lowest, leftmost vertex.
TEST(BlockReader, NormaliseTurnsClockwiseRingsAround) {
    struct Case {
        const char* what;
        std::vector<MapPoint> in, out;
    };
    const Case cases[] = {
        {"counter-clockwise square is turned",
         {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
         {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
        {"the other way stays", {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, {{0, 0}, {0, 1}, {1, 1}, {1, 0}}},
        {"two points never turn", {{5, 0}, {0, 0}}, {{5, 0}, {0, 0}}},
        {"extreme vertex in the middle", {{2, 2}, {0, 0}, {2, 0}}, {{2, 0}, {0, 0}, {2, 2}}},
        {"collinear stays", {{0, 0}, {1, 1}, {2, 2}}, {{0, 0}, {1, 1}, {2, 2}}},
        {"lowest ties take the leftmost", {{3, 0}, {1, 0}, {2, 5}}, {{3, 0}, {1, 0}, {2, 5}}},
        {"wide ring turns by its true orientation",
         {{-10000000, -10000000}, {10000000, -10000000}, {10000000, 10000000}},
         {{10000000, 10000000}, {10000000, -10000000}, {-10000000, -10000000}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cPolyLine line;
        line.points = c.in;
        line.normalise();
        EXPECT_EQ(pointsOf(line), c.out);
    }
    cPolyLine box;
    box.points = {{3, -4}, {-2, 7}, {5, 1}};
    box.normalise();
    EXPECT_EQ(box.minX, -2);
    EXPECT_EQ(box.minY, -4);
    EXPECT_EQ(box.maxX, 5);
    EXPECT_EQ(box.maxY, 7);
}

// Offsets within an encoded richBlock() (after the 40-byte header).
constexpr std::size_t kPoi0 = 40, kPoi1 = kPoi0 + 16 + 8, kLine0 = kPoi1 + 16;
constexpr std::size_t kLine1 = kLine0 + 8 + 24 + 14, kGon0 = kLine1 + 8;

TEST(BlockReader, DamagedRecordsGiveTheMatchingMessage) {
    struct Case {
        const char* what;
        std::size_t at;
        uint32_t value;
        int bytes; // 1, 2 or 4
        std::u16string_view message;
    };
    const Case cases[] = {
        {"POI kind", kPoi1, 2, 1, kMsgWrongPoi},
        {"POI name past the data", kPoi0 + 4, 0xFF, 1, kMsgWrongPoi},
        {"POI count larger than the data holds", tvm::kPoiCountAt, 0xFFFFFFFF, 4, kMsgWrongPoi},
        {"polyline kind", kLine0, 3, 1, kMsgWrongPolyLine},
        {"polyline points past the data", kLine0 + 6, 0xFFFF, 2, kMsgWrongPolyLine},
        {"polyline count one too many", tvm::kPolylineCountAt, 3, 4, kMsgWrongPolyLine},
        {"polygon kind", kGon0, 0x09, 1, kMsgWrongPolyGon},
        {"polygon name past the data", kGon0 + 4, 0x80, 1, kMsgWrongPolyGon},
        {"polygon count one too many", tvm::kPolygonCountAt, 4, 4, kMsgWrongPolyGon},
        {"data size cuts the last record", tvm::kDataSizeAt, 190, 4, kMsgWrongPolyGon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = encodeBlock(richBlock());
        for (int i = 0; i < c.bytes; ++i)
            bytes[c.at + i] = static_cast<uint8_t>(c.value >> (8 * i));
        std::u16string problem;
        decode(bytes, &problem);
        EXPECT_EQ(problem, c.message);
    }
}

// A last record that runs past the data, by even one byte, is refused: there
// is no later record whose failure would give the message instead.
TEST(BlockReader, LastRecordOneBytePastTheDataIsRefused) {
    TvmBlock poi;
    poi.pois.push_back({0x2F, {{1, 2}}, u"ab"});
    TvmBlock polyline;
    polyline.polylines.push_back({1, {{0, 0}, {10, 0}}, u"ab"});
    TvmBlock polygon;
    polygon.polygons.push_back({0x4B, {{0, 0}, {0, 1}, {1, 1}}, u"ab"});
    struct Case {
        const char* what;
        const TvmBlock* block;
        std::size_t at; // within the block
        int change;
        std::u16string_view message;
    };
    const std::size_t lineNameAt = tvm::kBlockHeaderSize + tvm::kNameBytesAt;
    const Case cases[] = {
        {"POI cut by the data size", &poi, tvm::kDataSizeAt, -1, kMsgWrongPoi},
        {"POI name one byte longer", &poi, lineNameAt, 1, kMsgWrongPoi},
        {"polyline cut by the data size", &polyline, tvm::kDataSizeAt, -1, kMsgWrongPolyLine},
        {"polyline name one byte longer", &polyline, lineNameAt, 1, kMsgWrongPolyLine},
        {"polygon cut by the data size", &polygon, tvm::kDataSizeAt, -1, kMsgWrongPolyGon},
        {"polygon name one byte longer", &polygon, lineNameAt, 1, kMsgWrongPolyGon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = encodeBlock(*c.block);
        bytes[c.at] = static_cast<uint8_t>(bytes[c.at] + c.change);
        std::u16string problem;
        decode(bytes, &problem);
        EXPECT_EQ(problem, c.message);
    }
}

// The whole path through the file: messages, and a failed cell read once.
TEST(BlockReader, BadBlocksInAFileAreReportedOnceAndNotLoaded) {
    setMessageBoxesDrawn(false);
    struct Case {
        const char* what;
        std::size_t at; // within the block
        uint32_t value;
        const char* message;
    };
    const Case cases[] = {
        {"block magic", 0, 0x4B434C43, "Error in .tvm - wrong block position"},
        {"data size past the end of the file", tvm::kDataSizeAt, 0x7FFFFFFF,
         "wrong block position"},
        {"POI kind", tvm::kBlockHeaderSize, 0, "Error in .tvm - wrong POI data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TvmIndexBlock ib = degreeCells({{5, 5}, {6, 5}});
        std::vector<uint8_t> bytes = encodeTvm(u"m", {ib});
        const std::size_t blockAt = tvm::readU32(&bytes[tvm::kHeaderSize + 20 + 4]);
        for (int i = 0; i < 4; ++i)
            bytes[blockAt + c.at + i] = static_cast<uint8_t>(c.value >> (8 * i));
        cMapFile map;
        std::string messages;
        ASSERT_TRUE(openBytes(map, bytes, "badblock.tvm", nullptr, &messages));
        EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
        EXPECT_NE(messages.find("Error"), std::string::npos);
        cIndexBlock& index = *map.levels()[0]->indexBlocks()[0];
        EXPECT_TRUE(index.loaded().empty()); // the start cell was the bad one
        Footprint fp(5.1f, 5.1f, 6.9f, 5.9f);
        ::testing::internal::CaptureStderr();
        index.update(fp.p);
        index.update(fp.p);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(loadedKeys(index), std::vector<int32_t>{5 * 360 + 6});
        EXPECT_EQ(index.blockReads(), 2u);
    }
}

TEST(BlockReader, OffsetZeroIsAWrongBlockPosition) {
    setMessageBoxesDrawn(false);
    std::vector<uint8_t> bytes = encodeTvm(u"m", {degreeCells({{5, 5}})});
    for (int i = 0; i < 4; ++i) bytes[tvm::kHeaderSize + 20 + 4 + i] = 0;
    cMapFile map;
    std::string messages;
    ASSERT_TRUE(openBytes(map, bytes, "offset0.tvm", nullptr, &messages));
    EXPECT_NE(messages.find("wrong block position"), std::string::npos);
}

} // namespace
} // namespace tevo
