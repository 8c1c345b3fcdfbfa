// Turning a track into the polylines the map draws: map units, merging of
// equal points, thinning, the western hemisphere and the 0/360 degree line.
#include "track_test_util.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

namespace tevo {
namespace {

constexpr int32_t kCircle = 1 << 26;

TrackLog logOf(const std::vector<std::pair<float, float>>& lonLat) {
    TrackLog log;
    for (auto [lon, lat] : lonLat) {
        GpsData p{};
        p.longitude = lon;
        p.latitude = lat;
        p.fix = FixUnknown;
        log.points.push_back(p);
    }
    return log;
}

cPolyLine lineOf(const std::vector<MapPoint>& points) {
    cPolyLine line;
    line.points = points;
    return line;
}

TEST(TrackObject, EmptyLogGivesOneNamedTrackWithoutPoints) {
    auto pieces = buildTrackObjects(TrackLog{});
    ASSERT_EQ(pieces.size(), 1u);
    const cPolyLine& t = *pieces[0];
    EXPECT_EQ(t.name, u"Track");
    EXPECT_EQ(t.mark, -1);
    EXPECT_EQ(t.type, -1);
    EXPECT_TRUE(t.points.empty());
    EXPECT_EQ(t.minX | t.minY | t.maxX | t.maxY, 0);
}

struct UnitCase {
    float longitude, latitude;
    int32_t x, y;
};

void PrintTo(const UnitCase& c, std::ostream* out) {
    *out << c.longitude << ',' << c.latitude;
}

class TrackUnits : public ::testing::TestWithParam<UnitCase> {};

TEST_P(TrackUnits, PointTakesTheMapsUnits) {
    const UnitCase& c = GetParam();
    const MapPoint p = trackMapPoint(c.longitude, c.latitude);
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Hemispheres, TrackUnits,
    ::testing::Values(UnitCase{0.0f, 0.0f, 0, 0}, UnitCase{90.0f, 45.0f, kCircle / 4, kCircle / 8},
                      UnitCase{37.5f, 55.5f, 6990506, 10345949},
                      // West of Greenwich counts from 180 to 360 degrees, as in the map.
                      UnitCase{-90.0f, 45.0f, kCircle / 4 * 3, kCircle / 8},
                      UnitCase{-180.0f, 10.0f, kCircle / 2, 1864135},
                      // South of the equator truncates toward zero.
                      UnitCase{10.0f, -10.0f, 1864135, -1864135}));

TEST(TrackObject, PointsAndBoundsInMapUnits) {
    auto pieces = buildTrackObjects(logOf({{37.5f, 55.5f}, {37.6f, 55.4f}, {37.55f, 55.6f}}));
    ASSERT_EQ(pieces.size(), 1u);
    const cPolyLine& t = *pieces[0];
    ASSERT_EQ(t.points.size(), 3u);
    EXPECT_EQ(t.points[0], trackMapPoint(37.5f, 55.5f));
    EXPECT_EQ(t.minX, trackMapPoint(37.5f, 0).x);
    EXPECT_EQ(t.maxX, trackMapPoint(37.6f, 0).x);
    EXPECT_EQ(t.minY, trackMapPoint(0, 55.4f).y);
    EXPECT_EQ(t.maxY, trackMapPoint(0, 55.6f).y);
}

TEST(TrackObject, PointsOfTheSameUnitsMergeIntoOne) {
    // 37.5 and 37.500001 degrees fall into the same map unit.
    auto pieces = buildTrackObjects(
        logOf({{37.5f, 55.5f}, {37.5f, 55.5f}, {37.500001f, 55.5f}, {37.6f, 55.6f}}));
    ASSERT_EQ(pieces[0]->points.size(), 2u);
}

TEST(TrackObject, FirstPointAtZeroIsKept) {
    auto pieces = buildTrackObjects(logOf({{0.0f, 0.0f}, {0.001f, 0.001f}}));
    ASSERT_EQ(pieces[0]->points.size(), 2u);
    EXPECT_EQ(pieces[0]->points[0], (MapPoint{0, 0}));
}

TEST(TrackObject, WesternTrackLiesWhereTheMapHasIt) {
    auto pieces = buildTrackObjects(logOf({{-0.13f, 51.5f}, {-0.12f, 51.51f}}));
    ASSERT_EQ(pieces.size(), 1u);
    for (const MapPoint& p : pieces[0]->points) {
        EXPECT_GT(p.x, kCircle - trackMapPoint(0.2f, 0).x);
        EXPECT_LT(p.x, kCircle);
    }
}

TEST(TrackObject, AcrossTheZeroLineIsCutIntoTwoPiecesOnTheLine) {
    auto pieces = buildTrackObjects(
        logOf({{-0.02f, 51.5f}, {-0.01f, 51.5f}, {0.01f, 51.6f}, {0.02f, 51.6f}}));
    ASSERT_EQ(pieces.size(), 2u);
    const cPolyLine& west = *pieces[0];
    const cPolyLine& east = *pieces[1];
    ASSERT_EQ(west.points.size(), 3u);
    ASSERT_EQ(east.points.size(), 3u);
    EXPECT_EQ(west.points.back().x, kCircle);
    EXPECT_EQ(east.points.front().x, 0);
    EXPECT_EQ(west.points.back().y, east.points.front().y);
    // Half way in longitude, half way in latitude.
    EXPECT_NEAR(west.points.back().y, trackMapPoint(0, 51.55f).y, 2);
    EXPECT_GE(west.minX, kCircle / 2);
    EXPECT_LT(east.maxX, kCircle / 2);
    EXPECT_EQ(east.name, u"Track");
}

TEST(TrackObject, WestwardAcrossTheZeroLineToo) {
    auto pieces = buildTrackObjects(logOf({{0.01f, 51.5f}, {-0.01f, 51.5f}}));
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0]->points.back().x, 0);
    EXPECT_EQ(pieces[1]->points.front().x, kCircle);
}

TEST(TrackObject, AcrossTheDateLineStaysOnePiece) {
    // The map counts west longitudes from 180 on, so 180 is no edge.
    auto pieces = buildTrackObjects(logOf({{179.99f, 60.0f}, {-179.99f, 60.0f}}));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_LT(std::abs(pieces[0]->points[1].x - pieces[0]->points[0].x), 5000);
}

struct ThinCase {
    const char* what;
    std::vector<MapPoint> in;
    std::vector<MapPoint> out;
};

void PrintTo(const ThinCase& c, std::ostream* out) {
    *out << c.what;
}

class TrackThinning : public ::testing::TestWithParam<ThinCase> {};

TEST_P(TrackThinning, KeepsOnlyPointsOffTheLine) {
    cPolyLine line = lineOf(GetParam().in);
    thinTrack(line);
    EXPECT_EQ(line.points, GetParam().out) << GetParam().what;
}

const int32_t kY = 10000000; // about 54 degrees north

INSTANTIATE_TEST_SUITE_P(
    Cases, TrackThinning,
    ::testing::Values(
        ThinCase{
            "straight line", {{0, kY}, {50, kY + 50}, {100, kY + 100}}, {{0, kY}, {100, kY + 100}}},
        ThinCase{"two units off",
                 {{0, kY}, {50, kY + 2}, {100, kY}},
                 {{0, kY}, {50, kY + 2}, {100, kY}}},
        ThinCase{"under a unit off",
                 {{0, kY}, {50, kY}, {51, kY + 1}, {100, kY + 1}},
                 {{0, kY}, {100, kY + 1}}},
        ThinCase{"a run on one line",
                 {{0, kY}, {10, kY}, {20, kY}, {30, kY}, {40, kY}, {40, kY + 40}},
                 {{0, kY}, {40, kY}, {40, kY + 40}}},
        // 32-bit products wrap to 0 here and would drop a point 0.35 degree off.
        ThinCase{"far apart",
                 {{0, kY}, {32768, kY + 65536}, {65536, kY}},
                 {{0, kY}, {32768, kY + 65536}, {65536, kY}}},
        ThinCase{"out and back", {{0, kY}, {500, kY}, {0, kY}}, {{0, kY}, {500, kY}, {0, kY}}},
        ThinCase{"two points", {{0, kY}, {0, kY + 1}}, {{0, kY}, {0, kY + 1}}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST(TrackObject, ThinningKeepsTheBoundsOfAllPoints) {
    auto pieces = buildTrackObjects(logOf({{37.5f, 55.5f}, {37.55f, 55.55f}, {37.6f, 55.6f}}));
    const cPolyLine& t = *pieces[0];
    EXPECT_EQ(t.points.size(), 2u);
    EXPECT_EQ(t.minX, t.points[0].x);
    EXPECT_EQ(t.maxY, t.points[1].y);
}

} // namespace
} // namespace tevo
