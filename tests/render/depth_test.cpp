// The depth buffer and the depth-tested fill.
#include "render/raster/projection.hpp"
#include "render/raster_support.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tevo {
namespace {

using test::kBlue;
using test::kPaper;
using test::kRed;

struct Canvas {
    Canvas(int w, int h, int bpp = 32, int depthBytes = 2)
        : surface(test::makeSurface(w, h, bpp)), painter(surface.get()) {
        test::fillSurface(surface.get(), painter.mapColour(kPaper));
        EXPECT_TRUE(painter.depth().create(w, h, depthBytes));
    }
    uint32_t colour(uint32_t bgr) const { return painter.mapColour(bgr); }
    uint32_t at(int x, int y) const { return test::pixelAt(surface.get(), x, y); }
    test::SurfacePtr surface;
    cPainter painter;
};

TEST(ZBuffer, CreateChoosesTheEntrySize) {
    struct Case {
        int requested;
        bool ok;
        int entry;
        int maxDepth;
    };
    const Case cases[] = {{0, false, 0, 0},
                          {1, true, 1, 255},
                          {2, true, 2, 65535},
                          {3, true, 2, 65535},
                          {8, true, 2, 65535}};
    for (const Case& k : cases) {
        cZBuffer z;
        EXPECT_EQ(z.create(16, 8, k.requested), k.ok) << k.requested;
        EXPECT_EQ(z.entrySize(), k.entry);
        EXPECT_EQ(z.maxDepth(), k.maxDepth);
        if (k.ok) {
            EXPECT_EQ(z.size(), 16 * 8 * k.entry);
        }
    }
    cZBuffer z;
    EXPECT_FALSE(z.create(-4, 8, 2));
    EXPECT_FALSE(z.create(1 << 20, 1 << 20, 2)); // more than 32-bit sizes
    EXPECT_FALSE(z.hasStorage());
    ASSERT_TRUE(z.create(4, 4, 2));
    ASSERT_TRUE(z.resize(10, 3));
    EXPECT_EQ(z.rowBytes(), 20);
    EXPECT_EQ(z.at(9, 2), 0u);
}

const ScreenPoint kSquare[] = {{10, 10}, {90, 10}, {90, 90}, {10, 90}};

TEST(PainterDepthFill, CrossingPlanesKeepTheNearerPixel) {
    // Depth 10x against depth 10y: the diagonal x = y is where they cross.
    for (int bpp : {16, 32}) {
        for (bool redFirst : {true, false}) {
            Canvas c(100, 100, bpp);
            const auto draw = [&](uint32_t colour, float a, float b) {
                c.painter.setFillColour(c.colour(colour));
                EXPECT_TRUE(c.painter.fillPolygonDepth(kSquare, 4, a, b, 0));
            };
            if (redFirst) {
                draw(kRed, 10, 0);
                draw(kBlue, 0, 10);
            } else {
                draw(kBlue, 0, 10);
                draw(kRed, 10, 0);
            }
            for (int y = 11; y <= 90; ++y) {
                for (int x = 10; x <= 90; ++x) {
                    // Equal depths keep what was there first.
                    const uint32_t want = x > y ? kRed : y > x ? kBlue : (redFirst ? kRed : kBlue);
                    ASSERT_EQ(c.at(x, y), c.colour(want)) << x << "," << y;
                    ASSERT_EQ(c.painter.depth().at(x, y),
                              static_cast<uint32_t>(10 * std::max(x, y)));
                }
            }
            EXPECT_EQ(c.at(50, 10), c.colour(kPaper)); // the top row stays out
        }
    }
}

TEST(PainterDepthFill, TiltedFaceCutsAnUprightOneAtTheirCrossing) {
    // An upright face at depth 600 and a face tilted so that its depth is
    // 600 + y: they cross on the camera's horizon row, above which the
    // tilted face is the nearer.
    const Camera camera(100, 100, -500, 200, 200);
    const CameraPoint upright[] = {
        {-150, -150, 600}, {150, -150, 600}, {150, 150, 600}, {-150, 150, 600}};
    const CameraPoint tilted[] = {
        {-100, -120, 480}, {100, -120, 480}, {100, 120, 720}, {-100, 120, 720}};
    for (bool uprightFirst : {true, false}) {
        Canvas c(200, 200);
        const auto draw = [&](const CameraPoint* face, uint32_t colour) {
            std::vector<ScreenPoint> screen;
            ASSERT_TRUE(projectPolygonCamera(camera, face, 4, 10, 3000, screen));
            const DepthPlane plane = depthPlane(face[0], face[1], face[2], camera, 65535);
            c.painter.setFillColour(c.colour(colour));
            c.painter.fillPolygonDepth(screen.data(), 4, plane.a, plane.b, plane.c);
        };
        if (uprightFirst) {
            draw(upright, kRed);
            draw(tilted, kBlue);
        } else {
            draw(tilted, kBlue);
            draw(upright, kRed);
        }
        // Columns inside both faces, rows clear of the crossing.
        for (int x = 40; x <= 160; x += 10) {
            for (int y = 30; y <= 95; ++y) EXPECT_EQ(c.at(x, y), c.colour(kBlue)) << x << "," << y;
            for (int y = 105; y <= 170; ++y) EXPECT_EQ(c.at(x, y), c.colour(kRed)) << x << "," << y;
        }
    }
}

TEST(PainterDepthFill, EqualDepthDoesNotOverwrite) {
    Canvas c(100, 100);
    c.painter.setFillColour(c.colour(kRed));
    c.painter.fillPolygonDepth(kSquare, 4, 0, 0, 300);
    c.painter.setFillColour(c.colour(kBlue));
    c.painter.fillPolygonDepth(kSquare, 4, 0, 0, 300);
    EXPECT_EQ(c.at(50, 50), c.colour(kRed));
    c.painter.fillPolygonDepth(kSquare, 4, 0, 0, 300.99f); // same whole depth
    EXPECT_EQ(c.at(50, 50), c.colour(kRed));
    c.painter.fillPolygonDepth(kSquare, 4, 0, 0, 301);
    EXPECT_EQ(c.at(50, 50), c.colour(kBlue));
}

TEST(PainterDepthFill, DepthsAreClampedToTheEntryRange) {
    for (int bytes : {1, 2}) {
        Canvas c(100, 100, 32, bytes);
        c.painter.setFillColour(c.colour(kRed));
        c.painter.fillPolygonDepth(kSquare, 4, 0, 0, -50); // behind everything: never drawn
        EXPECT_EQ(c.at(50, 50), c.colour(kPaper));
        c.painter.fillPolygonDepth(kSquare, 4, 1e30f, 0, 1e30f);
        EXPECT_EQ(c.at(50, 50), c.colour(kRed));
        EXPECT_EQ(c.painter.depth().at(50, 50),
                  static_cast<uint32_t>(c.painter.depth().maxDepth()));
        c.painter.setFillColour(c.colour(kBlue));
        c.painter.fillPolygonDepth(kSquare, 4, std::nanf(""), 0, 1e9f); // nonsense plane: no crash
    }
}

TEST(PainterDepthFill, ConcaveSpansIncludeBothEnds) {
    Canvas c(16, 12);
    const ScreenPoint u[] = {{0, 0}, {4, 0}, {4, 6}, {8, 6}, {8, 0}, {12, 0}, {12, 10}, {0, 10}};
    c.painter.setFillColour(c.colour(kRed));
    EXPECT_TRUE(c.painter.fillPolygonDepth(u, 8, 0, 0, 100));
    EXPECT_EQ(test::picture(c.surface.get(), c.colour(kRed), 0, 0, 13, 8), "..............\n"
                                                                           "#####...#####.\n"
                                                                           "#####...#####.\n"
                                                                           "#####...#####.\n"
                                                                           "#####...#####.\n"
                                                                           "#####...#####.\n"
                                                                           "#####...#####.\n"
                                                                           "#############.\n"
                                                                           "#############.\n");
}

TEST(PainterDepthFill, StaysInsideASmallerDepthBuffer) {
    Canvas c(100, 100);
    ASSERT_TRUE(c.painter.depth().create(40, 30, 2));
    c.painter.setFillColour(c.colour(kRed));
    const ScreenPoint everything[] = {{-500, -500}, {500, -500}, {500, 500}, {-500, 500}};
    EXPECT_TRUE(c.painter.fillPolygonDepth(everything, 4, 0, 0, 10));
    EXPECT_FALSE(test::touchedOutside(c.surface.get(), {0, 0, 39, 29}, c.colour(kPaper)));
    EXPECT_EQ(c.at(39, 29), c.colour(kRed));

    cPainter bare(c.surface.get()); // no depth buffer: nothing to test against
    EXPECT_FALSE(bare.fillPolygonDepth(everything, 4, 0, 0, 10));
}

TEST(PainterDepthFill, PlaneThroughTheEyeDrawsNothing) {
    Canvas c(100, 100);
    const Camera camera(50, 50, -500, 100, 100);
    const DepthPlane plane = depthPlane({100, 0, 100}, {200, 0, 200}, {0, 100, 100}, camera, 65535);
    EXPECT_EQ(plane.a, 0);
    EXPECT_EQ(plane.b, 0);
    EXPECT_EQ(plane.c, 0);
    c.painter.setFillColour(c.colour(kRed));
    c.painter.fillPolygonDepth(kSquare, 4, plane.a, plane.b, plane.c);
    EXPECT_EQ(test::countPixels(c.surface.get(), c.colour(kRed)), 0);
}

} // namespace
} // namespace tevo
