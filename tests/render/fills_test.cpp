// Polygon fills: which pixels each fill sets, the choice between them, and
// polygons that are huge, degenerate or tangled.
#include "render/raster/polygon_walk.hpp"
#include "render/raster_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tevo {
namespace {

using test::kInk;
using test::kPaper;

struct Canvas : test::Canvas {
    using test::Canvas::Canvas;
    // First and last inked x of a row, or (-1, -1).
    std::pair<int, int> extent(int y) const {
        int first = -1, last = -1;
        for (int x = 0; x < surface->w; ++x)
            if (test::pixelAt(surface.get(), x, y) == ink()) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
    int inkedInRow(int y) const {
        int n = 0;
        for (int x = 0; x < surface->w; ++x) n += test::pixelAt(surface.get(), x, y) == ink();
        return n;
    }
};

const std::vector<ScreenPoint> kSquare{{1, 1}, {5, 1}, {5, 5}, {1, 5}};

TEST(PainterFills, MonotoneFillSetsBothEndsAndSkipsTheTopRow) {
    Canvas c(8, 8);
    EXPECT_TRUE(c.painter.fillMonotone(kSquare.data(), 4));
    EXPECT_EQ(c.rows(0, 0, 6, 6), ".......\n"
                                  ".......\n"
                                  ".#####.\n"
                                  ".#####.\n"
                                  ".#####.\n"
                                  ".#####.\n"
                                  ".......\n");
}

TEST(PainterFills, EdgeTableFillLeavesOutTheRightEnd) {
    Canvas c(8, 8);
    EXPECT_TRUE(c.painter.fillEdgeTable(kSquare.data(), 4));
    EXPECT_EQ(c.rows(0, 0, 6, 6), ".......\n"
                                  ".......\n"
                                  ".####..\n"
                                  ".####..\n"
                                  ".####..\n"
                                  ".####..\n"
                                  ".......\n");
}

TEST(PainterFills, ConcavePolygonTakesTheEdgeTableFill) {
    // A U: walking from the top vertex the y values fall again at the inner
    // corner, so the polygon is not monotone.
    Canvas c(16, 12);
    const ScreenPoint u[] = {{0, 0}, {4, 0}, {4, 6}, {8, 6}, {8, 0}, {12, 0}, {12, 10}, {0, 10}};
    EXPECT_TRUE(c.painter.fillPolygon(u, 8));
    EXPECT_EQ(c.rows(0, 0, 12, 10), ".............\n"
                                    "####....####.\n"
                                    "####....####.\n"
                                    "####....####.\n"
                                    "####....####.\n"
                                    "####....####.\n"
                                    "####....####.\n"
                                    "############.\n"
                                    "############.\n"
                                    "############.\n"
                                    "############.\n");
}

TEST(PainterFills, TriangleTakesTheMonotoneFill) {
    Canvas c(12, 12);
    const ScreenPoint t[] = {{5, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(c.painter.fillPolygon(t, 3));
    EXPECT_EQ(c.extent(0), std::make_pair(-1, -1));
    EXPECT_EQ(c.extent(10), std::make_pair(0, 10));
}

TEST(PainterFills, HorizontalRunsBelowTheTopAreFilled) {
    // The step at row 4 is a horizontal run met on the right chain.
    Canvas c(12, 12);
    const ScreenPoint p[] = {{0, 0}, {3, 0}, {3, 4}, {9, 4}, {9, 8}, {0, 8}};
    EXPECT_TRUE(c.painter.fillMonotone(p, 6));
    EXPECT_EQ(c.extent(3), std::make_pair(0, 3));
    EXPECT_EQ(c.extent(4), std::make_pair(0, 9));
    EXPECT_EQ(c.extent(5), std::make_pair(0, 9));
}

TEST(PainterFills, ClassificationSkipsPolygonsOnOneOuterSide) {
    struct Case {
        std::vector<ScreenPoint> points;
        bool processed;
    };
    const Case cases[] = {
        {{{-5, -5}, {5, -8}, {30, -2}}, false},  // above: three regions of one side
        {{{25, -5}, {30, 5}, {28, 25}}, false},  // right side
        {{{-5, 25}, {-8, 30}, {-2, 40}}, false}, // below-left corner only
        {{{5, -5}, {30, 5}, {25, -8}}, true},    // above and right: may cross the corner
        {{{-10, 10}, {30, 10}, {30, 12}}, true}, // left to right through the middle
        {{{2, 2}, {8, 2}, {5, 8}}, true},        // inside
    };
    for (const Case& k : cases) {
        Canvas c(20, 20);
        EXPECT_EQ(c.painter.fillPolygon(k.points.data(), static_cast<int>(k.points.size())),
                  k.processed)
            << k.points[0].x << "," << k.points[0].y;
    }
}

// The one-pass survey against the rules read literally: walk from the top
// vertex to the bottom one both ways; outside when every vertex lies in the
// outer regions of one side.
TEST(PainterFills, SurveyMatchesTheWalkingAndRegionRules) {
    std::mt19937 rng(9);
    const PixelRect clip{3, 3, 6, 6};
    for (int round = 0; round < 20000; ++round) {
        const int n = 3 + static_cast<int>(rng() % 6);
        std::vector<ScreenPoint> p;
        for (int i = 0; i < n; ++i)
            p.push_back({static_cast<int32_t>(rng() % 10), static_cast<int32_t>(rng() % 10)});
        const raster::Survey s = raster::survey(p.data(), n, clip);
        int top = 0, bottom = 0;
        for (int i = 1; i < n; ++i) {
            if (p[i].y < p[top].y || (p[i].y == p[top].y && p[i].x < p[top].x)) top = i;
            if (p[i].y > p[bottom].y) bottom = i;
        }
        bool monotone = true;
        for (int dir : {1, n - 1})
            for (int i = top; i != bottom; i = (i + dir) % n)
                if (p[(i + dir) % n].y < p[i].y) monotone = false;
        ASSERT_EQ(s.e.top, top);
        ASSERT_EQ(s.e.bottom, bottom);
        ASSERT_EQ(s.monotone, monotone) << "round " << round;
        unsigned regions = 0;
        bool anyInside = false;
        for (const ScreenPoint& q : p) {
            const int code = raster::regionCode(q.x, q.y, clip);
            anyInside |= code == raster::kInside;
            regions |= 1u << code;
        }
        const unsigned sides[] = {0b1110, 0b111000, 0b11100000, 0b110000010};
        bool outside = false;
        for (unsigned side : sides) outside |= !anyInside && (regions & ~side) == 0;
        ASSERT_EQ(s.kind == raster::PolygonClass::Outside, outside) << "round " << round;
    }
}

TEST(PainterFills, TooFewPointsDrawNothing) {
    Canvas c(10, 10);
    EXPECT_FALSE(c.painter.fillPolygon(nullptr, 3));
    EXPECT_FALSE(c.painter.fillPolygon(kSquare.data(), 1));
    EXPECT_FALSE(c.painter.fillPolygon(kSquare.data(), 0));
    EXPECT_EQ(test::countPixels(c.surface.get(), c.ink()), 0);
}

// Random convex polygons (hulls of random points): the monotone fill sets,
// row by row, what the edge-table fill sets plus the right end pixel.
std::vector<ScreenPoint> convexHull(std::vector<ScreenPoint> p) {
    std::sort(p.begin(), p.end(), [](const ScreenPoint& a, const ScreenPoint& b) {
        return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
    const auto cross = [](const ScreenPoint& o, const ScreenPoint& a, const ScreenPoint& b) {
        return int64_t{a.x - o.x} * (b.y - o.y) - int64_t{a.y - o.y} * (b.x - o.x);
    };
    std::vector<ScreenPoint> hull(2 * p.size());
    size_t k = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p[i]) <= 0) --k;
        hull[k++] = p[i];
    }
    for (size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], p[i - 1]) <= 0) --k;
        hull[k++] = p[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

TEST(PainterFills, MonotoneAndEdgeTableAgreeOnConvexPolygonsUpToTheRightEnd) {
    std::mt19937 rng(5);
    for (int bpp : {16, 32}) {
        for (int round = 0; round < 300; ++round) {
            std::vector<ScreenPoint> points;
            const int n = 3 + static_cast<int>(rng() % 12);
            for (int i = 0; i < n; ++i)
                points.push_back(
                    {static_cast<int32_t>(rng() % 90), static_cast<int32_t>(rng() % 70)});
            const std::vector<ScreenPoint> hull = convexHull(points);
            if (hull.size() < 3) continue;
            Canvas mono(90, 70, bpp), table(90, 70, bpp);
            mono.painter.fillMonotone(hull.data(), static_cast<int>(hull.size()));
            table.painter.fillEdgeTable(hull.data(), static_cast<int>(hull.size()));
            for (int y = 0; y < 70; ++y) {
                const auto m = mono.extent(y), t = table.extent(y);
                ASSERT_EQ(mono.inkedInRow(y), m.first < 0 ? 0 : m.second - m.first + 1);
                ASSERT_EQ(table.inkedInRow(y), t.first < 0 ? 0 : t.second - t.first + 1);
                if (m.first < 0) {
                    ASSERT_LT(t.first, 0) << "round " << round << " row " << y;
                } else if (m.first == m.second) {
                    ASSERT_LT(t.first, 0) << "round " << round << " row " << y;
                } else {
                    ASSERT_EQ(t, std::make_pair(m.first, m.second - 1))
                        << "round " << round << " row " << y;
                }
            }
        }
    }
}

TEST(PainterFills, HugeCoordinatesStepExactly) {
    // The hypotenuse x = y runs from -2^30 to 2^30: 32-bit products of its
    // steps would wrap.
    const int32_t big = 1 << 30;
    Canvas c(64, 64);
    const ScreenPoint tri[] = {{-big, -big}, {big, big}, {-big, big}};
    EXPECT_TRUE(c.painter.fillPolygon(tri, 3));
    for (int y = 0; y < 64; ++y) EXPECT_EQ(c.extent(y), std::make_pair(0, y)) << y;

    Canvas t(64, 64);
    EXPECT_TRUE(t.painter.fillEdgeTable(tri, 3));
    for (int y = 1; y < 64; ++y) EXPECT_EQ(t.extent(y), std::make_pair(0, y - 1)) << y;
}

TEST(PainterFills, ManyVerticesFarOutsideStayInTheSurface) {
    // A star of 5000 points reaching out to 2^30 around the surface.
    std::vector<ScreenPoint> star;
    const int n = 5000;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        const double r = (i % 2) ? 20.0 : static_cast<double>(1 << 30);
        star.push_back({static_cast<int32_t>(50 + r * std::cos(a)),
                        static_cast<int32_t>(40 + r * std::sin(a))});
    }
    for (int bpp : {16, 32}) {
        Canvas c(100, 80, bpp);
        const PixelRect clip{10, 10, 89, 69};
        c.painter.setClip(clip);
        EXPECT_TRUE(c.painter.fillPolygon(star.data(), n));
        ASSERT_TRUE(c.painter.depth().create(100, 80, 2));
        EXPECT_TRUE(c.painter.fillPolygonDepth(star.data(), n, 0.5f, -0.25f, 100));
        EXPECT_FALSE(test::touchedOutside(c.surface.get(), clip, c.painter.mapColour(kPaper)));
        // The centre lies inside the inner ring of the star.
        EXPECT_EQ(test::pixelAt(c.surface.get(), 50, 40), c.ink());
    }
}

TEST(PainterFills, ExtremeCoordinatesAreSafe) {
    // The ends of the 32-bit range, where a difference of two coordinates
    // needs 33 bits.
    const int32_t lo = INT32_MIN, hi = INT32_MAX;
    Canvas c(40, 40);
    c.painter.setLineColour(c.ink());
    for (int width : {1, 3, 7}) {
        c.painter.setLineWidth(width);
        c.painter.setDashPattern(width == 3 ? 0x00FF : 0xFFFF);
        EXPECT_TRUE(c.painter.drawLine(lo, lo, hi, hi));
        EXPECT_TRUE(c.painter.drawLine(lo, 20, hi, 20));
        c.painter.drawLine(hi, lo, lo, hi);
        c.painter.drawLine(lo, hi, lo, lo);
    }
    const ScreenPoint box[] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
    EXPECT_TRUE(c.painter.fillPolygon(box, 4));
    EXPECT_TRUE(c.painter.fillEdgeTable(box, 4));
    EXPECT_TRUE(c.painter.fillDisc(hi, 20, 20));
    EXPECT_FALSE(c.painter.fillDisc(hi, lo, lo)); // its square ends at -1
    EXPECT_TRUE(c.painter.fillRing(hi - 1, hi, 20, 20));
    EXPECT_EQ(test::countPixels(c.surface.get(), c.ink()), 40 * 40);
}

TEST(PainterFills, DegenerateAndTangledPolygonsAreSafe) {
    const std::vector<std::vector<ScreenPoint>> shapes = {
        {{5, 5}, {5, 5}, {5, 5}},                                       // one point thrice
        {{0, 10}, {30, 10}, {60, 10}, {10, 10}},                        // flat: zero area
        {{0, 0}, {20, 20}, {40, 40}},                                   // collinear slope
        {{0, 0}, {30, 30}, {30, 0}, {0, 30}},                           // bow tie
        {{10, 0}, {16, 30}, {0, 11}, {20, 11}, {4, 30}},                // pentagram
        {{-(1 << 30), 5}, {1 << 30, 6}, {0, -(1 << 30)}, {3, 1 << 30}}, // huge and crossed
    };
    for (const auto& s : shapes) {
        Canvas c(40, 40);
        const PixelRect clip{2, 2, 37, 37};
        c.painter.setClip(clip);
        c.painter.fillPolygon(s.data(), static_cast<int>(s.size()));
        c.painter.fillEdgeTable(s.data(), static_cast<int>(s.size()));
        EXPECT_FALSE(test::touchedOutside(c.surface.get(), clip, c.painter.mapColour(kPaper)));
    }
    // The pentagram's centre is covered twice: even-odd leaves it empty.
    Canvas c(40, 40);
    const ScreenPoint pentagram[] = {{10, 0}, {16, 30}, {0, 11}, {20, 11}, {4, 30}};
    c.painter.fillPolygon(pentagram, 5);
    EXPECT_NE(test::pixelAt(c.surface.get(), 10, 16), c.ink());
    EXPECT_EQ(test::pixelAt(c.surface.get(), 10, 6), c.ink());
}

} // namespace
} // namespace tevo
