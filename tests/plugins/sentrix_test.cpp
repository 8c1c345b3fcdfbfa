// The Sentrix library through its exports: the boundary's promises and the
// sentence rules, case by case.
#include "plugins/receiver_library.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace tevo::test {
namespace {

constexpr char kRmc[] = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

class Sentrix : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lib.loaded()) << dlerror(); }
    ReceiverLibrary lib{"Sentrix"};
};

bool allZero(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

TEST_F(Sentrix, AnswersTheBoundaryConstants) {
    EXPECT_EQ(Receiver, lib.getDetails());
    EXPECT_EQ(150, lib.api.PluginGetMinimumBytes());
    char16_t desc[16] = {};
    lib.getDesc(desc);
    EXPECT_EQ(std::u16string_view(u"Sentrix"), std::u16string_view(desc));
    lib.deInit();
    EXPECT_EQ(Receiver, lib.getDetails()); // also without state
    lib.init(u"x");
}

TEST_F(Sentrix, StartsWithNothingKnown) {
    GpsData fix;
    std::memset(&fix, 0xAB, sizeof(fix));
    lib.api.PluginGetGPSData(&fix);
    EXPECT_TRUE(allZero(&fix, sizeof(fix)));
    SatelliteInfo table[kSatelliteSlots];
    std::memset(table, 0xAB, sizeof(table));
    int32_t count = -1;
    EXPECT_EQ(0, lib.api.PluginGetSSI(table, &count));
    EXPECT_EQ(0, count);
    EXPECT_TRUE(allZero(table, sizeof(table)));
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    EXPECT_FALSE(lib.api.PluginSatellitesUpDated());
}

TEST_F(Sentrix, ReadsRmcIntoDegreesKmhAndUtc) {
    lib.push(kRmc);
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated()); // read once
    GpsData fix = lib.gpsData();
    EXPECT_NEAR(48.1173, fix.latitude, 1e-5);
    EXPECT_NEAR(11.516666, fix.longitude, 1e-5);
    EXPECT_NEAR(41.4848, fix.speed, 1e-4);
    EXPECT_EQ(1, fix.fix);
    EXPECT_EQ(23, fix.day);
    EXPECT_EQ(3, fix.month);
    EXPECT_EQ(2094, fix.year);
    EXPECT_EQ(12, fix.hour);
    EXPECT_EQ(35, fix.minute);
    EXPECT_EQ(19, fix.second);
}

TEST_F(Sentrix, SignsFollowHemispheres) {
    lib.push("$GPRMC,030719.000,A,3747.0873,S,17518.8938,W,0.69,181.39,311214,,,A*7D\n");
    GpsData fix = lib.gpsData();
    EXPECT_NEAR(-37.784788, fix.latitude, 1e-5);
    EXPECT_NEAR(-175.314897, fix.longitude, 1e-4);
}

TEST_F(Sentrix, SameRmcTwiceAnnouncesOnceButRefreshesTimeAndSpeed) {
    lib.push(kRmc);
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    lib.push("$GPRMC,123520,A,4807.038,N,01131.000,E,010.0,084.4,240394,003.1,W*6A\r\n");
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    GpsData fix = lib.gpsData();
    EXPECT_EQ(20, fix.second);
    EXPECT_EQ(24, fix.day);
    EXPECT_NEAR(18.52, fix.speed, 1e-4);
}

TEST_F(Sentrix, SentenceSplitOverTwoPushesIsAppliedOnce) {
    std::string_view rmc(kRmc);
    lib.push(rmc.substr(0, 40));
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    lib.push(rmc.substr(40));
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_NEAR(48.1173, lib.gpsData().latitude, 1e-5);
}

TEST_F(Sentrix, VoidStatusClearsTheFixOnce) {
    lib.push(kRmc);
    lib.api.PluginIsPositionUpdated();
    lib.push("$GPRMC,123521,V,,,,,,,230394,,*6A\r\n");
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    GpsData fix = lib.gpsData();
    EXPECT_TRUE(allZero(&fix, sizeof(fix)));
    lib.push("$GPRMC,123522,V,,,,,,,230394,,*6A\r\n");
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
}

struct IgnoredRmc {
    const char* label;
    const char* line;
};

class SentrixIgnoredRmc : public Sentrix, public ::testing::WithParamInterface<IgnoredRmc> {};

TEST_P(SentrixIgnoredRmc, AnnouncesNoPosition) {
    lib.push(GetParam().line);
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    GpsData fix = lib.gpsData();
    EXPECT_TRUE(allZero(&fix, sizeof(fix)));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SentrixIgnoredRmc,
    ::testing::Values(
        IgnoredRmc{"EmptyStatus",
                   "$GPRMC,123519,,4807.038,N,01131.000,E,022.4,084.4,230394,,*6A\n"},
        IgnoredRmc{"OtherStatus",
                   "$GPRMC,123519,X,4807.038,N,01131.000,E,022.4,084.4,230394,,*6A\n"},
        IgnoredRmc{"LowerCaseStatus",
                   "$GPRMC,123519,a,4807.038,N,01131.000,E,022.4,084.4,230394,,*6A\n"},
        // Too short to hold its degrees: it would read as a false position.
        IgnoredRmc{"ShortLatitude", "$GPRMC,123519,A,4,N,01131.000,E,022.4,084.4,230394,,*6A\n"},
        IgnoredRmc{"ShortLongitude", "$GPRMC,123519,A,4807.038,N,01,E,022.4,084.4,230394,,*6A\n"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Sentrix, ShortTimeAndDateFieldsReadAsFarAsTheyGo) {
    lib.push("$GPRMC,12,A,4807.038,N,01131.000,E,022.4,084.4,2,,*6A\n");
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    GpsData fix = lib.gpsData();
    EXPECT_EQ(12, fix.hour);
    EXPECT_EQ(0, fix.minute);
    EXPECT_EQ(0, fix.second);
    EXPECT_EQ(2, fix.day);
    EXPECT_EQ(0, fix.month);
    EXPECT_EQ(2000, fix.year);
}

TEST_F(Sentrix, AltitudeOnlyFromGpsQualityFix) {
    const struct {
        const char* gga;
        float altitude;
    } cases[] = {
        {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n", 545.4f},
        {"$GPGGA,123520,4807.038,N,01131.000,E,2,08,0.9,600.0,M,46.9,M,,*47\n", 545.4f},
        {"$GPGGA,123521,4807.038,N,01131.000,E,0,08,0.9,700.0,M,46.9,M,,*47\n", 545.4f},
        {"$GPGGA,123522,4807.038,N,01131.000,E,1,08,0.9,-4,M,46.9,M,,*47\n", -4.0f},
    };
    for (const auto& c : cases) {
        lib.push(c.gga);
        EXPECT_FLOAT_EQ(c.altitude, lib.gpsData().altitude) << c.gga;
        EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    }
}

TEST_F(Sentrix, GsaSetsFixKindAndDilutions) {
    const struct {
        const char* gsa;
        uint8_t fix;
        float pdop, hdop, vdop;
    } cases[] = {
        {"$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\n", 3, 2.5f, 1.3f, 2.1f},
        {"$GPGSA,A,2,04,05,,09,12,,,24,,,,,,1.3,*39\n", 2, 0.0f, 1.3f, 0.0f},
        {"$GPGSA,A,7,04,05,,09,12,,,24,,,,,1,2,3*39\n", 2, 1.0f, 2.0f, 3.0f},
        {"$GPGSA,A,1,,,,,,,,,,,,,,,*1E\n", 0, 0.0f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        lib.push(c.gsa);
        GpsData fix = lib.gpsData();
        EXPECT_EQ(c.fix, fix.fix) << c.gsa;
        EXPECT_FLOAT_EQ(c.pdop, fix.pdop) << c.gsa;
        EXPECT_FLOAT_EQ(c.hdop, fix.hdop) << c.gsa;
        EXPECT_FLOAT_EQ(c.vdop, fix.vdop) << c.gsa;
    }
}

TEST_F(Sentrix, SatelliteCycleIsAnnouncedByItsLastSentence) {
    lib.push("$GPGSA,A,3,17,01,,,,,,,,,,,1.8,1.1,1.5*33\n");
    lib.push("$GPGSV,3,1,09,17,72,207,32,28,59,095,31,06,35,347,25,01,29,132,23*7B\n");
    EXPECT_FALSE(lib.api.PluginSatellitesUpDated());
    lib.push("$GPGSV,3,2,09,30,23,011,29,20,17,069,20,26,09,293,23,13,07,304,10*7C\n");
    EXPECT_FALSE(lib.api.PluginSatellitesUpDated());
    // The third sentence lists more than the nine in view: the rest is dropped.
    lib.push("$GPGSV,3,3,12,11,12,132,04,08,38,008,,02,35,348,,03,14,091,*73\n");
    EXPECT_TRUE(lib.api.PluginSatellitesUpDated());
    EXPECT_FALSE(lib.api.PluginSatellitesUpDated());
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = 0;
    EXPECT_EQ(9, lib.api.PluginGetSSI(table, &count));
    EXPECT_EQ(9, count);
    EXPECT_EQ(17, table[0].prn);
    EXPECT_EQ(72, table[0].elevation);
    EXPECT_EQ(207, table[0].azimuth);
    EXPECT_EQ(32, table[0].snr);
    EXPECT_EQ(1, table[0].used);
    EXPECT_EQ(0, table[1].used);
    EXPECT_EQ(1, table[3].used); // prn 01
    EXPECT_EQ(11, table[8].prn);
    EXPECT_EQ(0, table[9].prn);
}

// A GSV cycle listing `inView` satellites with PRNs 1, 2, ..., four a sentence.
std::vector<std::string> gsvCycle(int inView) {
    const int total = (inView + 3) / 4;
    std::vector<std::string> lines;
    for (int number = 1, prn = 1; number <= total; ++number) {
        std::string line = "$GPGSV," + std::to_string(total) + "," + std::to_string(number) + "," +
                           std::to_string(inView);
        for (int i = 0; i < 4 && prn <= inView; ++i, ++prn)
            line += "," + std::to_string(prn) + ",45," + std::to_string(prn * 10) + ",30";
        lines.push_back(line + "*00\n");
    }
    return lines;
}

TEST_F(Sentrix, MoreSatellitesInViewThanTheTableHoldsFillItAndNoMore) {
    lib.push("$GPGSA,A,3,01,24,25,32,,,,,,,,,1.8,1.1,1.5*33\n");
    for (int cycle = 0; cycle < 2; ++cycle) {
        for (const std::string& line : gsvCycle(32)) lib.push(line);
        ASSERT_TRUE(lib.api.PluginSatellitesUpDated());
        SatelliteInfo table[kSatelliteSlots + 1] = {};
        table[kSatelliteSlots].prn = 0xEE; // must stay untouched
        int32_t count = 0;
        EXPECT_EQ(32, lib.api.PluginGetSSI(table, &count));
        EXPECT_EQ(32, count);
        for (int i = 0; i < kSatelliteSlots; ++i) {
            EXPECT_EQ(i + 1, table[i].prn) << i;
            EXPECT_EQ((i + 1) * 10, table[i].azimuth) << i;
            EXPECT_EQ(i == 0 || i == 23 ? 1 : 0, table[i].used) << i;
        }
        EXPECT_EQ(0xEE, table[kSatelliteSlots].prn);
    }
    // The receiver's state behind the table is intact: a smaller cycle reads right.
    for (const std::string& line : gsvCycle(5)) lib.push(line);
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = 0;
    EXPECT_EQ(5, lib.api.PluginGetSSI(table, &count));
    EXPECT_EQ(5, table[4].prn);
    EXPECT_EQ(0, table[5].prn);
    lib.push(kRmc);
    EXPECT_NEAR(48.1173, lib.gpsData().latitude, 1e-5);
}

TEST_F(Sentrix, UsedFlagsWaitForTheNextCompleteCycle) {
    lib.push("$GPGSV,1,1,02,05,10,100,30,07,20,200,40*7B\n");
    lib.push("$GPGSA,A,3,07,,,,,,,,,,,,1.8,1.1,1.5*33\n");
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = 0;
    lib.api.PluginGetSSI(table, &count);
    EXPECT_EQ(0, table[1].used);
    lib.push("$GPGSV,1,1,02,05,10,100,30,07,20,200,40*7B\n");
    lib.api.PluginGetSSI(table, &count);
    EXPECT_EQ(0, table[0].used);
    EXPECT_EQ(1, table[1].used);
}

TEST_F(Sentrix, CycleWithoutItsFirstSentenceStillClearsOldUsedFlags) {
    lib.push("$GPGSA,A,3,07,,,,,,,,,,,,1.8,1.1,1.5*33\n");
    lib.push("$GPGSV,2,1,05,05,10,100,30,07,20,200,40,09,30,300,35,11,40,40,20*7B\n");
    lib.push("$GPGSV,2,2,05,13,50,50,25*7B\n");
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = 0;
    lib.api.PluginGetSSI(table, &count);
    ASSERT_EQ(1, table[1].used);
    // The receiver now uses 05 only, and the next cycle's first sentence is lost.
    lib.push("$GPGSA,A,3,05,,,,,,,,,,,,1.8,1.1,1.5*33\n");
    lib.push("$GPGSV,2,2,05,13,50,50,25*7B\n");
    lib.api.PluginGetSSI(table, &count);
    EXPECT_EQ(1, table[0].used);
    EXPECT_EQ(0, table[1].used);
}

TEST_F(Sentrix, OutOfRangeNumbersSaturate) {
    lib.push("$GPGSV,1,1,99999999999,01,10,100,30*7B\n");
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = 0;
    EXPECT_EQ(INT32_MAX, lib.api.PluginGetSSI(table, &count));
    EXPECT_EQ(1, table[0].prn);
}

TEST_F(Sentrix, IgnoresOtherTalkersAndLowerCase) {
    const char* lines[] = {
        "$GNRMC,135651.997,A,5543.0328,N,03724.7198,E,00.00,129.5,051209,,,A*79\r\n",
        "$gprmc,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n",
        "$GPRMCX,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n",
        "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n",
        "$GNGSA,A,3,19,27,,,,,,,,,,,02.1,01.8,00.9*13\r\n",
    };
    for (const char* line : lines) lib.push(line);
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    GpsData fix = lib.gpsData();
    EXPECT_TRUE(allZero(&fix, sizeof(fix)));
}

TEST_F(Sentrix, SurvivesMalformedSentences) {
    const char* lines[] = {
        "$GPRMC,1,A,4,N,01,E,x,y,2,,*00\n", // fields too short for their pieces
        "$GPRMC,,A,,,,,,,,,,\n",
        "$GPRMC\n",
        "$GPGSV\n",
        "$GPGSV,1,1,99999999999999999999,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n",
        "$GPGSA,A\n",
        "$GPGGA,,,,,,1\n",
        "\n",
        "\r\r\r\n",
    };
    for (const char* line : lines) lib.push(line);
    lib.push(kRmc);
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_NEAR(48.1173, lib.gpsData().latitude, 1e-5);
}

// Noise costs at most its sentence; satellite numbers out of range read as 0.
TEST_F(Sentrix, NoiseSparesTheNextSentence) {
    const std::string rmc = kRmc;
    for (const std::string& bytes :
         {std::string(1, '\0') + rmc, "\x7F" + rmc, "$GPGSV,3,1,1" + rmc,
          "$GPRMC,123519,A,50\x01\x7F,N,01131.000,E,022.4,084.4,230394,,*6A\r\n" + rmc,
          rmc.substr(0, rmc.size() - 2) + std::string("\xFF\0\r\n", 4),
          "$GPRMC,1,V*00\r\nx\x00" + rmc}) {
        lib.deInit();
        lib.init(u"x");
        for (char byte : bytes) lib.push(std::string(1, byte)); // as slowly as a port may
        EXPECT_TRUE(lib.api.PluginIsPositionUpdated()) << bytes;
        EXPECT_NEAR(48.1173, lib.gpsData().latitude, 1e-5) << bytes;
    }
    lib.push("$GPGSV,1,1,01,01,2147483647,-2147483648,100*7B\n");
    ASSERT_EQ(1u, lib.satellites().size());
    EXPECT_EQ(0, lib.satellites()[0].elevation | lib.satellites()[0].azimuth |
                     lib.satellites()[0].snr);
}

TEST_F(Sentrix, NoiseFillingTheBufferDoesNotSilenceTheReceiver) {
    std::string noise(4000, 'x');
    for (int i = 0; i < 6; ++i) lib.push(noise); // 24000 bytes without a line feed
    lib.push(std::string("\n") + kRmc);
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_NEAR(48.1173, lib.gpsData().latitude, 1e-5);
    std::string huge(40000, 'y'); // larger than the buffer in one push
    lib.push(huge + "\n$GPRMC,123519,A,4807.038,S,01131.000,E,022.4,084.4,230394,,*6A\n");
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_NEAR(-48.1173, lib.gpsData().latitude, 1e-5);
}

TEST_F(Sentrix, NoiseEndingJustShortOfTheBufferEdge) {
    // Unprocessed noise and a new batch that together just pass the buffer's
    // end: the noise goes, the batch is kept whole.
    for (int32_t fill : {16384 - 60, 16384 - 1, 16384}) {
        std::string noise(static_cast<std::size_t>(fill), 'x');
        lib.push(noise.substr(0, 8000));
        lib.push(noise.substr(8000));
        lib.push(std::string("\n") + kRmc);
        EXPECT_TRUE(lib.api.PluginIsPositionUpdated()) << fill;
        lib.push("$GPRMC,123519,V,,,,,,,230394,,*6A\n");
        lib.api.PluginIsPositionUpdated();
    }
}

TEST_F(Sentrix, OnePushJustLargerThanTheBufferKeepsItsEnd) {
    for (std::size_t extra : {0u, 1u, 50u}) {
        std::string batch(16384 + extra - std::strlen(kRmc) + 1, 'z');
        batch += "\n";
        batch += kRmc;
        batch.erase(0, 1);
        lib.push(batch);
        EXPECT_TRUE(lib.api.PluginIsPositionUpdated()) << extra;
        EXPECT_NEAR(48.1173, lib.gpsData().latitude, 1e-5);
        lib.push("$GPRMC,123519,V,,,,,,,230394,,*6A\n");
        lib.api.PluginIsPositionUpdated();
    }
}

TEST_F(Sentrix, DetectsTheStartOfAKnownSentence) {
    const struct {
        std::string_view bytes;
        bool detected;
    } cases[] = {
        {"xx$GPGSA,A,3,,,", true}, {"$GP", false},    {"abc$GP", false}, {"abc$GPx", true},
        {"$PSRF", true},           {"..$Mi..", true}, {"..$TOx", true},  {"$gpgsa,A", false},
        {"$GNRMC,1", false},       {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.detected,
                  lib.api.PluginDetectReceiver(reinterpret_cast<const uint8_t*>(c.bytes.data()),
                                               static_cast<uint32_t>(c.bytes.size())))
            << c.bytes;
    }
}

TEST_F(Sentrix, KeepsAtMost254UnitsOfItsPathWithoutSplittingAPair) {
    lib.deInit();
    std::u16string path(300, u'a');
    lib.init(path.c_str());
    EXPECT_EQ(std::u16string(254, u'a'), std::u16string(lib.keptPath()));
    lib.deInit();
    path = std::u16string(253, u'b') + u"\U0001F600" + u"tail";
    lib.init(path.c_str());
    EXPECT_EQ(std::u16string(253, u'b'), std::u16string(lib.keptPath()));
    lib.deInit();
    lib.init(u"/short/Sentrix.so");
    EXPECT_EQ(std::u16string(u"/short/Sentrix.so"), std::u16string(lib.keptPath()));
}

} // namespace
} // namespace tevo::test
