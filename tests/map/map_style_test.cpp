#include "map/map_style.hpp"
#include "map_test_util.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

bool sameLine(const LineStyle& a, const LineStyle& b) {
    return a.type == b.type && a.pattern == b.pattern && a.width == b.width &&
           a.colour == b.colour && a.pattern2 == b.pattern2 && a.width2 == b.width2 &&
           a.colour2 == b.colour2;
}

TEST(MapStyle, PolylineLines) {
    struct Case {
        const char* line;
        int32_t type;
        LineStyle expected;
    };
    const Case cases[] = {
        {"1 0 3 ff 0 0 0", 1, {1, 0, 3, 0xFF, 0, 0, 0}},
        {"2 1 4 0 2 2 ffffff ; road", 2, {2, 1, 4, 0, 2, 2, 0xFFFFFF}},
        {"5  3 ff 0 0 0 0", 5, {5, 0, 3, 0xFF, 0, 0, 0}},
        {"   6 1 2", 6, {6, 1, 2, 0, 0, 0, 0}},
        {"7 0 ffffffff 0 0 -3 0", 7, {7, 0, 0, 0, 0, 0, 0}},
        {"8 0 0x10 zz 0 0 0", 8, {8, 0, 16, 0, 0, 0, 0}},
        {"9\t1 5 ff", 9, {9, 5, 0xFF, 0, 0, 0, 0}}, // a tab does not separate
        {"48 2 1 1 0 0 0", 0x48, {0x48, 2, 1, 1, 0, 0, 0}},
        {"49 2 1 1 0 0 0", 0x49, {1, 1, 1, 0xFF, 0, 0, 0}}, // outside the table
        {"; only a comment", 0, {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        cMapStyle style;
        style.parse(std::string("[POLYLINES]\n") + c.line + "\n");
        EXPECT_TRUE(sameLine(style.lineStyle(c.type), c.expected)) << c.line;
    }
    EXPECT_EQ(linePattern(1), 0x00FF);
    EXPECT_EQ(linePattern(2), 0x8888);
    EXPECT_EQ(linePattern(0), 0xFFFF);
    EXPECT_EQ(linePattern(3), 0xFFFF);
    cMapStyle empty;
    EXPECT_TRUE(sameLine(empty.lineStyle(-1), {1, 1, 1, 0xFF, 0, 0, 0}));
    EXPECT_TRUE(sameLine(empty.lineStyle(73), {1, 1, 1, 0xFF, 0, 0, 0}));
    EXPECT_TRUE(sameLine(empty.lineStyle(72), {}));
}

// A polyline type just past the table changes nothing, not even the area
// styles stored beside the table.
TEST(MapStyle, PolylineTypePastTheTableIsDropped) {
    cMapStyle style;
    style.parse("[POLYLINES]\n49 2 1 1 0 0 0\n");
    EXPECT_TRUE(sameLine(style.lineStyle(0x49), {1, 1, 1, 0xFF, 0, 0, 0}));
    const AreaStyle& first = style.areaStyle(0);
    EXPECT_EQ(first.type, 0);
    EXPECT_EQ(first.textFlag, 0);
    EXPECT_EQ(first.colour, 0);
    EXPECT_EQ(first.text, "");
}

TEST(MapStyle, PolygonLines) {
    struct Case {
        const char* line;
        int32_t type;
        AreaStyle expected;
    };
    const Case cases[] = {
        {"4b 0 c0e0f0", 0x4B, {0x4B, 0, 0xC0E0F0, ""}},
        {"3 1 word", 3, {3, 1, 0, "word"}},
        {"3 1 two words ; and a comment", 3, {3, 1, 0, "two words "}},
        {"ff 0 12", 255, {255, 0, 0x12, ""}},
        {"100 0 12", 256, {-1, 0, 0, ""}},
        {"6 0", 6, {6, 0, 0, ""}},
    };
    for (const Case& c : cases) {
        cMapStyle style;
        style.parse(std::string("[POLYGONS]\r\n") + c.line + "\r\n");
        const AreaStyle& a = style.areaStyle(c.type);
        EXPECT_EQ(a.type, c.expected.type) << c.line;
        EXPECT_EQ(a.textFlag, c.expected.textFlag) << c.line;
        EXPECT_EQ(a.colour, c.expected.colour) << c.line;
        EXPECT_EQ(a.text, c.expected.text) << c.line;
    }
    // Background colour: red 0xF0, green 0xE0, blue 0xC0.
    cMapStyle style;
    style.parse("[POLYGONS]\n4b 0 c0e0f0\n");
    const int32_t bg = style.areaStyle(kBackgroundAreaType).colour;
    EXPECT_EQ(bg & 0xFF, 0xF0);
    EXPECT_EQ((bg >> 8) & 0xFF, 0xE0);
    EXPECT_EQ((bg >> 16) & 0xFF, 0xC0);
}

TEST(MapStyle, SectionsAndFileHandling) {
    cMapStyle style;
    style.parse("1 0 3 ff 0 0 0\n" // before any section: ignored
                "\n"
                "[POLYLINES]\n"
                "1 0 3 ff 0 0 0\n"
                " [POLYGONS]\n"    // not exactly the header: a style line
                "1 0 5 ff 0 0 0\n" // a type given twice takes the later line
                "[POLYGONS]\n"
                "2 0 abc\n"
                "[polylines]\n" // case matters
                "3 0 def");     // the last line needs no line end
    EXPECT_EQ(style.lineStyle(1).width, 5);
    EXPECT_EQ(style.areaStyle(2).colour, 0xABC);
    EXPECT_EQ(style.areaStyle(3).colour, 0xDEF);
    EXPECT_EQ(style.lineStyle(3).width, 0);

    cMapStyle missing;
    EXPECT_FALSE(missing.load("/nonexistent/tevo.skn"));
    const std::string path = test::tempPath("style.skn");
    ASSERT_TRUE(test::writeBytes(path, {'[', 'P', 'O', 'L', 'Y', 'G', 'O', 'N', 'S', ']', '\n', '4',
                                        'b', ' ', '0', ' ', 'f', 'f', '\n'}));
    cMapStyle fromFile;
    EXPECT_TRUE(fromFile.load(path));
    EXPECT_EQ(fromFile.areaStyle(0x4B).colour, 0xFF);
}

} // namespace
} // namespace tevo
