// The Gnss parser: checksums, talkers, numbers, the fix sentences, the
// satellite table across systems, detection and the exports.
#include "plugins/gnss/line_parser.hpp"
#include "plugins/gnss/satellite_numbers.hpp"
#include "plugins/receiver_library.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tevo::test {
namespace {

using gnss::GnssState;

class Gnss : public ::testing::Test {
protected:
    void push(std::string_view text) {
        gnss::pushBytes(state, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<int32_t>(text.size()));
    }
    // A sentence with its checksum.
    void send(std::string_view body) { push(sentence(body)); }
    bool positionUpdated() { return state.positionUpdated.exchange(false); }
    bool satellitesUpdated() { return state.satellitesUpdated.exchange(false); }
    std::vector<SatelliteInfo> table() const {
        return {state.satellites.begin(), state.satellites.begin() + state.satelliteCount};
    }
    std::vector<int> prns() const {
        std::vector<int> out;
        for (const SatelliteInfo& s : table()) out.push_back(s.prn);
        return out;
    }
    std::vector<int> usedPrns() const {
        std::vector<int> out;
        for (const SatelliteInfo& s : table()) {
            if (s.used) out.push_back(s.prn);
        }
        return out;
    }

    GnssState state;
};

constexpr const char* kRmcBody = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";

// Checksums ----------------------------------------------------------------

struct ChecksumCase {
    const char* name;
    std::string line;
    bool applied;
};

std::string withTail(std::string line, std::string_view from, std::string_view to) {
    line.replace(line.find(from), from.size(), to);
    return line;
}

void PrintTo(const ChecksumCase& c, std::ostream* os) {
    *os << c.name;
}

class GnssChecksum : public Gnss, public ::testing::WithParamInterface<ChecksumCase> {};

TEST_P(GnssChecksum, DecidesWhetherTheLineCounts) {
    push(GetParam().line);
    EXPECT_EQ(GetParam().applied, positionUpdated());
}

const std::string kGood = sentence(kRmcBody); // ends in "*6A\r\n"

INSTANTIATE_TEST_SUITE_P(
    Lines, GnssChecksum,
    ::testing::Values(ChecksumCase{"Right", kGood, true},
                      ChecksumCase{"Wrong", withTail(kGood, "*6A", "*6B"), false},
                      ChecksumCase{"LowerCaseHex", "$GPRMC,1,A,4807.038,N,01131.000,E,,,*2e\r\n",
                                   true},
                      ChecksumCase{"None", "$" + std::string(kRmcBody) + "\r\n", true},
                      ChecksumCase{"OneDigit", withTail(kGood, "*6A", "*6"), false},
                      ChecksumCase{"ThreeDigits", withTail(kGood, "*6A", "*6A0"), false},
                      ChecksumCase{"NotHex", withTail(kGood, "*6A", "*6G"), false},
                      ChecksumCase{"TrailingBlanks", withTail(kGood, "*6A", "*6A  "), true},
                      ChecksumCase{"NoiseBeforeTheDollar", "\x7f\x01$GPRM" + kGood, true},
                      ChecksumCase{"DamagedField", withTail(kGood, "4807.038", "4807.039"), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Gnss, ChecksumOfTheHelperMatchesAKnownSentence) {
    EXPECT_EQ("$" + std::string(kRmcBody) + "*6A\r\n", kGood);
}

// Talkers ------------------------------------------------------------------

class GnssTalker : public Gnss, public ::testing::WithParamInterface<const char*> {};

TEST_P(GnssTalker, PositionFromEveryTalker) {
    std::string body = kRmcBody;
    body.replace(0, 2, GetParam());
    send(body);
    ASSERT_TRUE(positionUpdated());
    EXPECT_FLOAT_EQ(48.1173f, state.current.latitude);
    EXPECT_FLOAT_EQ(11.516666f, state.current.longitude);
}

INSTANTIATE_TEST_SUITE_P(All, GnssTalker,
                         ::testing::Values("GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI", "IN",
                                           "II", "GX"));

TEST_F(Gnss, ProprietaryAndLowerCaseAreIgnored) {
    for (const char* talker : {"PG", "P_", "gp", "Gn", "G1"}) {
        std::string body = kRmcBody;
        body.replace(0, 2, talker);
        send(body);
        EXPECT_FALSE(positionUpdated()) << talker;
    }
    send("GPrmc,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    EXPECT_FALSE(positionUpdated());
}

// The fix sentences --------------------------------------------------------

TEST_F(Gnss, RmcGivesPositionTimeDateAndSpeed) {
    send(kRmcBody);
    ASSERT_TRUE(positionUpdated());
    const GpsData& g = state.current;
    EXPECT_EQ(FixUnknown, g.fix);
    EXPECT_EQ(12, g.hour);
    EXPECT_EQ(35, g.minute);
    EXPECT_EQ(19, g.second);
    EXPECT_EQ(23, g.day);
    EXPECT_EQ(3, g.month);
    EXPECT_EQ(2094, g.year);
    EXPECT_FLOAT_EQ(41.4848f, g.speed);
}

TEST_F(Gnss, SouthAndWestAreNegative) {
    send("GNRMC,000001,A,2730.500,S,15302.250,W,0,0,010120,,");
    ASSERT_TRUE(positionUpdated());
    EXPECT_FLOAT_EQ(-27.508333f, state.current.latitude);
    EXPECT_FLOAT_EQ(-153.0375f, state.current.longitude);
}

TEST_F(Gnss, AllDigitsOfTheMinutesCount) {
    // Seven decimals of minutes: 0.1 mm; a cut after seven characters would
    // lose about 2 cm.
    send("GPRMC,000001,A,4807.0381234,N,01131.0004321,E,0,0,010120,,");
    ASSERT_TRUE(positionUpdated());
    EXPECT_EQ(static_cast<float>(48 + 7.0381234 / 60), state.current.latitude);
    EXPECT_EQ(static_cast<float>(11 + 31.0004321 / 60), state.current.longitude);
}

TEST_F(Gnss, SamePositionIsAnnouncedOnceButTimeAndSpeedMove) {
    send(kRmcBody);
    ASSERT_TRUE(positionUpdated());
    send("GPRMC,123520,A,4807.038,N,01131.000,E,010.0,084.4,230394,003.1,W");
    EXPECT_FALSE(positionUpdated());
    EXPECT_EQ(20, state.current.second);
    EXPECT_FLOAT_EQ(18.52f, state.current.speed);
}

TEST_F(Gnss, LostFixZeroesTheRecordOnce) {
    send(kRmcBody);
    ASSERT_TRUE(positionUpdated());
    send("GPRMC,123520,V,,,,,,,230394,,");
    EXPECT_TRUE(positionUpdated());
    GpsData zero{};
    EXPECT_EQ(0, std::memcmp(&zero, &state.current, sizeof zero));
    send("GPRMC,123521,V,,,,,,,230394,,");
    EXPECT_FALSE(positionUpdated());
}

struct BadPosition {
    const char* name;
    const char* latitude;
    const char* longitude;
};

void PrintTo(const BadPosition& c, std::ostream* os) {
    *os << c.name;
}

class GnssBadPosition : public Gnss, public ::testing::WithParamInterface<BadPosition> {};

TEST_P(GnssBadPosition, IsIgnoredWhole) {
    send(std::string("GPRMC,101010,A,") + GetParam().latitude + ",N," + GetParam().longitude +
         ",E,1.0,0,010120,,");
    EXPECT_FALSE(positionUpdated());
    EXPECT_EQ(0, state.current.hour);
    EXPECT_EQ(0.0f, state.current.speed);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, GnssBadPosition,
    ::testing::Values(BadPosition{"Empty", "", "01131.000"},
                      BadPosition{"MinutesOf60", "4860.000", "01131.000"},
                      BadPosition{"BeyondThePole", "9100.000", "01131.000"},
                      BadPosition{"BeyondTheDateLine", "4807.038", "18100.000"},
                      BadPosition{"Exponent", "48e2", "01131.000"},
                      BadPosition{"Negative", "-4807.038", "01131.000"},
                      BadPosition{"Letters", "48O7.038", "01131.000"},
                      BadPosition{"Overflow", "9999999999999999999999999999999999999999999999",
                                  "01131.000"},
                      BadPosition{"Infinite", "inf", "01131.000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Gnss, TimeAndDateThatDoNotReadLeaveTheOldOnes) {
    send(kRmcBody);
    send("GPRMC,99,A,4807.100,N,01131.000,E,1.0,0,0003xx,,");
    ASSERT_TRUE(positionUpdated());
    EXPECT_EQ(12, state.current.hour);
    EXPECT_EQ(23, state.current.day);
    EXPECT_EQ(2094, state.current.year);
}

class GnssQuality : public Gnss,
                    public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(GnssQuality, AltitudeForEveryFixQuality) {
    send(kRmcBody);
    ASSERT_TRUE(positionUpdated());
    send(std::string("GNGGA,123519,4807.038,N,01131.000,E,") + GetParam().first +
         ",08,0.9,545.4,M,46.9,M,,");
    EXPECT_EQ(GetParam().second ? 545.4f : 0.0f, state.current.altitude);
    EXPECT_FALSE(positionUpdated()); // beside RMC, GGA announces nothing
}

INSTANTIATE_TEST_SUITE_P(Qualities, GnssQuality,
                         ::testing::Values(std::pair{"0", false}, std::pair{"", false},
                                           std::pair{"1", true}, std::pair{"2", true},
                                           std::pair{"4", true}, std::pair{"5", true},
                                           std::pair{"6", true}, std::pair{"8", true},
                                           std::pair{"9", false}, std::pair{"x", false}));

TEST_F(Gnss, GnsGivesThePositionOnlyToReceiversWithoutRmc) {
    send("GNGNS,101010.00,4807.038,N,01131.000,E,AAN,12,0.8,545.4,46.9,,,V");
    ASSERT_TRUE(positionUpdated());
    EXPECT_FLOAT_EQ(48.1173f, state.current.latitude);
    EXPECT_EQ(545.4f, state.current.altitude);
    EXPECT_EQ(10, state.current.hour);
    send("GNGNS,101011.00,4807.000,N,01131.000,E,NNN,00,,,,,,V");
    EXPECT_TRUE(positionUpdated()); // no fix in any system
    EXPECT_EQ(FixNone, state.current.fix);

    send(kRmcBody);
    ASSERT_TRUE(positionUpdated());
    send("GNGNS,123520.00,4808.000,N,01131.000,E,DA,12,0.8,600.0,46.9,,,V");
    EXPECT_FALSE(positionUpdated());
    EXPECT_FLOAT_EQ(48.1173f, state.current.latitude);
    EXPECT_EQ(600.0f, state.current.altitude);
}

// One sentence gives each fix: RMC, else GNS, else GGA, the date of a GGA or
// GNS fix from the last RMC or ZDA.
std::string gga(const char* time, const char* minutes, const char* quality = "1",
                const char* talker = "GN") {
    return std::string(talker) + "GGA," + time + ",48" + minutes + ",N,01131.000,E," + quality +
           ",08,0.9,545.4,M,46.9,M,,";
}
std::string gns(const char* time, const char* minutes) {
    return std::string("GNGNS,") + time + ",48" + minutes + ",N,01131.000,E,AA,12,0.8,545.4,,,";
}
std::string rmc(const char* time, const char* minutes) {
    return std::string("GPRMC,") + time + ",A,48" + minutes + ",N,01131.000,E,022.4,0,230394,,";
}
std::string zda(const char* time, const char* day) {
    return std::string("GPZDA,") + time + "," + day + ",03,1994,00,00";
}

struct SourceCase {
    const char* name;
    std::vector<std::string> bodies;
    int announced;  // positions announced over all the lines
    double minutes; // of the latitude at the end, past 48 degrees
    int day;        // of the record at the end
    float altitude;
};

void PrintTo(const SourceCase& c, std::ostream* os) {
    *os << c.name;
}

class GnssPositionSource : public Gnss, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(GnssPositionSource, OneSentenceGivesEachFix) {
    const SourceCase& c = GetParam();
    int announced = 0;
    for (const std::string& body : c.bodies) {
        send(body);
        announced += positionUpdated();
    }
    EXPECT_EQ(c.announced, announced);
    EXPECT_FLOAT_EQ(c.minutes == 0 ? 0.0f : float(48 + c.minutes / 60), state.current.latitude);
    EXPECT_EQ(c.day, state.current.day);
    EXPECT_FLOAT_EQ(c.altitude, state.current.altitude);
}

INSTANTIATE_TEST_SUITE_P(
    Sentences, GnssPositionSource,
    ::testing::Values(
        SourceCase{"GgaOfAnyTalker",
                   {gga("100000", "07.000", "1", "IN"), gga("100001", "07.100", "1", "IN")},
                   2,
                   7.1,
                   0,
                   545.4f},
        SourceCase{"GgaWithTheDateOfZda",
                   {zda("100000", "17"), gga("100000", "07.000")},
                   1,
                   7.0,
                   17,
                   545.4f},
        SourceCase{"GgaWithoutFix",
                   {gga("100000", "07.000"), gga("100001", "07.100", "0")},
                   2,
                   0,
                   0,
                   0.0f},
        SourceCase{"GgaBesideRmcGivesTheAltitude",
                   {rmc("100000", "07.000"), gga("100000", "07.100"), gga("100001", "07.200"),
                    rmc("100001", "07.300")},
                   2,
                   7.3,
                   23,
                   545.4f},
        SourceCase{"RmcTakesOverQuietlyInTheEpochGgaAnnounced",
                   {gga("100000", "07.000"), rmc("100000", "07.001"), rmc("100001", "07.002")},
                   2,
                   7.002,
                   23,
                   545.4f},
        SourceCase{"GgaGoesOnWhenRmcStops",
                   {rmc("100000", "07.000"), gga("100001", "07.100"), gga("100002", "07.200"),
                    gga("100003", "07.300"), gga("100004", "07.400")},
                   2,
                   7.4,
                   23,
                   545.4f},
        SourceCase{"GnsBeforeGga",
                   {gns("100000", "07.000"), gga("100000", "07.100"), gga("100001", "07.200"),
                    gns("100001", "07.300")},
                   2,
                   7.3,
                   0,
                   545.4f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Gnss, VtgSpeedInKilometresOrKnots) {
    send(kRmcBody);
    send("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A");
    EXPECT_FLOAT_EQ(10.2f, state.current.speed);
    send("GPVTG,054.7,T,034.4,M,005.5,N,,K,A");
    EXPECT_FLOAT_EQ(10.186f, state.current.speed);
    send("GPVTG,054.7,034.4,003.0,005.6"); // before NMEA 2.3
    EXPECT_FLOAT_EQ(5.6f, state.current.speed);
    send("GPVTG,,T,,M,0.0,N,0.0,K,N"); // not valid
    EXPECT_FLOAT_EQ(5.6f, state.current.speed);
}

TEST_F(Gnss, VtgWithoutFixLeavesTheRecordZero) {
    send("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A");
    EXPECT_EQ(0.0f, state.current.speed);
}

TEST_F(Gnss, GsaModeIsTheBestOfTheEpoch) {
    send(kRmcBody);
    send("GNGSA,A,3,01,02,03,,,,,,,,,,1.6,0.9,1.3,1");
    send("GNGSA,A,1,,,,,,,,,,,,,1.6,0.9,1.3,2");
    EXPECT_EQ(Fix3D, state.current.fix);
    EXPECT_FLOAT_EQ(1.6f, state.current.pdop);
    EXPECT_FLOAT_EQ(0.9f, state.current.hdop);
    EXPECT_FLOAT_EQ(1.3f, state.current.vdop);
    send("GPRMC,123520,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    send("GNGSA,A,2,01,02,03,,,,,,,,,,1.6,,,1");
    EXPECT_EQ(Fix2D, state.current.fix);
    EXPECT_EQ(0.0f, state.current.hdop);
    send("GPRMC,123521,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    send("GNGSA,A,1,,,,,,,,,,,,,,,,1");
    EXPECT_EQ(FixNone, state.current.fix);
    EXPECT_FLOAT_EQ(48.1173f, state.current.latitude); // the position stays
}

// Satellites ---------------------------------------------------------------

struct NumberCase {
    const char* talker;
    int sent;
    int table; // 0: dropped
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.talker << " " << c.sent;
}

class GnssNumbers : public Gnss, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(GnssNumbers, EachSystemHasItsOwnRange) {
    std::string body = std::string(GetParam().talker) + "GSV,1,1,01," +
                       std::to_string(GetParam().sent) + ",45,180,40";
    send(body);
    ASSERT_TRUE(satellitesUpdated());
    if (GetParam().table == 0) {
        EXPECT_TRUE(table().empty());
    } else {
        EXPECT_EQ(std::vector<int>{GetParam().table}, prns());
    }
}

INSTANTIATE_TEST_SUITE_P(Systems, GnssNumbers,
                         ::testing::Values(NumberCase{"GP", 5, 5}, NumberCase{"GP", 46, 46},
                                           NumberCase{"GP", 131, 44}, NumberCase{"GP", 70, 70},
                                           NumberCase{"GP", 195, 213}, NumberCase{"GP", 100, 0},
                                           NumberCase{"GL", 5, 69}, NumberCase{"GL", 70, 70},
                                           NumberCase{"GL", 40, 0}, NumberCase{"GA", 1, 101},
                                           NumberCase{"GA", 36, 136}, NumberCase{"GA", 305, 105},
                                           NumberCase{"GB", 1, 141}, NumberCase{"BD", 63, 203},
                                           NumberCase{"GB", 205, 145}, NumberCase{"BD", 405, 145},
                                           NumberCase{"GQ", 1, 211}, NumberCase{"GQ", 194, 212},
                                           NumberCase{"GI", 14, 244}, NumberCase{"GI", 15, 0},
                                           NumberCase{"GN", 305, 105}, NumberCase{"GP", 0, 0},
                                           NumberCase{"GP", -3, 0}, NumberCase{"GA", 99999999, 0}),
                         [](const auto& info) {
                             std::string n = std::to_string(info.param.sent);
                             std::replace(n.begin(), n.end(), '-', 'm');
                             return std::string(info.param.talker) + "_" + n;
                         });

TEST_F(Gnss, NoTwoSystemsShareATableNumber) {
    using gnss::Talker;
    // Each system's own numbers, from 1 up to its largest.
    const std::pair<Talker, int> systems[] = {{Talker::Gps, 32},     {Talker::Glonass, 32},
                                              {Talker::Galileo, 36}, {Talker::BeiDou, 63},
                                              {Talker::Qzss, 10},    {Talker::Navic, 14}};
    std::vector<int> owner(256, -1);
    for (int i = 0; i < 6; ++i) {
        auto [system, largest] = systems[i];
        for (int sent = 1; sent <= largest; ++sent) {
            int prn = gnss::tableNumber(system, sent);
            ASSERT_NE(0, prn) << i << " " << sent;
            EXPECT_EQ(-1, owner[prn]) << "table number " << prn << " taken twice";
            owner[prn] = i;
            EXPECT_EQ(system, gnss::systemOf(static_cast<uint8_t>(prn)));
        }
    }
}

TEST_F(Gnss, CyclesOfEverySystemMakeOneTable) {
    send("GPGSV,2,1,05,03,50,217,40,06,49,201,38,09,10,068,,14,30,153,20");
    send("GPGSV,2,2,05,19,58,270,36");
    ASSERT_TRUE(satellitesUpdated());
    send("GLGSV,1,1,03,66,18,048,30,67,72,050,32,75,16,358,39");
    ASSERT_TRUE(satellitesUpdated());
    send("GAGSV,1,1,02,04,20,100,33,11,60,300,41");
    send("GBGSV,1,1,01,07,30,200,35");
    ASSERT_TRUE(satellitesUpdated());
    EXPECT_EQ((std::vector<int>{3, 6, 9, 14, 19, 66, 67, 75, 104, 111, 147}), prns());
    const SatelliteInfo glonass = table()[6];
    EXPECT_EQ(72, glonass.elevation);
    EXPECT_EQ(50, glonass.azimuth);
    EXPECT_EQ(32, glonass.snr);
}

TEST_F(Gnss, SatellitesUsedFromEveryGsaOfTheEpoch) {
    send(kRmcBody);
    // Before NMEA 4.11 a combined receiver sends one GNGSA per system.
    send("GNGSA,A,3,03,06,,,,,,,,,,,2.1,1.8,0.9");
    send("GNGSA,A,3,67,75,,,,,,,,,,,2.1,1.8,0.9");
    send("GAGSA,A,3,11,,,,,,,,,,,,2.1,1.8,0.9");
    send("GNGSA,A,3,07,,,,,,,,,,,,2.1,1.8,0.9,4"); // BeiDou by its system id
    send("GPGSV,1,1,03,03,50,217,40,06,49,201,38,09,10,068,");
    send("GLGSV,1,1,02,67,72,050,32,75,16,358,39");
    send("GAGSV,1,1,02,04,20,100,33,11,60,300,41");
    send("GBGSV,1,1,02,07,30,200,35,08,10,010,20");
    ASSERT_TRUE(satellitesUpdated());
    EXPECT_EQ((std::vector<int>{3, 6, 67, 75, 111, 147}), usedPrns());
}

TEST_F(Gnss, NewGsaOfASystemReplacesItsUsedSatellites) {
    send(kRmcBody);
    send("GPGSA,A,3,03,06,,,,,,,,,,,2.1,1.8,0.9");
    send("GPGSA,A,3,09,,,,,,,,,,,,2.1,1.8,0.9");
    send("GPGSV,1,1,03,03,50,217,40,06,49,201,38,09,10,068,");
    ASSERT_TRUE(satellitesUpdated());
    EXPECT_EQ(std::vector<int>{9}, usedPrns());
}

TEST_F(Gnss, WithMoreThan24InViewUsedAndStrongestAreKept) {
    send(kRmcBody);
    // 32 GPS satellites, snr 10..41; the used ones are weak.
    for (int n = 0; n < 8; ++n) {
        std::string body = "GPGSV,8," + std::to_string(n + 1) + ",32";
        for (int k = 0; k < 4; ++k) {
            int prn = n * 4 + k + 1;
            body += "," + std::to_string(prn) + ",30,100," + std::to_string(prn + 9);
        }
        if (n == 0) send("GPGSA,A,3,01,02,03,,,,,,,,,,2.1,1.8,0.9");
        send(body);
    }
    ASSERT_TRUE(satellitesUpdated());
    std::vector<int> expected = {1, 2, 3};
    for (int prn = 12; prn <= 32; ++prn) expected.push_back(prn);
    EXPECT_EQ(expected, prns());
    EXPECT_EQ(24, state.satelliteCount);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), usedPrns());
}

TEST_F(Gnss, LostGsvSentenceSpoilsTheCycle) {
    send("GPGSV,3,1,09,01,50,217,40,02,49,201,38,03,10,068,,04,30,153,20");
    send("GPGSV,3,3,09,09,58,270,36");
    EXPECT_FALSE(satellitesUpdated());
    EXPECT_TRUE(table().empty());
    send("GPGSV,1,1,01,05,58,270,36");
    ASSERT_TRUE(satellitesUpdated());
    EXPECT_EQ(std::vector<int>{5}, prns());
}

TEST_F(Gnss, SignalsOfOneSystemListASatelliteOnce) {
    // NMEA 4.11: one cycle per signal, the signal id after the last group.
    send("GPGSV,1,1,02,03,50,217,40,06,49,201,38,1");
    send("GPGSV,1,1,02,03,50,217,44,09,10,068,30,8");
    ASSERT_TRUE(satellitesUpdated());
    EXPECT_EQ((std::vector<int>{3, 6, 9}), prns());
    EXPECT_EQ(44, table()[0].snr);
}

TEST_F(Gnss, SystemThatFallsSilentLeavesTheTable) {
    send("GLGSV,1,1,01,66,18,048,30");
    send("GPGSV,1,1,01,03,50,217,40");
    ASSERT_EQ((std::vector<int>{66, 3}), prns());
    for (int second = 10; second < 15; ++second) {
        send("GPRMC,1200" + std::to_string(second) + ",A,4807.038,N,01131.000,E,0,0,230394,,");
        send("GPGSV,1,1,01,03,50,217,40");
    }
    EXPECT_EQ(std::vector<int>{3}, prns());
}

TEST_F(Gnss, HugeNumbersInSatelliteFieldsDoNotOverflow) {
    send("GPGSV,1,1,01,05,99999999999999999999,-99999999999999999999,4294967296");
    ASSERT_TRUE(satellitesUpdated());
    ASSERT_EQ(1u, table().size());
    EXPECT_EQ(0, table()[0].elevation); // beyond NMEA's ranges: not known
    EXPECT_EQ(0, table()[0].azimuth);
    EXPECT_EQ(0, table()[0].snr);
    send("GPGSV,99999999999999999999,99999999999999999999,1,07,10,10,10");
    EXPECT_FALSE(satellitesUpdated());
}

// Lines --------------------------------------------------------------------

TEST_F(Gnss, SentenceSplitOverPushesIsAppliedOnce) {
    push(kGood.substr(0, 40));
    EXPECT_FALSE(positionUpdated());
    push(kGood.substr(40));
    EXPECT_TRUE(positionUpdated());
}

TEST_F(Gnss, OverlongLineIsSkippedAndTheNextOneRead) {
    push("$GPGSV," + std::string(100000, '7'));
    push("\n" + kGood);
    EXPECT_TRUE(positionUpdated());
    EXPECT_LE(state.line.capacity(), 4096u);
}

TEST_F(Gnss, RandomBytesAreHarmless) {
    std::string noise;
    uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245 + 12345;
        const char alphabet[] = "$GNRMCSVAT,*.0123456789\r\nEW-";
        noise += alphabet[(x >> 16) % (sizeof(alphabet) - 1)];
    }
    push(noise);
    push("\n" + kGood);
    EXPECT_TRUE(positionUpdated());
}

// Detection ----------------------------------------------------------------

struct DetectCase {
    const char* name;
    std::string sample;
    bool detected;
};

void PrintTo(const DetectCase& c, std::ostream* os) {
    *os << c.name;
}

class GnssDetect : public ::testing::TestWithParam<DetectCase> {};

TEST_P(GnssDetect, OtherTalkersThanGpsOnly) {
    const std::string& s = GetParam().sample;
    EXPECT_EQ(GetParam().detected,
              gnss::detectReceiver(reinterpret_cast<const uint8_t*>(s.data()), uint32_t(s.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Samples, GnssDetect,
    ::testing::Values(DetectCase{"GnRmc", "xx$GNRMC,1", true},
                      DetectCase{"GlonassSatellites", "$GPGSV,1,1\r\n$GLGSV,1", true},
                      DetectCase{"BeiDouSatellites", "..$BDGSV,1,1", true},
                      DetectCase{"GalileoGns", "$GAGNS,", true},
                      DetectCase{"GpsOnly", "$GPRMC,1,A\r\n$GPGGA,1\r\n$GPGSV,1,1", false},
                      DetectCase{"GnTextOnly", "$GNTXT,01,01,02,hello", false},
                      DetectCase{"Proprietary", "$PORZD,A,024.2*38", false},
                      DetectCase{"ProprietaryLikeRmc", "$PGRMC,A,218.8", false},
                      DetectCase{"IntegratedNavigation", "$INGGA,1", true},
                      DetectCase{"CutAtTheEnd", "12345$GNRM", false},
                      DetectCase{"JustFits", "$GNRMC", true}, DetectCase{"Empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GnssDetect, NeverLooksPastTheSample) {
    // The sample ends one letter short of an address; the letter after it
    // belongs to someone else's memory.
    const std::string memory = "12345$GNRMC";
    EXPECT_FALSE(gnss::detectReceiver(reinterpret_cast<const uint8_t*>(memory.data()),
                                      uint32_t(memory.size() - 1)));
}

// The exports --------------------------------------------------------------

TEST(GnssExports, AnswerLikeEveryReceiverPlugin) {
    ReceiverLibrary lib("Gnss");
    ASSERT_TRUE(lib.loaded());
    EXPECT_EQ(Receiver, lib.getDetails());
    EXPECT_EQ(1024, lib.api.PluginGetMinimumBytes());
    char16_t desc[16] = {};
    lib.getDesc(desc);
    EXPECT_EQ(std::u16string(u"Gnss"), std::u16string(desc));
    GpsData fix;
    std::memset(&fix, 0xAB, sizeof fix);
    lib.api.PluginGetGPSData(&fix);
    GpsData zero{};
    EXPECT_EQ(0, std::memcmp(&zero, &fix, sizeof fix));
    SatelliteInfo table[kSatelliteSlots];
    std::memset(table, 0xAB, sizeof table);
    int32_t count = -1;
    EXPECT_EQ(0, lib.api.PluginGetSSI(table, &count));
    EXPECT_EQ(0, count);
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    EXPECT_FALSE(lib.api.PluginSatellitesUpDated());
}

TEST(GnssExports, FlagsAreReadOnceAndTheCountIsTheFilledRecords) {
    ReceiverLibrary lib("Gnss");
    ASSERT_TRUE(lib.loaded());
    lib.push(sentence(kRmcBody));
    EXPECT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    lib.push(sentence("GPGSV,1,1,40,03,50,217,40,06,49,201,38"));
    EXPECT_TRUE(lib.api.PluginSatellitesUpDated());
    EXPECT_FALSE(lib.api.PluginSatellitesUpDated());
    EXPECT_EQ(2u, lib.satellites().size());
}

} // namespace
} // namespace tevo::test
