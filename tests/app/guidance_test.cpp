// Guidance from the driver's side: distances as a driver reads them, the
// vehicle's place on an L-shaped route, which step comes next, and the
// destination file.
#include "app/guidance.hpp"
#include "app/route_state.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace tevo {
namespace {

struct DistanceCase {
    double metres;
    const char16_t* text;
};

TEST(Guidance, DistancesAsDriversReadThem) {
    const DistanceCase cases[] = {
        {0, u"50 m"},     {74, u"50 m"},     {76, u"100 m"},    {349, u"350 m"},
        {974, u"950 m"},  {976, u"1.0 km"},  {1249, u"1.2 km"}, {9949, u"9.9 km"},
        {9951, u"10 km"}, {17499, u"17 km"}, {-5, u"50 m"},
    };
    for (const DistanceCase& c : cases) EXPECT_EQ(drivingDistance(c.metres), c.text) << c.metres;
}

// 0.001 degrees of latitude are 111 m; of longitude at 55.8 N, 62 m.
const std::vector<route::LonLat> kLine = {{37.600, 55.800}, {37.600, 55.802}, {37.604, 55.802}};

struct MatchCase {
    const char* name;
    route::LonLat at;
    double driven;
    std::optional<double> course;
    double along; // -1: off the route
};

TEST(Guidance, MatchesNearestPointAheadWithAgreeingCourse) {
    const std::vector<double> along = distancesAlong(kLine);
    const MatchCase cases[] = {
        {"on the first leg", {37.6002, 55.801}, 0, 0.0, 111},
        {"course unknown", {37.6002, 55.801}, 0, std::nullopt, 111},
        {"50 m beside", {37.6008, 55.801}, 0, 0.0, -1},
        {"driving the wrong way", {37.6002, 55.801}, 0, 180.0, -1},
        {"behind the last match", {37.6002, 55.801}, 200, 0.0, -1},
        {"round the corner", {37.602, 55.8021}, 150, 90.0, 222 + 124},
    };
    for (const MatchCase& c : cases) {
        const auto m = matchOnRoute(kLine, along, c.driven, c.at, c.course);
        if (c.along < 0) {
            EXPECT_FALSE(m) << c.name;
            continue;
        }
        ASSERT_TRUE(m) << c.name;
        EXPECT_NEAR(m->along, c.along, 3) << c.name;
    }
}

TEST(Guidance, NextStepIsTheFirstAhead) {
    const std::vector<double> starts = {0, 100, 400, 900};
    EXPECT_EQ(nextStep(starts, 0), 1u);
    EXPECT_EQ(nextStep(starts, 100), 2u);
    EXPECT_EQ(nextStep(starts, 650), 3u);
    EXPECT_EQ(nextStep(starts, 2000), 3u);
}

TEST(Guidance, RoadGraphMustLieOnTheMap) {
    // A map around Moscow, in map units (2^26 a full circle).
    const BoundsI moscow{7009000, 10400000, 7025000, 10410000};
    auto box = [](double w, double s, double e, double n) {
        return tvr::Box{int32_t(w * 1e7), int32_t(s * 1e7), int32_t(e * 1e7), int32_t(n * 1e7)};
    };
    EXPECT_TRUE(roadsOnMap(box(37.58, 55.79, 37.64, 55.83), moscow));
    EXPECT_TRUE(roadsOnMap(box(37.0, 55.0, 38.0, 56.0), moscow)) << "a larger region around it";
    EXPECT_FALSE(roadsOnMap(box(7.40, 43.72, 7.44, 43.75), moscow)) << "Monaco";
    EXPECT_FALSE(roadsOnMap(box(37.70, 55.79, 37.80, 55.83), moscow)) << "east of it";
    EXPECT_FALSE(roadsOnMap(tvr::Box{}, moscow)) << "no roads at all";
}

TEST(Guidance, DestinationFileHoldsTwoDegrees) {
    EXPECT_TRUE(parseDestination("37.6262 55.8213\n", nullptr));
    EXPECT_TRUE(parseDestination("-0.5 51.5", nullptr));
    for (const char* bad : {"", "37.6", "37.6 55.8 1", "181 10", "10 -91", "nan 10", "x y"})
        EXPECT_FALSE(parseDestination(bad, nullptr)) << bad;
}

} // namespace
} // namespace tevo
