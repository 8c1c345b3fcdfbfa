// Every captured log, replayed through the loaded Gnss library in pushes of
// varying sizes, gives the fix that an independent reading of its lines
// gives; the $GN log now yields positions, and a damaged line yields none.
#include "plugins/gnss_reference.hpp"
#include "plugins/receiver_library.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// The shared receiver logs beside the repository, when they are there.
fs::path sharedLogs() {
    return fs::path(TEVO_SOURCE_DIR) / "../shared/data/nmea";
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

INSTANTIATE_TEST_SUITE_P(
    CopiedLogs, GnssLogReplay,
    ::testing::Values("bu353s4.log", "bundg_zeus_9.log", "ch-4711.log", "garmin25lp.log",
                      "haicom-305N.log", "mt3339.log", "skytraq-dgps.log", "telit-he910.log"),
    [](const auto& info) {
        std::string name = info.param;
        name = name.substr(0, name.find('.'));
        std::replace_if(
            name.begin(), name.end(),
            [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

TEST(GnssSharedLogs, EveryLogReportsWhatItsSentencesSay) {
    if (!fs::is_directory(sharedLogs())) {
        GTEST_SKIP() << "no receiver logs at " << sharedLogs() << " (they sit beside the clone)";
    }
    std::vector<fs::path> logs;
    for (const auto& entry : fs::directory_iterator(sharedLogs())) {
        if (entry.path().extension() == ".log") logs.push_back(entry.path());
    }
    std::sort(logs.begin(), logs.end());
    ASSERT_FALSE(logs.empty());
    for (const fs::path& log : logs) {
        SCOPED_TRACE(log.filename().string());
        replayInPieces(readText(log));
        if (HasFailure()) return;
    }
}

// The same log with one digit of every position sentence's latitude changed
// and the checksum left alone.
std::string damagePositions(const std::string& log, int& damaged) {
    std::istringstream in(log);
    std::string out;
    damaged = 0;
    for (std::string line; std::getline(in, line);) {
        bool position = line.size() > 6 && line[0] == '$' &&
                        (line.compare(3, 3, "RMC") == 0 || line.compare(3, 3, "GNS") == 0);
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
