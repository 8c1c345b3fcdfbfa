// Reading track files: the field rules, speeds, lines that are no points, and
// the replay of the points.
#include "track_test_util.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <ostream>
#include <random>

namespace tevo {
namespace {

using test::kSecond;
using test::plt;
using test::readText;

// A line "lat,lon,0,alt,time" with enough digits for times a second apart.
std::string pointLine(double lat, double lon, double time, double alt = 0) {
    char text[128];
    std::snprintf(text, sizeof(text), "%.7f,%.7f,0,%.1f,%.10f", lat, lon, alt, time);
    return text;
}

// Degrees of latitude for a distance north.
double northDegrees(double metres) {
    return metres / 6370000.0 * 180.0 / std::numbers::pi;
}

TEST(TrackRead, HeaderOnlyFileIsLoadedWithoutPoints) {
    TrackLog log = readText(test::kPltHeader);
    EXPECT_TRUE(log.loaded);
    EXPECT_TRUE(log.points.empty());
}

TEST(TrackRead, MissingFileIsNotLoaded) {
    TrackLog log;
    EXPECT_FALSE(readTrack(test::tempPath("no-such-track.plt"), log));
    EXPECT_FALSE(log.loaded);
}

TEST(TrackRead, FolderIsNotATrackFile) {
    TrackLog log;
    EXPECT_FALSE(readTrack(::testing::TempDir(), log));
    EXPECT_FALSE(log.loaded);
}

struct FieldCase {
    const char* line;
    float latitude, longitude, altitude;
    double time; // the reference time the line leaves for the next point
};

void PrintTo(const FieldCase& c, std::ostream* out) {
    *out << '"' << c.line << '"';
}

class TrackFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(TrackFields, LineGivesItsFields) {
    const FieldCase& c = GetParam();
    TrackLog log = readText(plt({c.line}));
    ASSERT_EQ(log.points.size(), 1u);
    const GpsData& p = log.points[0];
    EXPECT_FLOAT_EQ(p.latitude, c.latitude);
    EXPECT_FLOAT_EQ(p.longitude, c.longitude);
    EXPECT_FLOAT_EQ(p.altitude, c.altitude);
    EXPECT_DOUBLE_EQ(log.previousTime, c.time);
    EXPECT_EQ(p.speed, 0.0f);
    EXPECT_EQ(p.pdop + p.hdop + p.vdop, 0.0f);
    EXPECT_EQ(p.year + p.day + p.month + p.hour + p.minute + p.second, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TrackFields,
    ::testing::Values(FieldCase{"55.5,37.5,0,120,39000.5", 55.5f, 37.5f, 120.0f, 39000.5},
                      // Without a comma the rest of the line repeats.
                      FieldCase{"55.5,37.5", 55.5f, 37.5f, 37.5f, 37.5},
                      // A leading comma ends the fields: the rest are 0.
                      FieldCase{"55.5,37.5,,120,39000.5", 55.5f, 37.5f, 0.0f, 0.0},
                      FieldCase{"  55.5,  37.5,0,  120.5,39000.5,extra,fields", 55.5f, 37.5f,
                                120.5f, 39000.5},
                      FieldCase{"55.5,37.5,0,120,39000.5\r", 55.5f, 37.5f, 120.0f, 39000.5},
                      FieldCase{"55.5,37.5,0,120abc,x", 55.5f, 37.5f, 120.0f, 0.0},
                      FieldCase{"55.5,-3.25,0,-12,39000.5", 55.5f, -3.25f, -12.0f, 39000.5}));

class TrackNoPoint : public ::testing::TestWithParam<std::string> {};

TEST_P(TrackNoPoint, LineIsSkipped) {
    TrackLog log = readText(plt({GetParam(), "55.5,37.5,0,1,39000.5"}));
    ASSERT_EQ(log.points.size(), 1u);
    EXPECT_FLOAT_EQ(log.points[0].latitude, 55.5f);
}

INSTANTIATE_TEST_SUITE_P(Lines, TrackNoPoint,
                         ::testing::Values("", "\r", "   ", "abc,def,0,1,2", ",37.5,0,1,2",
                                           "55.5,,0,1,2", "55.5x,37.5,0,1,2", "nan,37.5,0,1,2",
                                           "1e999,37.5", "95,37.5,0,1,2", "55.5,400,0,1,2",
                                           std::string("5\0,\xff\xfe,0", 7)));

TEST(TrackRead, LongLineIsOnePoint) {
    const std::string padded =
        std::string(300, ' ') + "55.5,37.5,0,120,39000.5," + std::string(1000, '7') + "\r";
    TrackLog log = readText(plt({padded, "56.5,38.5"}));
    ASSERT_EQ(log.points.size(), 2u);
    EXPECT_FLOAT_EQ(log.points[0].latitude, 55.5f);
    EXPECT_FLOAT_EQ(log.points[0].altitude, 120.0f);
    EXPECT_FLOAT_EQ(log.points[1].latitude, 56.5f);
}

TEST(TrackRead, HugeLineWithoutEndIsReadToTheEnd) {
    TrackLog log = readText(plt({"55.5,37.5,0,1,39000.5"}) + std::string(1 << 20, '9'));
    ASSERT_EQ(log.points.size(), 1u);
}

// A line longer than any point's is skipped without being kept in memory.
TEST(TrackRead, OverlongLineIsNoPoint) {
    TrackLog log =
        readText(plt({"55.5,37.5,0,1,39000.5" + std::string(1 << 20, '9'), "56.5,38.5"}));
    ASSERT_EQ(log.points.size(), 1u);
    EXPECT_FLOAT_EQ(log.points[0].latitude, 56.5f);
}

TEST(TrackRead, EveryLineOfALongFileIsOnePoint) {
    std::vector<std::string> lines(20000, "55.1234567,37.1234567,0,1,39000.5");
    TrackLog log = readText(plt(lines));
    ASSERT_EQ(log.points.size(), lines.size());
    for (const GpsData& p : log.points) ASSERT_FLOAT_EQ(p.longitude, 37.1234567f);
}

TEST(TrackRead, LastLineWithoutLfIsAPoint) {
    TrackLog log = readText(plt({"55.1,37.1"}) + "55.2,37.2");
    ASSERT_EQ(log.points.size(), 2u);
    EXPECT_FLOAT_EQ(log.points[1].latitude, 55.2f);
}

TEST(TrackRead, BinaryJunkGivesNoPoints) {
    std::mt19937 random(7);
    std::string junk(1 << 16, '\0');
    for (char& c : junk) c = static_cast<char>(random());
    TrackLog log = readText(junk);
    EXPECT_TRUE(log.loaded);
    EXPECT_TRUE(log.points.empty());
}

TEST(TrackSpeed, FirstPointHasSpeedZeroAndAFix) {
    TrackLog log = readText(plt({pointLine(55.5, 37.5, 39000.5)}));
    ASSERT_EQ(log.points.size(), 1u);
    EXPECT_EQ(log.points[0].speed, 0.0f);
    EXPECT_EQ(log.points[0].fix, FixUnknown);
}

TEST(TrackSpeed, HundredMetresInOneSecondIsAbout360Kmh) {
    const double t = 39000.5;
    TrackLog log = readText(
        plt({pointLine(55.5, 37.5, t), pointLine(55.5 + northDegrees(100), 37.5, t + kSecond)}));
    ASSERT_EQ(log.points.size(), 2u);
    EXPECT_NEAR(log.points[1].speed, 360.0f, 3.0f);
    EXPECT_EQ(log.points[1].fix, FixUnknown);
}

TEST(TrackSpeed, EqualTimesGiveNoFixAndTheNextIsMeasuredFromTheFirst) {
    const double t = 39000.5;
    TrackLog log =
        readText(plt({pointLine(55.5, 37.5, t), pointLine(55.5 + northDegrees(100), 37.5, t),
                      pointLine(55.5 + northDegrees(200), 37.5, t + kSecond)}));
    ASSERT_EQ(log.points.size(), 3u);
    EXPECT_EQ(log.points[1].speed, 0.0f);
    EXPECT_EQ(log.points[1].fix, FixNone);
    // 200 m from the first point, not 100 m from the second.
    EXPECT_NEAR(log.points[2].speed, 720.0f, 6.0f);
    EXPECT_EQ(log.points[2].fix, FixUnknown);
}

TEST(TrackSpeed, TimeGoingBackGivesNoFix) {
    TrackLog log = readText(plt({pointLine(55.5, 37.5, 39000.5), pointLine(55.6, 37.5, 39000.4)}));
    ASSERT_EQ(log.points.size(), 2u);
    EXPECT_EQ(log.points[1].speed, 0.0f);
    EXPECT_EQ(log.points[1].fix, FixNone);
}

class TrackStanding : public ::testing::TestWithParam<double> {};

// No rounding noise and no NaN from the distance of a point to itself.
TEST_P(TrackStanding, SamePlaceASecondLaterHasSpeedZero) {
    const double lat = GetParam();
    TrackLog log =
        readText(plt({pointLine(lat, 37.61, 39000.5), pointLine(lat, 37.61, 39000.5 + kSecond)}));
    ASSERT_EQ(log.points.size(), 2u);
    EXPECT_EQ(log.points[1].speed, 0.0f);
    EXPECT_EQ(log.points[1].fix, FixUnknown);
}

INSTANTIATE_TEST_SUITE_P(Latitudes, TrackStanding,
                         ::testing::Values(0.0, 12.3456, 33.3, 45.0, 55.81234, 59.9, 71.1, 89.9));

TEST(TrackReplay, WrapsToTheFirstPointAfterTheLast) {
    TrackLog log = readText(plt({"55.1,37.1", "55.2,37.2", "55.3,37.3"}));
    ASSERT_EQ(log.points.size(), 3u);
    const float expected[] = {55.1f, 55.2f, 55.3f, 55.1f, 55.2f};
    for (float lat : expected) EXPECT_FLOAT_EQ(nextReplayPoint(log).latitude, lat);
}

TEST(TrackReplay, EmptyLogGivesAnAllZeroRecord) {
    TrackLog log;
    const GpsData p = nextReplayPoint(log);
    const GpsData zero{};
    EXPECT_EQ(std::memcmp(&p, &zero, sizeof p), 0);
}

TEST(TrackReplay, NextPointStopsAfterTheLast) {
    TrackLog log = readText(plt({"55.1,37.1", "55.2,37.2"}));
    GpsData p{};
    EXPECT_TRUE(nextPoint(log, p));
    EXPECT_TRUE(nextPoint(log, p));
    EXPECT_FLOAT_EQ(p.latitude, 55.2f);
    EXPECT_FALSE(nextPoint(log, p));
    EXPECT_FALSE(nextPoint(log, p));
}

} // namespace
} // namespace tevo
