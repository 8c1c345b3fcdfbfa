// One-pixel, wide, dashed and clipped lines, and polylines.
#include "render/raster_support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace tevo {
namespace {

using test::kInk;
using test::kPaper;
using test::makeSurface;
using test::pixelAt;

using PixelSet = std::set<std::pair<int, int>>;

PixelSet inked(const SDL_Surface* s, uint32_t ink) {
    PixelSet out;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            if (pixelAt(s, x, y) == ink) out.insert({x, y});
    return out;
}

struct Canvas {
    explicit Canvas(int w, int h, int bpp = 32)
        : surface(makeSurface(w, h, bpp)), painter(surface.get()) {
        test::fillSurface(surface.get(), painter.mapColour(kPaper));
        painter.setLineColour(painter.mapColour(kInk));
    }
    uint32_t ink() const { return painter.mapColour(kInk); }
    PixelSet pixels() const { return inked(surface.get(), ink()); }
    test::SurfacePtr surface;
    cPainter painter;
};

TEST(PainterLines, HorizontalLineFarOutsideSetsOnlyTheVisibleRow) {
    Canvas c(320, 12);
    EXPECT_TRUE(c.painter.drawLine1(-100, 5, 1000, 5));
    PixelSet expected;
    for (int x = 0; x < 320; ++x) expected.insert({x, 5});
    EXPECT_EQ(c.pixels(), expected);
}

TEST(PainterLines, MinorAxisStepsWhenTheErrorReachesTheMajorDelta) {
    // Pixel n of (0,0)-(10,3) lies on row floor(3n / 10); the far end is exact.
    Canvas c(12, 5);
    c.painter.drawLine1(0, 0, 10, 3);
    EXPECT_EQ(test::picture(c.surface.get(), c.ink(), 0, 0, 11, 3), "####........\n"
                                                                    "....###.....\n"
                                                                    ".......###..\n"
                                                                    "..........#.\n");
}

TEST(PainterLines, WalkSetsTheFloorRulePixelsInEveryDirection) {
    // Pixel n of a line: one step per pixel along the longer axis, and
    // floor(n * minor / major) along the other, from the start point.
    std::mt19937 rng(4);
    for (int round = 0; round < 400; ++round) {
        Canvas c(64, 64, round % 2 ? 16 : 32);
        const int x0 = static_cast<int>(rng() % 64), y0 = static_cast<int>(rng() % 64);
        const int x1 = static_cast<int>(rng() % 64), y1 = static_cast<int>(rng() % 64);
        c.painter.drawLine1(x0, y0, x1, y1);
        const int dx = x1 - x0, dy = y1 - y0;
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const int major = xMajor ? std::abs(dx) : std::abs(dy);
        const int minor = xMajor ? std::abs(dy) : std::abs(dx);
        const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
        PixelSet expected;
        for (int n = 0; n <= major; ++n) {
            const int m = major == 0 ? 0 : n * minor / major;
            expected.insert(xMajor ? std::make_pair(x0 + sx * n, y0 + sy * m)
                                   : std::make_pair(x0 + sx * m, y0 + sy * n));
        }
        ASSERT_EQ(c.pixels(), expected) << x0 << "," << y0 << " to " << x1 << "," << y1;
    }
}

TEST(PainterLines, WhollyOutsideLinesDrawNothing) {
    struct Case {
        int x0, y0, x1, y1;
    };
    const Case cases[] = {
        {-10, -5, 30, -1},  // above
        {-10, -5, -1, 30},  // above-left to left
        {25, -5, 25, 40},   // right side, corner to corner
        {-20, 10, 10, -20}, // cuts the corner region only
    };
    for (const Case& k : cases) {
        Canvas c(20, 20);
        EXPECT_FALSE(c.painter.drawLine1(k.x0, k.y0, k.x1, k.y1)) << k.x0 << "," << k.y0;
        EXPECT_TRUE(c.pixels().empty());
    }
}

TEST(PainterLines, DashPatternDrawsEightOnEightOffAlongARow) {
    Canvas c(64, 1);
    c.painter.setDashPattern(0x00FF);
    c.painter.drawLine1(0, 0, 63, 0);
    std::string expected;
    for (int x = 0; x < 64; ++x) expected += (x / 8) % 2 == 0 ? '#' : '.';
    EXPECT_EQ(test::picture(c.surface.get(), c.ink(), 0, 0, 63, 0), expected + "\n");
}

TEST(PainterLines, DashesKeepTheirLengthAlongADiagonal) {
    Canvas c(100, 100);
    c.painter.setDashPattern(0x00FF);
    c.painter.drawLine1(0, 0, 99, 99);
    std::vector<int> runs;
    int run = 0;
    for (int i = 0; i < 100; ++i) {
        if (pixelAt(c.surface.get(), i, i) == c.ink()) {
            ++run;
        } else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    ASSERT_GT(runs.size(), 5u);
    for (int r : runs) EXPECT_TRUE(r == 5 || r == 6) << r;
}

TEST(PainterLines, PolylineDashesRunOnAcrossCorners) {
    Canvas c(12, 12);
    c.painter.setDashPattern(0x8888);
    const ScreenPoint path[] = {{0, 0}, {10, 0}, {10, 10}};
    EXPECT_TRUE(c.painter.drawPolyline(3, path));
    // The first leg ends on phase 9, so the second one's dots come at 2, 6
    // and 10 rather than at 3 and 7 as a fresh start would put them.
    const PixelSet expected{{3, 0}, {7, 0}, {10, 2}, {10, 6}, {10, 10}};
    EXPECT_EQ(c.pixels(), expected);
}

TEST(PainterLines, WidthGivesParallelLinesBelowSixAndAQuadrilateralFromSix) {
    struct Case {
        int width, firstRow, lastRow;
    };
    // A horizontal line at row 10 from x 0 to 100: the offset (0, 1 - width)
    // moves it down by half, the quadrilateral loses its top row.
    const Case cases[] = {{1, 10, 10}, {2, 10, 11}, {3, 9, 11}, {4, 9, 12},
                          {5, 8, 12},  {6, 9, 13},  {7, 8, 13}, {9, 7, 14}};
    for (int bpp : {16, 32}) {
        for (const Case& k : cases) {
            Canvas c(110, 30, bpp);
            c.painter.setLineWidth(k.width);
            EXPECT_TRUE(c.painter.drawLine(0, 10, 100, 10));
            PixelSet expected;
            for (int y = k.firstRow; y <= k.lastRow; ++y)
                for (int x = 0; x <= 100; ++x) expected.insert({x, y});
            EXPECT_EQ(c.pixels(), expected) << "width " << k.width << " bpp " << bpp;
        }
    }
}

TEST(PainterLines, DiagonalWideLinesHaveNoGaps) {
    // Parallel lines one diagonal step apart would leave holes; the extra
    // line closes them, so every row crossing the middle is one solid run.
    for (int width : {2, 3, 4, 5}) {
        Canvas c(80, 80);
        c.painter.setLineWidth(width);
        c.painter.drawLine(10, 10, 60, 40);
        for (int x = 20; x <= 50; ++x) {
            int first = -1, last = -1, count = 0;
            for (int y = 0; y < 80; ++y) {
                if (pixelAt(c.surface.get(), x, y) != c.ink()) continue;
                if (first < 0) first = y;
                last = y;
                ++count;
            }
            EXPECT_EQ(count, last - first + 1) << "width " << width << " column " << x;
        }
    }
}

TEST(PainterLines, PointOrZeroWidthSetsTheStartPixel) {
    Canvas c(10, 10);
    EXPECT_FALSE(c.painter.drawLine(3, 4, 3, 4));
    c.painter.setLineWidth(0);
    EXPECT_FALSE(c.painter.drawLine(6, 7, 9, 9));
    EXPECT_EQ(c.pixels(), (PixelSet{{3, 4}, {6, 7}}));
}

TEST(PainterLines, VisiblePathJoinsSegmentsThatMeet) {
    Canvas c(100, 100);
    for (int width : {1, 3}) {
        c.painter.setLineWidth(width);
        const ScreenPoint path[] = {{-50, 10}, {50, 10}, {50, 200}, {-30, -30}, {-40, -40}};
        std::vector<ScreenPoint> visible;
        EXPECT_TRUE(c.painter.drawPolylineVisible(5, path, visible));
        // The second leg starts where the first ended: only its end is added.
        // The third runs back from (50, 200) and enters the surface elsewhere:
        // both of its ends are added. The last one is not visible.
        const std::vector<ScreenPoint> expected{{0, 10}, {50, 10}, {50, 99}};
        ASSERT_EQ(visible.size(), 5u) << "width " << width;
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(visible[i], expected[i]) << i;
    }
}

TEST(PainterLines, ClippedEndsAreTheFirstAndLastPixelsDrawn) {
    Canvas c(50, 50);
    c.painter.setClip({10, 10, 39, 39});
    Segment ends;
    ASSERT_TRUE(c.painter.drawLine1(0, 0, 49, 20, &ends));
    const PixelSet drawn = c.pixels();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(ends.from.x, drawn.begin()->first);
    EXPECT_EQ(ends.to.x, drawn.rbegin()->first);
    EXPECT_TRUE(drawn.count({ends.from.x, ends.from.y}));
    EXPECT_TRUE(drawn.count({ends.to.x, ends.to.y}));
}

// A line drawn with a small clip rectangle sets exactly the pixels that the
// same line drawn with the whole surface as clip sets inside that rectangle,
// and nothing outside it: widths, patterns, dash phases and both pixel sizes.
TEST(PainterLines, ClippingKeepsThePixelsOfTheWholeLine) {
    std::mt19937 rng(20261208);
    const auto coord = [&](int lo, int hi) {
        if (rng() % 16 == 0)
            return static_cast<int32_t>(rng() % 2 ? 1 << 30 : -(1 << 30)) +
                   static_cast<int32_t>(rng() % 1000);
        return static_cast<int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1)));
    };
    const uint32_t patterns[] = {0xFFFF, 0x00FF, 0x8888, 0x0F0F, 0x5A5A};
    size_t compared = 0;
    for (int bpp : {16, 32}) {
        for (int round = 0; round < 250; ++round) {
            Canvas whole(160, 120, bpp), part(160, 120, bpp);
            const PixelRect clip{coord(0, 70), coord(0, 50), coord(80, 159), coord(60, 119)};
            part.painter.setClip(clip);
            const int width = 1 + static_cast<int>(rng() % 9);
            const uint32_t pattern = patterns[rng() % 5];
            std::vector<ScreenPoint> path;
            const int points = 2 + static_cast<int>(rng() % 3);
            for (int i = 0; i < points; ++i) path.push_back({coord(-200, 360), coord(-200, 320)});
            for (Canvas* c : {&whole, &part}) {
                c->painter.setLineWidth(width);
                c->painter.setDashPattern(pattern);
                c->painter.drawPolyline(points, path.data());
            }
            const PixelRect& used = part.painter.clip();
            PixelSet expected;
            for (auto p : whole.pixels())
                if (used.contains(p.first, p.second)) expected.insert(p);
            compared += expected.size();
            ASSERT_EQ(part.pixels(), expected) << "round " << round << " bpp " << bpp << " width "
                                               << width << " pattern " << pattern;
            ASSERT_FALSE(
                test::touchedOutside(part.surface.get(), used, part.painter.mapColour(kPaper)));
        }
    }
    // The lines met the clip rectangles often enough for the comparison to mean something.
    EXPECT_GT(compared, 10000u);
}

} // namespace
} // namespace tevo
