// Binding, clearing, the square-root table, and the clip rectangle held by
// every primitive.
#include "render/raster_support.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tevo {
namespace {

using test::kInk;
using test::kPaper;

TEST(Painter, SquareRootTableAndBeyond) {
    struct Case {
        int64_t v;
        int32_t root;
    };
    const Case cases[] = {{0, 0},       {1, 1},
                          {3, 1},       {4, 2},
                          {15, 3},      {16, 4},
                          {4095, 63},   {4096, 64},
                          {4160, 64},   {4161, 65},
                          {20000, 141}, {-16, 4},
                          {-4097, 64},  {int64_t{1} << 40, 1 << 20}};
    // Truncated in the table, rounded to nearest above it.
    for (const Case& k : cases) EXPECT_EQ(isqrt(k.v), k.root) << k.v;
}

TEST(Painter, BindingWhileBusyIsRefusedAndChangesNothing) {
    test::SurfacePtr a = test::makeSurface(30, 20, 32), b = test::makeSurface(60, 40, 32);
    cPainter painter(a.get());
    painter.setClip({2, 2, 10, 10});
    {
        cPainter::BusyGuard drawing(painter);
        EXPECT_FALSE(painter.bindSurface(b.get()));
        EXPECT_EQ(painter.surface(), a.get());
        EXPECT_EQ(painter.clip(), (PixelRect{2, 2, 10, 10}));
        cPainter::BusyGuard nested(painter);
    }
    EXPECT_FALSE(painter.busy());
    EXPECT_TRUE(painter.bindSurface(b.get()));
    EXPECT_EQ(painter.surface(), b.get());
    EXPECT_EQ(painter.clip(), (PixelRect{0, 0, 59, 39}));
    EXPECT_EQ(painter.fillArea(), painter.clip());
    EXPECT_EQ(painter.bounds(), painter.clip());
}

TEST(Painter, RefusesSurfacesItCannotAddress) {
    test::SurfacePtr good = test::makeSurface(10, 10, 16);
    test::SurfacePtr eight(SDL_CreateRGBSurface(SDL_SWSURFACE, 10, 10, 8, 0, 0, 0, 0));
    test::SurfacePtr three(
        SDL_CreateRGBSurface(SDL_SWSURFACE, 10, 10, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0));
    cPainter painter(good.get());
    EXPECT_FALSE(painter.bindSurface(nullptr));
    EXPECT_FALSE(painter.bindSurface(eight.get()));
    EXPECT_FALSE(painter.bindSurface(three.get()));
    EXPECT_EQ(painter.surface(), good.get());

    // Built on a surface it cannot draw into, it draws nothing at all.
    cPainter unbound(eight.get());
    const ScreenPoint tri[] = {{0, 0}, {9, 9}, {0, 9}};
    EXPECT_FALSE(unbound.fillPolygon(tri, 3));
    EXPECT_FALSE(unbound.drawLine(0, 0, 9, 9));
    EXPECT_FALSE(unbound.fillDisc(3, 5, 5));
}

TEST(Painter, WiderSurfaceGrowsTheSpanBuffer) {
    test::SurfacePtr narrow = test::makeSurface(16, 4, 32), wide = test::makeSurface(2000, 6, 32);
    cPainter painter(narrow.get());
    ASSERT_TRUE(painter.bindSurface(wide.get()));
    test::fillSurface(wide.get(), painter.mapColour(kPaper));
    painter.setFillColour(painter.mapColour(kInk));
    const ScreenPoint band[] = {{-10, 0}, {3000, 0}, {3000, 5}, {-10, 5}};
    EXPECT_TRUE(painter.fillPolygon(band, 4));
    EXPECT_TRUE(painter.fillDisc(5000, 1000, 3));
    EXPECT_EQ(test::countPixels(wide.get(), painter.mapColour(kInk)), 2000 * 6);
}

TEST(Painter, ClearAreaMapsRedFromTheLowByte) {
    for (int bpp : {16, 32}) {
        test::SurfacePtr s = test::makeSurface(8, 8, bpp);
        cPainter painter(s.get());
        test::fillSurface(s.get(), 0);
        painter.setFillArea({2, 3, 5, 6});
        painter.clearArea(0x000000FF);
        Uint8 r, g, b;
        SDL_GetRGB(test::pixelAt(s.get(), 2, 3), s->format, &r, &g, &b);
        EXPECT_EQ(r, 255);
        EXPECT_EQ(g, 0);
        EXPECT_EQ(b, 0);
        EXPECT_EQ(test::countPixels(s.get(), painter.mapColour(0x000000FF)), 16);
    }
}

TEST(Painter, ClipRectangleStaysInsideTheSurface) {
    test::SurfacePtr s = test::makeSurface(20, 10, 32);
    cPainter painter(s.get());
    painter.setClip({-50, -50, 500, 500});
    EXPECT_EQ(painter.clip(), (PixelRect{0, 0, 19, 9}));
    painter.setFillArea({-5, 2, 100, 3});
    EXPECT_EQ(painter.fillArea(), (PixelRect{0, 2, 19, 3}));
}

// Random shapes of every kind, drawn with a clip rectangle inside the surface
// and with the whole surface as clip: inside the rectangle the pixels agree,
// outside it the guard border is untouched.
TEST(Painter, EveryPrimitiveKeepsToItsClipRectangle) {
    std::mt19937 rng(77);
    int inked = 0;
    const auto coord = [&](int lo, int hi) {
        const uint32_t pick = rng() % 20;
        if (pick == 0) return static_cast<int32_t>(1 << 30) - static_cast<int32_t>(rng() % 100);
        if (pick == 1) return -static_cast<int32_t>(1 << 30) + static_cast<int32_t>(rng() % 100);
        return static_cast<int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1)));
    };
    for (int bpp : {16, 32}) {
        for (int round = 0; round < 300; ++round) {
            test::SurfacePtr whole = test::makeSurface(120, 90, bpp),
                             part = test::makeSurface(120, 90, bpp);
            cPainter a(whole.get()), b(part.get());
            const PixelRect clip{8 + static_cast<int>(rng() % 30), 8 + static_cast<int>(rng() % 20),
                                 70 + static_cast<int>(rng() % 40),
                                 50 + static_cast<int>(rng() % 30)};
            b.setClip(clip);
            std::vector<ScreenPoint> points;
            const int n = 2 + static_cast<int>(rng() % 40);
            for (int i = 0; i < n; ++i) points.push_back({coord(-150, 270), coord(-150, 240)});
            const int kind = static_cast<int>(rng() % 5);
            const int32_t r = static_cast<int32_t>(rng() % 80),
                          r2 = static_cast<int32_t>(rng() % 80);
            const float da = static_cast<float>(rng() % 200) / 10 - 10,
                        db = static_cast<float>(rng() % 200) / 10 - 10;
            for (cPainter* p : {&a, &b}) {
                test::fillSurface(p->surface(), p->mapColour(kPaper));
                p->setFillColour(p->mapColour(kInk));
                p->setLineColour(p->mapColour(kInk));
                p->setLineWidth(static_cast<int32_t>(n % 9));
                p->depth().create(120, 90, 2);
                switch (kind) {
                case 0:
                    p->fillPolygon(points.data(), n);
                    break;
                case 1:
                    p->fillEdgeTable(points.data(), n);
                    break;
                case 2:
                    p->fillPolygonDepth(points.data(), n, da, db, 5000);
                    break;
                case 3:
                    p->fillDisc(r, points[0].x % 300, points[0].y % 300);
                    break;
                default:
                    p->fillRing(r2, r, points[0].x % 300, points[0].y % 300);
                    break;
                }
            }
            for (int y = 0; y < 90; ++y)
                for (int x = 0; x < 120; ++x) {
                    const uint32_t want = clip.contains(x, y) ? test::pixelAt(whole.get(), x, y)
                                                              : b.mapColour(kPaper);
                    inked += want != b.mapColour(kPaper);
                    ASSERT_EQ(test::pixelAt(part.get(), x, y), want)
                        << "kind " << kind << " round " << round << " bpp " << bpp << " at " << x
                        << "," << y;
                }
        }
    }
    EXPECT_GT(inked, 100000); // the shapes did cover the clip rectangles
}

} // namespace
} // namespace tevo
