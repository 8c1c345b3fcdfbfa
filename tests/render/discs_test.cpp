// Filled discs and rings.
#include "render/raster_support.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

using test::kInk;
using test::kPaper;

using test::Canvas;

TEST(PainterDiscs, RowsFollowTheSquareRootTable) {
    for (int bpp : {16, 32}) {
        Canvas c(21, 21, bpp);
        EXPECT_TRUE(c.painter.fillDisc(3, 10, 10));
        EXPECT_EQ(c.rows(6, 6, 14, 14), ".........\n"
                                        "....#....\n"
                                        "..#####..\n"
                                        "..#####..\n"
                                        ".#######.\n"
                                        "..#####..\n"
                                        "..#####..\n"
                                        "....#....\n"
                                        ".........\n");
    }
}

TEST(PainterDiscs, RadiusZeroSetsOnePixel) {
    Canvas c(5, 5);
    EXPECT_TRUE(c.painter.fillDisc(0, 2, 2));
    EXPECT_EQ(test::countPixels(c.surface.get(), c.painter.mapColour(kInk)), 1);
    EXPECT_EQ(test::pixelAt(c.surface.get(), 2, 2), c.painter.mapColour(kInk));
}

TEST(PainterDiscs, RingLeavesTheHoleOpen) {
    Canvas c(21, 21);
    EXPECT_TRUE(c.painter.fillRing(2, 4, 10, 10));
    // The inner circle's rows keep only the pieces either side of its span.
    EXPECT_EQ(c.rows(5, 5, 15, 15), "...........\n"
                                    ".....#.....\n"
                                    "...#####...\n"
                                    "..###.###..\n"
                                    "..##...##..\n"
                                    ".##.....##.\n"
                                    "..##...##..\n"
                                    "..###.###..\n"
                                    "...#####...\n"
                                    ".....#.....\n"
                                    "...........\n");
}

TEST(PainterDiscs, RingWithInnerRadiusAboveOuterDrawsNothing) {
    Canvas c(20, 20);
    EXPECT_FALSE(c.painter.fillRing(6, 5, 10, 10));
    EXPECT_FALSE(c.painter.fillDisc(-1, 10, 10));
    EXPECT_EQ(test::countPixels(c.surface.get(), c.painter.mapColour(kInk)), 0);
}

TEST(PainterDiscs, HugeRadiusCoversTheSurface) {
    Canvas c(40, 30);
    EXPECT_TRUE(c.painter.fillDisc(1 << 30, 20, 15));
    EXPECT_EQ(test::countPixels(c.surface.get(), c.painter.mapColour(kInk)), 40 * 30);
    Canvas far(40, 30);
    EXPECT_FALSE(far.painter.fillDisc(5, 1 << 30, -(1 << 30)));
}

} // namespace
} // namespace tevo
