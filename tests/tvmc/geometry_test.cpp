// Clipping, simplification, hole joining and the cell grid.
#include "tools/tvmc/clip.hpp"
#include "tools/tvmc/geometry.hpp"
#include "tools/tvmc/grid.hpp"
#include "tools/tvmc/simplify.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tevo {
// Found by argument lookup from the assertions below.
inline bool operator==(const TvmPoint& a, const TvmPoint& b) {
    return a.x == b.x && a.y == b.y;
}
} // namespace tevo

namespace tevo::tvmc {
namespace {

using Points = std::vector<TvmPoint>;

const UnitRect kBox{0, 0, 10, 10};

struct PolygonClipCase {
    const char* what;
    Points ring;
    double area; // of the clipped ring, 0: nothing left
};

class PolygonClip : public ::testing::TestWithParam<PolygonClipCase> {};

TEST_P(PolygonClip, KeepsExactlyTheAreaInside) {
    const Points out = clipPolygon(GetParam().ring, kBox);
    EXPECT_DOUBLE_EQ(ringArea(out), GetParam().area) << GetParam().what;
    for (const TvmPoint& p : out) {
        EXPECT_TRUE(p.x >= 0 && p.x <= 10 && p.y >= 0 && p.y <= 10) << GetParam().what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PolygonClip,
    ::testing::Values(
        PolygonClipCase{"inside", {{2, 2}, {8, 2}, {8, 8}, {2, 8}}, 36},
        PolygonClipCase{"covering", {{-5, -5}, {20, -5}, {20, 20}, {-5, 20}}, 100},
        PolygonClipCase{"half out", {{5, 2}, {15, 2}, {15, 8}, {5, 8}}, 30},
        PolygonClipCase{"outside", {{20, 20}, {30, 20}, {30, 30}}, 0},
        PolygonClipCase{"touching the border only", {{10, 0}, {20, 0}, {20, 10}, {10, 10}}, 0},
        // A U whose arms leave the box: two parts joined along the border.
        PolygonClipCase{"concave U",
                        {{0, 0}, {10, 0}, {10, 20}, {7, 20}, {7, 5}, {3, 5}, {3, 20}, {0, 20}},
                        100 - 4 * 5}));

TEST(PolylineClip, LineInOutInGivesTwoPiecesInOrder) {
    const Points line{{-5, 5}, {5, 5}, {5, 15}, {8, 15}, {8, 5}, {15, 5}};
    const auto pieces = clipPolyline(line, kBox);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], (Points{{0, 5}, {5, 5}, {5, 10}}));
    EXPECT_EQ(pieces[1], (Points{{8, 10}, {8, 5}, {10, 5}}));
}

TEST(PolylineClip, LineOutsideGivesNothingAndInsideStaysWhole) {
    EXPECT_TRUE(clipPolyline({{20, 20}, {30, 30}}, kBox).empty());
    const Points inside{{1, 1}, {2, 3}, {4, 4}};
    const auto pieces = clipPolyline(inside, kBox);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], inside);
}

TEST(Simplify, DropsPointsWithinTheTolerance) {
    const Points line{{0, 0}, {10, 1}, {20, 0}, {30, 10}, {40, 0}};
    EXPECT_EQ(simplifyLine(line, 2), (Points{{0, 0}, {20, 0}, {30, 10}, {40, 0}}));
    EXPECT_EQ(simplifyLine(line, 100), (Points{{0, 0}, {40, 0}}));
    EXPECT_EQ(simplifyLine({{0, 0}, {5, 0}, {10, 0}}, 0), (Points{{0, 0}, {10, 0}}));
}

TEST(Simplify, RingKeepsItsShapeOrVanishes) {
    const Points square{{0, 0}, {50, 1}, {100, 0}, {100, 100}, {0, 100}};
    EXPECT_EQ(simplifyRing(square, 5).size(), 4u);
    EXPECT_TRUE(simplifyRing({{0, 0}, {100, 1}, {200, 0}}, 5).empty());
}

// A zig-zag whose swings grow: every split of Douglas-Peucker lands next to
// the end of the run, the worst case of the plain algorithm.
Points growingZigZag(std::size_t count) {
    Points line;
    for (std::size_t i = 0; i < count; ++i) {
        const auto swing = static_cast<int32_t>(i * 16);
        line.push_back({static_cast<int32_t>(i * 4), i % 2 ? swing : -swing});
    }
    return line;
}

TEST(Simplify, LongZigZagTakesLinearTime) {
    const Points line = growingZigZag(100000);
    const auto started = std::chrono::steady_clock::now();
    const Points kept = simplifyLine(line, 1);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(kept.size(), line.size()); // every swing is far outside the tolerance
    // The quadratic walk needs tens of seconds; the linear one a few tens of
    // milliseconds, so the bound leaves room for a busy or instrumented build.
    EXPECT_LT(seconds, 4.0);
}

double segmentDistance(TvmPoint p, TvmPoint a, TvmPoint b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

TEST(Simplify, LongLineStaysWithinTheToleranceAndKeepsItsEnds) {
    Points line; // a gently wavy line of many points
    for (int i = 0; i < 5000; ++i)
        line.push_back({i * 10, static_cast<int32_t>(std::lround(40 * std::sin(i * 0.01)))});
    const double tolerance = 3;
    const Points kept = simplifyLine(line, tolerance);
    ASSERT_GE(kept.size(), 2u);
    EXPECT_LT(kept.size(), line.size() / 10);
    EXPECT_EQ(kept.front(), line.front());
    EXPECT_EQ(kept.back(), line.back());
    std::size_t k = 0;
    for (const TvmPoint& p : line) {
        while (k + 1 < kept.size() && kept[k + 1].x < p.x) ++k;
        ASSERT_LT(k + 1, kept.size());
        EXPECT_LE(segmentDistance(p, kept[k], kept[k + 1]), tolerance) << p.x;
    }
}

TEST(JoinHoles, AreaIsOuterMinusHolesWhateverTheOrientation) {
    const Points outer{{0, 0}, {0, 100}, {100, 100}, {100, 0}}; // clockwise
    const Points hole1{{10, 10}, {30, 10}, {30, 30}, {10, 30}}; // counter-clockwise
    const Points hole2{{60, 60}, {60, 80}, {80, 80}, {80, 60}};
    const Points joined = joinHoles(outer, {hole1, hole2});
    EXPECT_EQ(joined.size(), 4u + 2 * 5u + 2 * 1u);
    EXPECT_DOUBLE_EQ(signedArea2(joined) / 2, 10000 - 400 - 400);
}

TEST(LabelPoint, CentroidInsideOrBoxMiddle) {
    EXPECT_EQ(labelPoint({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), (TvmPoint{5, 5}));
    // An L whose centroid lies outside it falls back to the box middle.
    const Points thinL{{0, 0}, {100, 0}, {100, 2}, {2, 2}, {2, 100}, {0, 100}};
    EXPECT_EQ(labelPoint(thinL), (TvmPoint{50, 50}));
}

struct GridCase {
    uint32_t seconds;
    double lon, lat;
    int32_t column, row;
};

class Grid : public ::testing::TestWithParam<GridCase> {};

TEST_P(Grid, PointLiesInTheRectangleOfItsCell) {
    const GridCase& c = GetParam();
    const CellGrid grid(c.seconds);
    const TvmPoint p = toMapUnits(c.lon, c.lat);
    const CellIndex cell = grid.cellOf(p);
    EXPECT_EQ(cell.column, c.column);
    EXPECT_EQ(cell.row, c.row);
    const UnitRect r = grid.cellRect(cell);
    EXPECT_TRUE(p.x >= r.x0 && p.x < r.x1 && p.y >= r.y0 && p.y < r.y1);
}

INSTANTIATE_TEST_SUITE_P(Cases, Grid,
                         ::testing::Values(GridCase{3600, 37.5, 55.5, 37, 55},
                                           GridCase{3600, 37.0, 55.0, 37, 55}, // on the corner
                                           GridCase{60, 37.5, 55.5, 2250, 3330},
                                           GridCase{60, 37.51666667, 55.5, 2251, 3330},
                                           GridCase{7200, 11.5, 49.99, 5, 24},
                                           GridCase{3600, -3.5, 50.2, 356, 50})); // west: 356.5 E

// The cell found from the cell size is put right against the boundaries:
// points on a boundary and one unit either side, at lines near the start,
// the middle and the end of grids with and without a boundary table.
TEST(Grid, PointsAtBoundariesLieInTheirCell) {
    for (const uint32_t seconds : {1u, 7u, 60u, 450u, 3600u, 7200u}) {
        const CellGrid grid(seconds);
        for (const int32_t line : {0, 1, 2, 17, grid.columns() / 3, grid.columns() - 1}) {
            const UnitRect around = grid.cellRect({line, line});
            for (const int32_t v : {around.x0 - 1, around.x0, around.x0 + 1, around.x1 - 1}) {
                const TvmPoint p{v, v};
                const UnitRect r = grid.cellRect(grid.cellOf(p));
                EXPECT_TRUE(p.x >= r.x0 && p.x < r.x1 && p.y >= r.y0 && p.y < r.y1)
                    << seconds << " s, unit " << v;
            }
        }
    }
}

TEST(Grid, KeysAreRowTimesColumnsPlusColumn) {
    const CellGrid grid(3600);
    EXPECT_EQ(grid.columns(), 360);
    EXPECT_EQ(grid.keyOf({1, 1}), 361);
    EXPECT_EQ(grid.keyOf({-1, 1}), std::nullopt);
    EXPECT_EQ(CellGrid(1).keyOf({1295999, 300000}), std::nullopt); // beyond 32 bits
}

} // namespace
} // namespace tevo::tvmc

namespace tevo::tvmc {
namespace {

// A vertex of the outer ring between the hole and the first edge to its right
// would block the straight cut; the cut goes to that vertex instead.
TEST(JoinHoles, CutAvoidsAVertexThatBlocksIt) {
    // A notch hangs down from the top edge to (65, 47), between the hole and
    // the slanted right edge whose upper end the ray from (30, 40) would pick.
    const Ring outer{{0, 0}, {90, 0}, {100, 100}, {70, 100}, {65, 47}, {60, 100}, {0, 100}};
    const Ring hole{{10, 40}, {30, 40}, {30, 50}, {10, 50}};
    const Ring joined = joinHoles(outer, {hole});
    EXPECT_DOUBLE_EQ(signedArea2(joined) / 2, ringArea(outer) - ringArea(hole));
    const auto at = [&](std::size_t i, int32_t x, int32_t y) {
        return joined[i].x == x && joined[i].y == y;
    };
    bool cutToNotch = false;
    for (std::size_t i = 0; i + 1 < joined.size(); ++i)
        cutToNotch |= (at(i, 65, 47) && at(i + 1, 30, 40)) || (at(i, 30, 40) && at(i + 1, 65, 47));
    EXPECT_TRUE(cutToNotch);
}

} // namespace
} // namespace tevo::tvmc
