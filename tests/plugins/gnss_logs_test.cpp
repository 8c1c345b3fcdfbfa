// Every captured log, replayed through the loaded Gnss library in pushes of
// varying sizes, gives the fix that an independent reading of its lines
// gives and every position of gpsd's decode of it; the $GN log yields
// positions, and a damaged line yields none.
#include "plugins/gnss_reference.hpp"
#include "plugins/receiver_library.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path copiedLogs() {
    return fs::path(TEVO_SOURCE_DIR) / "tests/plugins/data";
}

// A test name from a log's file name.
std::string logName(std::string name) {
    name = name.substr(0, name.find('.'));
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// Pushes the log in pieces drawn from [1, largest]; after each push compares
// the fix and its flag with the reference reading of the complete lines
// pushed so far. The number of positions announced.
int replay(const std::string& log, int largest, unsigned seed) {
    ReceiverLibrary lib("Gnss");
    EXPECT_TRUE(lib.loaded());
    if (!lib.loaded()) return 0;
    GnssReference want;
    replayLog(lib, log, largest, seed, want, [&](std::size_t lines) {
        EXPECT_EQ(want.positionFlag, lib.api.PluginIsPositionUpdated()) << "after line " << lines;
        want.positionFlag = false;
        expectSameFix(lib.gpsData(), want.current, lines);
    });
    if (::testing::Test::HasFailure()) return 0;
    return want.positionsAnnounced;
}

void replayInPieces(const std::string& log) {
    const struct {
        int largest;
        unsigned seed;
    } passes[] = {{7, 1}, {200, 2}, {4096, 3}};
    for (const auto& pass : passes) {
        int positions = replay(log, pass.largest, pass.seed);
        if (::testing::Test::HasFailure()) return;
        EXPECT_GT(positions, 0);
    }
}

class GnssLogReplay : public ::testing::TestWithParam<const char*> {};

TEST_P(GnssLogReplay, ReportsWhatTheSentencesSay) {
    std::string log = readText(copiedLogs() / GetParam());
    ASSERT_FALSE(log.empty());
    replayInPieces(log);
}

INSTANTIATE_TEST_SUITE_P(CopiedLogs, GnssLogReplay,
                         ::testing::Values("bu353s4.log", "bundg_zeus_9.log", "ch-4711.log",
                                           "garmin25lp.log", "haicom-305N.log", "mt3339.log",
                                           "skytraq-dgps.log", "telit-he910.log"),
                         [](const auto& info) { return logName(info.param); });

// gpsd's decode of the same log holds each position it reported, in TPV
// lines; Gnss reports every one that its sentences carry, with the
// exceptions listed in the table below.
struct Degrees {
    double latitude;
    double longitude;
};

// The number after `"key":` in a JSON line, when there is one.
std::optional<double> jsonNumber(const std::string& line, const std::string& key) {
    const std::size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos) return std::nullopt;
    return std::strtod(line.c_str() + at + key.size() + 3, nullptr);
}

std::vector<Degrees> decodedPositions(const std::string& decode) {
    std::vector<Degrees> out;
    std::istringstream lines(decode);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"class\":\"TPV\"") == std::string::npos) continue;
        auto mode = jsonNumber(line, "mode"), lat = jsonNumber(line, "lat"),
             lon = jsonNumber(line, "lon");
        if (!mode || *mode < 2 || !lat || !lon) continue;
        auto same = [&](const Degrees& d) { return d.latitude == *lat && d.longitude == *lon; };
        if (std::none_of(out.begin(), out.end(), same)) out.push_back({*lat, *lon});
    }
    return out;
}

// Equal as far as the record's float holds them (two units of its last place).
bool near(double a, float b) {
    return std::fabs(a - b) <= 2.4e-7 * std::max(1.0, std::fabs(a));
}
bool near(const Degrees& d, float latitude, float longitude) {
    return near(d.latitude, latitude) && near(d.longitude, longitude);
}

// The positions the library announces, line by line.
std::vector<GpsData> announcedPositions(const std::string& log) {
    ReceiverLibrary lib("Gnss");
    EXPECT_TRUE(lib.loaded());
    std::vector<GpsData> out;
    std::istringstream lines(log);
    for (std::string line; lib.loaded() && std::getline(lines, line);) {
        lib.push(line + "\n");
        if (lib.api.PluginIsPositionUpdated() && lib.gpsData().fix != FixNone)
            out.push_back(lib.gpsData());
    }
    return out;
}

// The positions the RMC sentences of the log carry (any talker).
std::vector<GpsData> rmcPositions(const std::string& log) {
    std::string rmc;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 7 && line[0] == '$' && line.compare(3, 4, "RMC,") == 0)
            rmc += line + "\n";
    }
    return announcedPositions(rmc);
}

struct DecodeCase {
    const char* log;
    // gpsd positions Gnss does not report. Each comes from a GGA or GLL of
    // a receiver that also sends RMC: the B&G plotter sends a position of
    // its own in each of GGA, GLL and RMC (its RMC repeats the GLL of the
    // second before), and Gnss takes one sentence's position per fix.
    std::size_t missed;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.log;
}

class GnssDecodes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(GnssDecodes, ReportEveryPositionOfGpsdsDecodeThatASentenceCarries) {
    const std::string log = readText(copiedLogs() / GetParam().log);
    const std::vector<Degrees> decoded =
        decodedPositions(readText(copiedLogs() / (std::string(GetParam().log) + ".chk")));
    ASSERT_FALSE(decoded.empty());
    const std::vector<GpsData> reported = announcedPositions(log);
    std::vector<Degrees> missed;
    for (const Degrees& d : decoded) {
        auto same = [&](const GpsData& g) { return near(d, g.latitude, g.longitude); };
        if (std::none_of(reported.begin(), reported.end(), same)) missed.push_back(d);
    }
    EXPECT_EQ(GetParam().missed, missed.size()) << decoded.size() << " decoded";
    const std::vector<GpsData> rmc = rmcPositions(log);
    for (const Degrees& d : missed) {
        auto same = [&](const GpsData& g) { return near(d, g.latitude, g.longitude); };
        EXPECT_TRUE(std::none_of(rmc.begin(), rmc.end(), same)) << d.latitude << "," << d.longitude;
    }
}

INSTANTIATE_TEST_SUITE_P(
    CopiedLogs, GnssDecodes,
    ::testing::Values(DecodeCase{"bu353s4.log", 0}, DecodeCase{"bundg_zeus_9.log", 105},
                      DecodeCase{"ch-4711.log", 0}, DecodeCase{"garmin25lp.log", 0},
                      DecodeCase{"haicom-305N.log", 0}, DecodeCase{"mt3339.log", 0},
                      DecodeCase{"skytraq-dgps.log", 0}, DecodeCase{"telit-he910.log", 0}),
    [](const auto& info) { return logName(info.param.log); });

// The same log with one digit of every position sentence's latitude changed
// and the checksum left alone.
std::string damagePositions(const std::string& log, int& damaged) {
    std::istringstream in(log);
    std::string out;
    damaged = 0;
    for (std::string line; std::getline(in, line);) {
        bool position = line.size() > 6 && line[0] == '$' &&
                        (line.compare(3, 3, "RMC") == 0 || line.compare(3, 3, "GNS") == 0 ||
                         line.compare(3, 3, "GGA") == 0);
        std::size_t comma = line.find(',', line.find(',') + 1);
        if (position && comma != std::string::npos && line.find('*') != std::string::npos) {
            std::size_t digit = line.find_first_of("0123456789", comma + 1);
            if (digit != std::string::npos && digit < line.find('*')) {
                line[digit] = line[digit] == '9' ? '8' : char(line[digit] + 1);
                ++damaged;
            }
        }
        out += line + "\n";
    }
    return out;
}

TEST(GnssDamagedLog, LinesWithAWrongChecksumGiveNoPosition) {
    int damaged = 0;
    std::string log = damagePositions(readText(copiedLogs() / "ch-4711.log"), damaged);
    ASSERT_GT(damaged, 0);
    ReceiverLibrary lib("Gnss");
    ASSERT_TRUE(lib.loaded());
    lib.push(log);
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    GpsData fix = lib.gpsData();
    EXPECT_EQ(0.0f, fix.latitude);
    EXPECT_EQ(0.0f, fix.longitude);
}

TEST(GnssDamagedLog, OnlyTheDamagedLineIsLost) {
    const std::string good1 =
        sentence("GNRMC,120000,A,5543.0328,N,03724.7198,E,0.0,0.0,051209,,,A");
    // The latitude's second digit changed after the checksum was made.
    std::string bad = sentence("GNRMC,120001,A,5543.0328,N,03724.7198,E,0.0,0.0,051209,,,A");
    bad[bad.find("5543")] = '6';
    const std::string good2 =
        sentence("GNRMC,120002,A,5543.0400,N,03724.7198,E,0.0,0.0,051209,,,A");
    ReceiverLibrary lib("Gnss");
    ASSERT_TRUE(lib.loaded());
    lib.push(good1);
    ASSERT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_NEAR(55.7172, lib.gpsData().latitude, 1e-4);
    lib.push(bad);
    EXPECT_FALSE(lib.api.PluginIsPositionUpdated());
    EXPECT_NEAR(55.7172, lib.gpsData().latitude, 1e-4);
    EXPECT_EQ(0, lib.gpsData().second);
    lib.push(good2);
    ASSERT_TRUE(lib.api.PluginIsPositionUpdated());
    EXPECT_NEAR(55.71733, lib.gpsData().latitude, 1e-5);
}

TEST(GnssDamagedLog, FlippedBytesNeverGiveAnImpossibleFix) {
    std::mt19937 random(7);
    for (const char* name : {"ch-4711.log", "skytraq-dgps.log", "haicom-305N.log"}) {
        std::string log = readText(copiedLogs() / name);
        ASSERT_FALSE(log.empty()) << name;
        std::uniform_int_distribution<std::size_t> at(0, log.size() - 1);
        for (int i = 0; i < 200; ++i) log[at(random)] = static_cast<char>(random() & 0xFF);
        ReceiverLibrary lib("Gnss");
        ASSERT_TRUE(lib.loaded());
        for (std::size_t pushed = 0; pushed < log.size(); pushed += 97) {
            lib.push(std::string_view(log).substr(pushed, 97));
            GpsData fix = lib.gpsData();
            ASSERT_LE(std::fabs(fix.latitude), 90.0f) << name;
            ASSERT_LE(std::fabs(fix.longitude), 180.0f) << name;
            ASSERT_LE(lib.satellites().size(), std::size_t(kSatelliteSlots));
        }
    }
}

} // namespace
} // namespace tevo::test
