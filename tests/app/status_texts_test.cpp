// Status texts from positions and satellite tables, and the sky view.
#include "app/fix_report.hpp"
#include "app/screen_steps.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace tevo {
namespace {

struct DegreeCase {
    float value;
    const char16_t* text;
};

class Degrees : public testing::TestWithParam<DegreeCase> {};

TEST_P(Degrees, ShowDegreesMinutesSeconds) {
    EXPECT_EQ(formatDegrees(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, Degrees,
                         testing::Values(DegreeCase{55.7558f, u"55\u00B045'20\""},
                                         DegreeCase{37.5f, u"37\u00B030'0\""},
                                         DegreeCase{0.0f, u"0\u00B00'0\""},
                                         // South and west carry the sign once.
                                         DegreeCase{-37.5f, u"-37\u00B030'0\""},
                                         DegreeCase{-0.5f, u"-0\u00B030'0\""},
                                         // No number, no text (instead of an undefined conversion).
                                         DegreeCase{std::numeric_limits<float>::quiet_NaN(), u""},
                                         DegreeCase{std::numeric_limits<float>::infinity(), u""}));

GpsData fixRecord() {
    GpsData r{};
    r.fix = Fix3D;
    r.latitude = 55.7558f;
    r.longitude = 37.6173f;
    r.altitude = 151.9f;
    r.speed = 42.7f;
    return r;
}

TEST(PositionTexts, FixFillsEveryPositionText) {
    ScreenSet screens;
    screens.satelliteCount = 9;
    screens.usedCount = 7;
    updatePositionTexts(screens, fixRecord());
    EXPECT_EQ(screens.statusText(TextLatitude), u"55\u00B045'20\"");
    EXPECT_EQ(screens.statusText(TextLongitude), u"37\u00B037'2\"");
    EXPECT_EQ(screens.statusText(TextAltitude), u"151");
    EXPECT_EQ(screens.statusText(TextSpeed), u"42 км/ч");
    EXPECT_EQ(screens.statusText(TextAllSatellites), u"9");
    EXPECT_EQ(screens.statusText(TextUsedSatellites), u"7");
}

TEST(PositionTexts, NoFixEmptiesTheEightTextsOfTheRecordButNotTheReceiverState) {
    ScreenSet screens;
    for (int32_t i = 0; i < kStatusTextCount; ++i)
        screens.setStatusText(static_cast<StatusText>(i), u"old");
    updatePositionTexts(screens, GpsData{});
    for (int32_t i = 0; i < kStatusTextCount; ++i)
        EXPECT_EQ(screens.statusText(static_cast<StatusText>(i)).empty(), i < TextGpsState) << i;
}

// What the map screen says of the receiver, 100 s after the start.
TEST(FixReport, StateAgeAndStaleness) {
    using L = ReceiverLink;
    constexpr uint32_t kNow = 100000;
    constexpr uint32_t kNever = UINT32_MAX; // no live fix yet
    const struct {
        L link;
        FixStatus lastRecord;
        uint32_t liveAgoMs;
        FixSource::Kind kind;
        const char16_t *state, *age, *paused;
        bool stale;
    } cases[] = {
        {L::None, FixNone, kNever, FixSource::Receiver, u"no receiver", u"", u"", true},
        {L::Searching, FixNone, kNever, FixSource::Receiver, u"GPS searching", u"", u"", true},
        {L::Open, FixNone, kNever, FixSource::Receiver, u"GPS no fix", u"", u"", true},
        // Open with a fix: live, however long ago the position last changed.
        {L::Open, Fix3D, 0, FixSource::Receiver, u"GPS 3D", u"", u"", false},
        {L::Open, Fix2D, 0, FixSource::Receiver, u"GPS 2D", u"", u"", false},
        {L::Open, FixUnknown, 0, FixSource::Receiver, u"GPS fix", u"", u"", false},
        // The fix went, or the receiver: the age of the last live fix.
        {L::Open, FixNone, 1000, FixSource::Receiver, u"GPS no fix", u"1 с", u"", true},
        {L::Lost, Fix3D, 59999, FixSource::Receiver, u"GPS lost", u"59 с", u"", true},
        {L::Lost, Fix3D, 125000, FixSource::Receiver, u"GPS lost", u"2 мин", u"", true},
        {L::Reopening, Fix3D, 7300000, FixSource::Receiver, u"GPS lost", u"2 ч", u"", true},
        // The demonstration drive is never stale; a pause is said.
        {L::None, Fix3D, kNever, FixSource::Demo, u"demo", u"", u"", false},
        {L::None, Fix3D, kNever, FixSource::PausedDemo, u"demo", u"", u"paused", false},
    };
    for (const auto& c : cases) {
        ReceiverStatus status;
        status.link = c.link;
        status.fixSeen = c.liveAgoMs != kNever;
        const FixSource source{c.kind, c.lastRecord, status.fixSeen, kNow - c.liveAgoMs};
        const FixReport r = describeFix(status, source, kNow);
        const int line = static_cast<int>(&c - cases);
        EXPECT_EQ(r.state, c.state) << line;
        EXPECT_EQ(r.age, c.age) << line;
        EXPECT_EQ(r.paused, c.paused) << line;
        EXPECT_EQ(r.stale, c.stale) << line;
    }
}

TEST(PositionTexts, SpeedThatIsNoNumberGivesNoText) {
    ScreenSet screens;
    GpsData r = fixRecord();
    r.speed = std::numeric_limits<float>::infinity();
    r.altitude = -1e30f;
    updatePositionTexts(screens, r);
    EXPECT_EQ(screens.statusText(TextSpeed), u"");
    EXPECT_EQ(screens.statusText(TextAltitude), u"");
}

SatelliteInfo satellite(int32_t elevation, int32_t azimuth, int32_t snr, bool used) {
    SatelliteInfo s{};
    s.elevation = elevation;
    s.azimuth = azimuth;
    s.snr = snr;
    s.used = used ? 1 : 0;
    return s;
}

TEST(SatelliteTexts, CountUsedRecords) {
    ScreenSet screens;
    SatelliteInfo table[3] = {satellite(10, 0, 30, true), satellite(20, 0, 30, false),
                              satellite(30, 0, 30, true)};
    updateSatelliteTexts(screens, table, 3);
    EXPECT_EQ(screens.usedCount, 2);
    EXPECT_EQ(screens.statusText(TextAllSatellites), u"3");
    EXPECT_EQ(screens.statusText(TextUsedSatellites), u"2");
}

TEST(SatelliteTexts, CountBeyondTheTableReadsOnlyTheTable) {
    ScreenSet screens;
    std::array<SatelliteInfo, kSatelliteSlots> table{};
    for (auto& s : table) s.used = 1;
    // 30 in view, 24 records: the count is shown, the records are not overrun.
    updateSatelliteTexts(screens, table.data(), 30);
    EXPECT_EQ(screens.statusText(TextAllSatellites), u"30");
    EXPECT_EQ(screens.usedCount, kSatelliteSlots);
}

struct SkyCase {
    int32_t elevation;
    int32_t azimuth;
    int32_t x;
    int32_t y;
};

class SkyPlacement : public testing::TestWithParam<SkyCase> {};

TEST_P(SkyPlacement, PutsTheCornerAtAzimuthAndElevation) {
    const SkyEllipse sky{100, 60, 200, 150};
    const SkyPoint p = skyPosition(satellite(GetParam().elevation, GetParam().azimuth, 0, 0), sky);
    EXPECT_EQ(p.x, GetParam().x);
    EXPECT_EQ(p.y, GetParam().y);
}

INSTANTIATE_TEST_SUITE_P(Cases, SkyPlacement,
                         testing::Values(SkyCase{90, 123, 200, 150}, // zenith: the centre
                                         SkyCase{0, 0, 200, 90},     // north on the horizon
                                         // 3.14 for pi: (299, 149), not (300, 150).
                                         SkyCase{0, 90, 299, 149}, SkyCase{0, 180, 200, 209},
                                         SkyCase{45, 270, 150, 150},
                                         // Below the horizon stays on it.
                                         SkyCase{-10, 0, 200, 90}));

TEST(SkyOpacity, EqualSignalsAllGetTheFloor) {
    const SatelliteInfo table[2] = {satellite(10, 0, 35, 1), satellite(20, 0, 35, 0)};
    const SnrRange range = snrRange(table, 2);
    EXPECT_EQ(skyOpacity(35, range), 140);
}

TEST(SkyOpacity, WeakestToStrongestSpansTheRange) {
    const SatelliteInfo table[3] = {satellite(10, 0, 20, 1), satellite(20, 0, 30, 0),
                                    satellite(20, 0, 40, 0)};
    const SnrRange range = snrRange(table, 3);
    EXPECT_EQ(skyOpacity(20, range), 140);
    EXPECT_EQ(skyOpacity(30, range), 197);
    EXPECT_EQ(skyOpacity(40, range), 255);
}

TEST(SkyView, DrawsNothingBeforeTheFirstTable) {
    ScreenSet screens;
    EXPECT_EQ(drawSkyView(screens), 0);
}

TEST(SkyView, MissingPictureSkipsTheSatelliteAndKeepsTheUsedCount) {
    ScreenSet screens;
    const SatelliteInfo table[2] = {satellite(10, 0, 20, 1), satellite(20, 0, 30, 0)};
    updateSatelliteTexts(screens, table, 2);
    EXPECT_EQ(drawSkyView(screens), 0);
    EXPECT_EQ(screens.usedCount, 1);
}

} // namespace
} // namespace tevo
