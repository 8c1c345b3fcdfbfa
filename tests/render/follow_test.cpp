// What a new fix does to the view: course filter, bearing, standing still,
// turns, and records that no receiver should send but some do.
#include "plugin-api/geodesy.hpp"
#include "render/view/follow_math.hpp"
#include "render/view_support.hpp"

#include <cmath>
#include <limits>

namespace tevo::test {
namespace {

TEST(CourseFilterTest, FirstThreeCallsReturnTheirInput) {
    CourseFilter f;
    EXPECT_FLOAT_EQ(f.filter(10), 10);
    EXPECT_FLOAT_EQ(f.filter(40), 40);
    EXPECT_FLOAT_EQ(f.filter(-7), -7);
}

TEST(CourseFilterTest, MixesTheNewValueWithThoseOfTwoAndThreeCallsBefore) {
    CourseFilter f;
    f.filter(1);
    f.filter(2);
    f.filter(3);
    // (5 * 30 + 2 * 2 - 1) / 6: the sample of the call just before is not used.
    EXPECT_FLOAT_EQ(f.filter(30), (5 * 30 + 2 * 2 - 1) / 6.0f);
    EXPECT_FLOAT_EQ(f.filter(60), (5 * 60 + 2 * 3 - 2) / 6.0f);
}

TEST(CourseFilterTest, CountsWrapsOfTheRingAndKeepsFilteringAcrossThem) {
    CourseFilter f;
    for (int i = 0; i < CourseFilter::kSlots; ++i) f.filter(float(i));
    EXPECT_EQ(f.wrapCount(), 1);
    EXPECT_EQ(f.lastIndex(), CourseFilter::kSlots - 1);
    // Slots 6 and 5 are two and three calls before this one.
    EXPECT_FLOAT_EQ(f.filter(100), (5 * 100 + 2 * 6 - 5) / 6.0f);
    EXPECT_FLOAT_EQ(f.filter(100), (5 * 100 + 2 * 7 - 6) / 6.0f);
}

struct UnwrapCase {
    float beta, previous, expected;
};
class UnwrapTest : public ::testing::TestWithParam<UnwrapCase> {};

TEST_P(UnwrapTest, TakesTheNearestTurn) {
    EXPECT_FLOAT_EQ(unwrapCourse(GetParam().beta, GetParam().previous), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Courses, UnwrapTest,
                         ::testing::Values(UnwrapCase{10, 350, 370},  // +20, not -340
                                           UnwrapCase{350, 10, -10},  // -20
                                           UnwrapCase{10, 710, 730},  // two turns on
                                           UnwrapCase{350, -10, -10}, // negative previous
                                           UnwrapCase{100, 90, 100}));

TEST(BearingTest, EastIsZeroNorthNinetySouthTwoSeventy) {
    EXPECT_NEAR(bearingDegrees(37, 55, 37.01f, 55, 1, 1), 0, 1e-3);
    EXPECT_NEAR(bearingDegrees(37, 55, 37, 55.01f, 1, 1), 90, 1e-3);
    EXPECT_NEAR(bearingDegrees(37, 55, 37, 54.99f, 1, 1), 270, 1e-3);
    EXPECT_EQ(bearingDegrees(37, 55, 37, 55, 1, 1), 0);
}

TEST(BearingTest, CrossingTheZeroLineEastwardsIsEast) {
    EXPECT_NEAR(bearingDegrees(359.9999f, 50, 0.0001f, 50, 1, 1), 0, 1e-3);
    EXPECT_NEAR(bearingDegrees(0.0001f, 50, 359.9999f, 50, 1, 1), 180, 1e-3);
}

TEST(DistanceTest, TheSamePointIsZeroAndNotANumberNever) {
    const double d = geo::distanceMetres(37.5835461f, 55.8121055f, 37.5835461f, 55.8121055f);
    EXPECT_FALSE(std::isnan(d));
    EXPECT_NEAR(d, 0, 1.0);
    EXPECT_NEAR(geo::distanceMetres(0, 0, 0, 1), 6370000.0 * 3.14159265358979 / 180, 1.0);
}

// The view in the follow view, course up, with fixes around 55.8 N 37.58 E.
struct FollowFixture : ViewFixture {
    static constexpr float kLon = 37.58f, kLat = 55.81f;
    void SetUp() override {
        ViewFixture::SetUp();
        state.freeView = false;
        state.orientation = CourseUp;
    }
    // A fix `metres` from (lon, lat) in direction `degrees` (counter-clockwise
    // from east, as the view measures it).
    GpsData fixFrom(float lon, float lat, double metres, double degrees, float kmh = 50) const {
        const double a = degrees * 3.14159265358979 / 180;
        const double perDegreeY = 6370000.0 * 3.14159265358979 / 180;
        const double perDegreeX = perDegreeY * state.kx / state.ky;
        GpsData g{};
        g.longitude = lon + static_cast<float>(metres * std::cos(a) / perDegreeX);
        g.latitude = lat + static_cast<float>(metres * std::sin(a) / perDegreeY);
        g.speed = kmh;
        g.fix = Fix3D;
        return g;
    }
    // Drives east 50 m a fix, `n` fixes, filling the course filter.
    GpsData driveEast(int n) {
        GpsData g = fixFrom(kLon, kLat, 0, 0);
        view->updateFromFix(g);
        for (int i = 0; i < n; ++i) {
            g = fixFrom(state.longitude, state.latitude, 50, 0);
            view->updateFromFix(g);
        }
        return g;
    }
};

TEST_F(FollowFixture, FirstFixPlacesTheFollowedPoint) {
    view->updateFromFix(fixFrom(kLon, kLat, 0, 0));
    EXPECT_TRUE(state.positionChanged);
    EXPECT_FALSE(state.noFix);
    EXPECT_EQ(state.followed.x, degreesToUnits(kLon));
    EXPECT_EQ(state.followed.y, degreesToUnits(kLat));
}

TEST_F(FollowFixture, NoFixOnlyShiftsThePreviousValues) {
    driveEast(2);
    const ViewPoint before = state.followed;
    const float course = state.course;
    GpsData none = fixFrom(kLon + 1, kLat, 0, 0);
    none.fix = FixNone;
    view->updateFromFix(none);
    EXPECT_TRUE(state.noFix);
    EXPECT_FALSE(state.positionChanged);
    EXPECT_EQ(state.followed, before);
    EXPECT_EQ(state.previousFollowed, before);
    EXPECT_EQ(state.course, course);
}

TEST_F(FollowFixture, StandingStillLeavesEverythingUnchanged) {
    driveEast(3);
    const ViewPoint before = state.followed, previous = state.previousFollowed;
    const float lon = state.longitude, course = state.course, zoom = state.zoom;
    view->updateFromFix(fixFrom(state.longitude, state.latitude, 20, 45, 3));
    EXPECT_FALSE(state.positionChanged);
    EXPECT_EQ(state.followed, before);
    EXPECT_EQ(state.previousFollowed, previous);
    EXPECT_EQ(state.longitude, lon);
    EXPECT_EQ(state.course, course);
    EXPECT_EQ(state.zoom, zoom);
}

struct TurnCase {
    double degrees;
    bool courseMoves;
};
class TurnTest : public FollowFixture, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(TurnTest, SmallTurnsKeepTheCourseLargerOnesTakeTheFilteredOne) {
    driveEast(4);
    ASSERT_NEAR(state.course, 0, 0.01);
    view->updateFromFix(fixFrom(state.longitude, state.latitude, 50, GetParam().degrees));
    EXPECT_TRUE(state.positionChanged);
    // The filter gives 5/6 of the turn: the ring held east before.
    const float filtered = static_cast<float>(GetParam().degrees * 5 / 6);
    // Float degrees hold a 50 m step to about 0.2 degrees.
    EXPECT_NEAR(state.course, GetParam().courseMoves ? filtered : 0.0f, 0.3);
}
INSTANTIATE_TEST_SUITE_P(Turns, TurnTest,
                         ::testing::Values(TurnCase{3, false}, TurnCase{-3, false},
                                           TurnCase{10, true}, TurnCase{-10, true}));

TEST_F(FollowFixture, WesternLongitudesLandWhereTheMapKeepsThem) {
    GpsData g = fixFrom(-0.1f, 51.5f, 0, 0);
    view->updateFromFix(g);
    EXPECT_NEAR(state.longitude, 359.9f, 1e-3);
    EXPECT_EQ(state.followed.x, degreesToUnits(359.9f));
    // A step east across the 0/360 line is a step east.
    view->updateFromFix(fixFrom(-0.0001f, 51.5f, 0, 0));
    view->updateFromFix(fixFrom(0.0006f, 51.5f, 0, 0));
    EXPECT_NEAR(std::remainder(state.course, 360.0f), 0, 1.0);
}

TEST_F(FollowFixture, RecordsWithoutANumberForAPositionCountAsNoFix) {
    driveEast(2);
    const ViewPoint before = state.followed;
    GpsData g = fixFrom(kLon, kLat, 0, 0);
    g.latitude = std::numeric_limits<float>::quiet_NaN();
    view->updateFromFix(g);
    EXPECT_TRUE(state.noFix);
    EXPECT_EQ(state.followed, before);
    g.latitude = 123;
    view->updateFromFix(g);
    EXPECT_TRUE(state.noFix);
}

TEST_F(FollowFixture, ASpeedBeyondAnyCarOrNotANumberIsHeldToAPlausibleOne) {
    driveEast(1);
    GpsData g = fixFrom(state.longitude, state.latitude, 50, 0, 1e30f);
    view->updateFromFix(g);
    EXPECT_EQ(state.speed, kMaxPlausibleSpeed);
    EXPECT_TRUE(std::isfinite(state.zoom));
    g = fixFrom(state.longitude, state.latitude, 50, 0, std::numeric_limits<float>::quiet_NaN());
    view->updateFromFix(g);
    EXPECT_EQ(state.speed, 0);
    EXPECT_TRUE(state.positionChanged);
}

TEST_F(FollowFixture, TheSamePointAgainAtWalkingSpeedIsStandingStill) {
    GpsData g = driveEast(3);
    const float course = state.course;
    g.speed = 0;
    view->updateFromFix(g);
    EXPECT_FALSE(state.positionChanged);
    EXPECT_EQ(state.course, course);
}

} // namespace
} // namespace tevo::test
