// The map the build compiles into the program folder: every block reads back
// through cMapFile, every object lies in its cell, and the bytes of the file
// agree with its own counts when walked independently of the reader.
#include "tvmc/tvmc_helpers.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace tevo::test {
namespace {

const std::string kDemoMap = std::string(TEVO_DIST_DIR) + "/map.tvm";

TEST(DemoMap, EveryBlockReadsBackAndKeysAscend) {
    const MapDump dump = dumpMap(kDemoMap);
    ASSERT_TRUE(dump.opened);
    EXPECT_TRUE(dump.everyBlockRead);
    EXPECT_TRUE(dump.keysAscend);
    EXPECT_EQ(dump.levels, (std::vector<uint32_t>{60, 300, 1800, 7200}));
    EXPECT_EQ(dump.name, u"Moscow");
    EXPECT_GT(dump.objects.size(), 1000u);
}

TEST(DemoMap, EveryObjectLiesWithinItsCell) {
    const MapDump dump = dumpMap(kDemoMap);
    int outside = 0;
    for (const MapObject& o : dump.objects) {
        const CellBox box = cellBox(o.key, o.cellSeconds);
        if (o.kind == Kind::Upper) { // kept whole in the cell of its centre
            const MapPoint c = boxCentre(o.points);
            outside += c.x < box.x0 - 1 || c.x > box.x1 + 1 || c.y < box.y0 - 1 || c.y > box.y1 + 1;
            continue;
        }
        for (const MapPoint& p : o.points)
            if (p.x < box.x0 - 1 || p.x > box.x1 + 1 || p.y < box.y0 - 1 || p.y > box.y1 + 1)
                ++outside;
    }
    EXPECT_EQ(outside, 0);
}

TEST(DemoMap, CarriesEveryClassOfObject) {
    const MapDump dump = dumpMap(kDemoMap);
    std::set<Kind> kinds;
    for (const MapObject& o : dump.objects) kinds.insert(o.kind);
    EXPECT_EQ(kinds.size(), 4u); // POIs, polylines, polygons, upper polygons
}

// An independent walk over the bytes: header, index, and each block's records.
class ByteWalker {
public:
    explicit ByteWalker(std::string bytes) : b_(std::move(bytes)) {}
    bool fits(uint64_t at, uint64_t n) const { return at + n <= b_.size(); }
    uint32_t u32(uint64_t at) const {
        uint32_t v = 0;
        std::memcpy(&v, b_.data() + at, 4);
        return v;
    }
    uint16_t u16(uint64_t at) const {
        uint16_t v = 0;
        std::memcpy(&v, b_.data() + at, 2);
        return v;
    }
    uint8_t u8(uint64_t at) const { return static_cast<uint8_t>(b_[at]); }

    // The size of the records of a block, or -1 when a record is malformed.
    int64_t recordBytes(uint64_t block) const {
        uint64_t at = block + 40;
        const uint32_t counts[3] = {u32(block + 24), u32(block + 28), u32(block + 32)};
        for (int kind = 1; kind <= 3; ++kind) {
            for (uint32_t i = 0; i < counts[kind - 1]; ++i) {
                if (!fits(at, 8) || (u8(at) & 7) != kind) return -1;
                const uint64_t size =
                    kind == 1 ? 16 + u8(at + 4) : 8 + 8ull * u16(at + 6) + u8(at + 4);
                if (u8(at + 4) % 2 != 0) return -1; // whole UTF-16 units only
                at += size;
            }
        }
        return static_cast<int64_t>(at - (block + 40));
    }

private:
    std::string b_;
};

TEST(DemoMap, BlockSizesMatchTheirRecords) {
    std::ifstream in(kDemoMap, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const ByteWalker file(s.str());
    ASSERT_TRUE(file.fits(0, 456));
    uint64_t at = file.u32(448);
    const uint32_t indexBlocks = file.u32(444);
    for (uint32_t i = 0; i < indexBlocks; ++i) {
        ASSERT_TRUE(file.fits(at, 20));
        const uint32_t entries = file.u32(at + 8);
        for (uint32_t e = 0; e < entries; ++e) {
            const uint64_t entry = at + 20 + 8ull * e;
            ASSERT_TRUE(file.fits(entry, 8));
            const uint32_t block = file.u32(entry + 4);
            ASSERT_TRUE(file.fits(block, 40));
            const uint32_t d = file.u32(block + 36);
            ASSERT_TRUE(file.fits(block + 40, d));
            EXPECT_EQ(file.recordBytes(block), static_cast<int64_t>(d)) << "block at " << block;
        }
        at += 20 + 8ull * entries;
    }
}

} // namespace
} // namespace tevo::test
