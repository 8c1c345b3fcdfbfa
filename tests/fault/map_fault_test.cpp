// A map whose blocks fail one after another while the view pans over them:
// each failed block is reported once, the program stays usable and ends
// normally.
#include "fault/fault_support.hpp"

#include "map/tvm_writer.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

// Cells of 0.01 degrees in a strip of 11 columns and 3 rows; the start cell
// (the middle one) is whole, four cells on each side of it are damaged.
constexpr uint32_t kCellSeconds = 36;
constexpr int32_t kColumnsPerRow = 36000; // 360 degrees of 0.01 degree cells
constexpr int32_t kFirstColumn = 1335, kLastColumn = 1345;
constexpr int32_t kFirstRow = 5249, kLastRow = 5251;
constexpr int32_t kMiddleRow = 5250;
constexpr int32_t kUnitsPerCell = (1 << 26) / kColumnsPerRow;

constexpr uint32_t kIndexAt = 456;
constexpr uint32_t kIndexHeader = 20;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kBlockHeader = 40;
constexpr uint32_t kPoiRecord = 16; // without a name
constexpr uint32_t kLineRecord = 8; // before its points
constexpr uint32_t kPointSize = 8;
constexpr int kLinePoints = 2;

const char* const kWrongBlock = "Error: Error in .tvm - wrong block position";
const char* const kWrongPoi = "Error: Error in .tvm - wrong POI data";
const char* const kWrongLine = "Error: Error in .tvm - wrong PolyLine data";
const char* const kWrongPolygon = "Error: Error in .tvm - wrong PolyGon data";

// What is broken in a damaged cell, by its distance from the start cell.
struct Damage {
    int32_t offsetFromMiddle; // columns, negative west
    const char* message;
};
const Damage kDamaged[] = {{2, kWrongBlock},   {3, kWrongPoi},      {4, kWrongLine},
                           {5, kWrongPolygon}, {-2, kWrongPolygon}, {-3, kWrongLine},
                           {-4, kWrongPoi},    {-5, kWrongBlock}};

TvmBlock cellBlock(int32_t column, int32_t row) {
    const int32_t x0 = column * kUnitsPerCell, y0 = row * kUnitsPerCell;
    const int32_t q = kUnitsPerCell / 4;
    TvmBlock block;
    block.key = row * kColumnsPerRow + column;
    block.pois.push_back({0x100, {{x0 + 2 * q, y0 + 2 * q}}, {}});
    block.polylines.push_back({0x03, {{x0, y0 + q}, {x0 + 4 * q, y0 + 3 * q}}, {}});
    block.polygons.push_back(
        {0x3D, {{x0 + q, y0 + q}, {x0 + 3 * q, y0 + q}, {x0 + 3 * q, y0 + 3 * q}}, {}});
    return block;
}

uint32_t readU32(const std::vector<uint8_t>& bytes, uint32_t at) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof(value));
    return value; // the machines we run on are little-endian, like the file
}

// Breaks the block of entry `index` so that reading it gives `message`.
void damage(std::vector<uint8_t>& bytes, uint32_t index, const char* message) {
    const uint32_t block = readU32(bytes, kIndexAt + kIndexHeader + index * kEntrySize + 4);
    const uint32_t poi = block + kBlockHeader;
    const uint32_t line = poi + kPoiRecord;
    const uint32_t polygon = line + kLineRecord + kLinePoints * kPointSize;
    constexpr uint8_t kNoKind = 0;
    if (message == kWrongBlock) bytes[block] = 'X';
    if (message == kWrongPoi) bytes[poi] = kNoKind;
    if (message == kWrongLine) bytes[line] = kNoKind;
    if (message == kWrongPolygon) bytes[polygon] = kNoKind;
}

void writeDamagedMap(const std::string& path) {
    TvmIndexBlock index;
    index.cellSeconds = kCellSeconds;
    std::vector<int32_t> damageOf; // per entry: index into kDamaged, or -1
    for (int32_t row = kFirstRow; row <= kLastRow; ++row) {
        for (int32_t column = kFirstColumn; column <= kLastColumn; ++column) {
            index.blocks.push_back(cellBlock(column, row));
            int32_t which = -1;
            for (int32_t i = 0; i < static_cast<int32_t>(std::size(kDamaged)); ++i) {
                const int32_t middle = (kFirstColumn + kLastColumn) / 2;
                if (row == kMiddleRow && column == middle + kDamaged[i].offsetFromMiddle) which = i;
            }
            damageOf.push_back(which);
        }
    }
    std::vector<uint8_t> bytes = encodeTvm(u"Damaged", {index});
    ASSERT_FALSE(bytes.empty());
    for (uint32_t i = 0; i < damageOf.size(); ++i)
        if (damageOf[i] >= 0) damage(bytes, i, kDamaged[damageOf[i]].message);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DamagedMap : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
        fs::remove(nav.folder().file("map.tvm"));
        writeDamagedMap(nav.folder().file("map.tvm"));
        nav.start(&x);
        w = x.findWindow(kCaption, kStartMs);
        ASSERT_NE(0u, w) << nav.console();
        ASSERT_TRUE(nav.waitForLoopAnswering(x, w)) << nav.console();
        ASSERT_TRUE(x.windowSize(w, width, height));
        answered = boxes();
    }

    int boxes() { return count(nav.tevo().errors(), "Error: Error in .tvm"); }

    // Answers every box the program has shown until none comes for a while.
    void answerBoxes() {
        constexpr int kQuietMs = 800, kStepMs = 100;
        for (int quiet = 0; quiet < kQuietMs; quiet += kStepMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
            if (boxes() > answered) {
                xdotool(x, {"key", "--window", std::to_string(w), "Return"});
                ++answered;
                quiet = 0;
            }
        }
    }

    // Drags the map by half a window to the left (the view goes east) or right.
    void pan(bool east) {
        constexpr int kSteps = 8;
        const int y = height / 2, from = east ? width * 3 / 4 : width / 4;
        const int step = (east ? -1 : 1) * width / 2 / kSteps;
        std::vector<std::string> args = {
            "mousemove", "--window", std::to_string(w), std::to_string(from), std::to_string(y),
            "mousedown", "1"};
        for (int i = 1; i <= kSteps; ++i) {
            args.insert(args.end(), {"mousemove", "--window", std::to_string(w),
                                     std::to_string(from + i * step), std::to_string(y)});
        }
        args.insert(args.end(), {"mouseup", "1"});
        ASSERT_EQ(0, xdotool(x, args));
        answerBoxes();
    }

    std::string screen(const std::string& name) {
        const std::string path = nav.folder().file(name + ".ppm");
        EXPECT_TRUE(x.screenshot(path));
        return fileText(path);
    }

    XServer x;
    Navigator nav{false};
    Window w = 0;
    int width = 0, height = 0;
    int answered = 0;
};

TEST_F(DamagedMap, EachFailedBlockIsReportedOnceAndTheProgramStaysUsable) {
    // Each pan moves the view by about half a cell; the damaged cells reach
    // five cells out on either side of the start cell.
    constexpr int kPansPastTheStrip = 12;
    const std::string before = screen("before");
    // East past the end of the strip, back west past its other end, and east
    // again to the start: every damaged cell comes into view at least twice.
    for (int i = 0; i < kPansPastTheStrip; ++i) pan(true);
    const std::string east = screen("east");
    for (int i = 0; i < 2 * kPansPastTheStrip; ++i) pan(false);
    for (int i = 0; i < kPansPastTheStrip; ++i) pan(true);
    ASSERT_TRUE(nav.tevo().running()) << nav.console();

    const std::string errors = nav.tevo().errors();
    std::cout << "boxes: " << boxes() << "\n" << errors << std::endl;
    // Two damaged cells of each kind, each reported once.
    for (const char* message : {kWrongBlock, kWrongPoi, kWrongLine, kWrongPolygon})
        EXPECT_EQ(2, count(errors, std::string(message) + "\n")) << message;

    // Frames keep coming: the pans moved the picture, and a key changes it.
    EXPECT_NE(before, east);
    const std::string still = screen("still");
    ASSERT_EQ(0, xdotool(x, {"key", "--window", std::to_string(w), "Up"}));
    std::string zoomed = still;
    for (int i = 0; i < 20 && zoomed == still; ++i) { // a busy machine draws late
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        zoomed = screen("zoomed");
    }
    EXPECT_NE(still, zoomed);
    EXPECT_EQ(0, nav.stop()) << nav.console();
}

} // namespace
} // namespace tevo::test
