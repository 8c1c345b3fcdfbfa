#include "map/tvm_format.hpp"
#include "map/tvm_writer.hpp"
#include "map_test_util.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace tevo {
namespace {

// The smallest complete map: one index block of 1-degree cells with one cell
// (column 37, row 55) holding one POI.
std::vector<TvmIndexBlock> oneCellMap() {
    TvmBlock block;
    block.key = 19837;
    block.pois.push_back({0x2F, {{6990506, 10345949}}, u""});
    TvmIndexBlock ib;
    ib.cellSeconds = 3600;
    ib.blocks.push_back(block);
    return {ib};
}

TEST(TvmWriter, OneCellMapHasTheDocumentedLayout) {
    std::vector<uint8_t> bytes = encodeTvm(u"ab", oneCellMap());
    ASSERT_EQ(bytes.size(), 550u);
    EXPECT_EQ(tvm::readU32(&bytes[0]), 0x1A4D5654u);
    EXPECT_EQ(tvm::readU32(&bytes[444]), 1u);
    EXPECT_EQ(tvm::readU32(&bytes[448]), 456u);
    EXPECT_EQ(tvm::readU32(&bytes[452]), 484u);
    EXPECT_EQ(std::string(bytes.begin() + 456, bytes.begin() + 460), "BIDX");
    EXPECT_EQ(tvm::readU32(&bytes[464]), 1u);
    EXPECT_EQ(tvm::readU32(&bytes[468]), 3600u);
    EXPECT_EQ(tvm::readI32(&bytes[476]), 19837);
    EXPECT_EQ(tvm::readU32(&bytes[480]), 494u);
    EXPECT_EQ(tvm::readU16(&bytes[488]), 4u);
    EXPECT_EQ(std::string(bytes.begin() + 494, bytes.begin() + 498), "BLCK");
    EXPECT_EQ(tvm::readU32(&bytes[494 + 24]), 1u);
    EXPECT_EQ(tvm::readU32(&bytes[494 + 36]), 16u);
    EXPECT_EQ(bytes[534], 1u);
    EXPECT_EQ(tvm::readU16(&bytes[536]), 0x2Fu);
    EXPECT_EQ(tvm::readI32(&bytes[542]), 6990506);
    EXPECT_EQ(tvm::readI32(&bytes[546]), 10345949);
}

TEST(TvmWriter, BlockDataSizeCountsEveryRecord) {
    TvmBlock block;
    block.pois.push_back({1, {{1, 2}}, u"abc"});                   // 16 + 6
    block.polylines.push_back({2, {{0, 0}, {5, 5}}, u""});         // 8 + 16
    block.polygons.push_back({3, {{0, 0}, {1, 0}, {1, 1}}, u"x"}); // 8 + 24 + 2
    std::vector<uint8_t> bytes = encodeBlock(block);
    ASSERT_EQ(bytes.size(), 40u + 22 + 24 + 34);
    EXPECT_EQ(tvm::readU32(&bytes[tvm::kDataSizeAt]), 22u + 24 + 34);
    EXPECT_EQ(bytes[40 + 22 + 24] & tvm::kKindMask, tvm::kKindPolygon);
}

TEST(TvmWriter, NamesAreCutTo127UnitsWithoutSplittingAPair) {
    struct Case {
        std::u16string name;
        std::size_t expectedBytes;
    };
    const Case cases[] = {
        {std::u16string(127, u'a'), 254},
        {std::u16string(300, u'a'), 254},
        {std::u16string(126, u'a') + u"\U0001F600", 252}, // the pair would straddle the cut
        {std::u16string(125, u'a') + u"\U0001F600", 254},
    };
    for (const Case& c : cases) {
        TvmBlock block;
        block.pois.push_back({1, {{0, 0}}, c.name});
        std::vector<uint8_t> bytes = encodeBlock(block);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes[40 + tvm::kNameBytesAt], c.expectedBytes);
        EXPECT_EQ(bytes.size(), 40 + 16 + c.expectedBytes);
    }
}

TEST(TvmWriter, RefusesCountsItCannotEncode) {
    TvmBlock tooLong;
    tooLong.polylines.push_back({1, std::vector<TvmPoint>(65536), u""});
    EXPECT_TRUE(encodeBlock(tooLong).empty());
    TvmBlock longest;
    longest.polygons.push_back({1, std::vector<TvmPoint>(65535), u""});
    EXPECT_FALSE(encodeBlock(longest).empty());
    TvmBlock twoPointPoi;
    twoPointPoi.pois.push_back({1, {{0, 0}, {1, 1}}, u""});
    EXPECT_TRUE(encodeBlock(twoPointPoi).empty());

    TvmIndexBlock ib{0, 3600, {tooLong}};
    EXPECT_TRUE(encodeTvm(u"m", {ib}).empty());
    const std::string path = test::tempPath("refused.tvm");
    std::remove(path.c_str());
    std::string error;
    EXPECT_FALSE(writeTvm(path, u"m", {ib}, &error));
    EXPECT_NE(error.find("65535"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TvmWriter, WriteReplacesTheFileAndLeavesNoTemporary) {
    const std::filesystem::path dir = std::filesystem::path(test::tempPath("tvmwrite"));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "map.tvm").string();
    std::string error;
    ASSERT_TRUE(writeTvm(path, u"ab", oneCellMap(), &error)) << error;
    ASSERT_TRUE(writeTvm(path, u"ab", oneCellMap(), &error)) << error;
    EXPECT_EQ(std::filesystem::file_size(path), 550u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

    EXPECT_FALSE(writeTvm((dir / "missing" / "map.tvm").string(), u"ab", oneCellMap(), &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace tevo
