// Every captured log, replayed through the loaded library in pushes of
// varying sizes, gives what an independent reading of its lines gives.
#include "plugins/reference_decoder.hpp"
#include "plugins/sentrix_library.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

namespace tevo::test {
namespace {

struct LogCase {
    const char* file;
    bool hasPositions; // the $GN log must give none
};

std::string readLog(const std::string& name) {
    std::ifstream in(std::string(TEVO_SOURCE_DIR) + "/tests/plugins/data/" + name,
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void expectSameFix(const GpsData& got, const GpsData& want, std::size_t line) {
    EXPECT_EQ(0, std::memcmp(&got, &want, sizeof(GpsData)))
        << "after line " << line << ": lon " << got.longitude << "/" << want.longitude << " lat "
        << got.latitude << "/" << want.latitude << " alt " << got.altitude << "/" << want.altitude
        << " speed " << got.speed << "/" << want.speed << " fix " << int(got.fix) << "/"
        << int(want.fix) << " dops " << got.pdop << "," << got.hdop << "," << got.vdop << " date "
        << int(got.day) << "." << int(got.month) << "." << got.year << " time " << int(got.hour)
        << ":" << int(got.minute) << ":" << int(got.second);
}

void expectSameTable(const SentrixLibrary& lib, const ReferenceDecoder& want, std::size_t line) {
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = -1;
    int32_t result = lib.api.PluginGetSSI(table, &count);
    EXPECT_EQ(want.inView, count) << "after line " << line;
    EXPECT_EQ(count, result);
    for (int i = 0; i < kSatelliteSlots; ++i) {
        const SatelliteInfo& g = table[i];
        const SatelliteInfo& w = want.satellites[i];
        EXPECT_TRUE(g.prn == w.prn && g.elevation == w.elevation && g.azimuth == w.azimuth &&
                    g.snr == w.snr && g.used == w.used)
            << "after line " << line << " record " << i << ": prn " << int(g.prn) << "/"
            << int(w.prn) << " used " << int(g.used) << "/" << int(w.used);
    }
}

// Pushes the log in pieces drawn from [1, largest]; after each push compares
// everything the library reports with the reference reading of the complete
// lines pushed so far.
void replay(const std::string& log, int largest, unsigned seed, ReferenceDecoder& want) {
    SentrixLibrary lib;
    ASSERT_TRUE(lib.loaded());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> size(1, largest);
    std::size_t pushed = 0, applied = 0, lines = 0;
    while (pushed < log.size()) {
        std::size_t n = std::min<std::size_t>(size(random), log.size() - pushed);
        lib.push(std::string_view(log).substr(pushed, n));
        pushed += n;
        for (std::size_t lf; (lf = log.find('\n', applied)) != std::string::npos && lf < pushed;) {
            want.apply(log.substr(applied, lf - applied));
            applied = lf + 1;
            ++lines;
        }
        ASSERT_EQ(want.positionFlag, lib.api.PluginIsPositionUpdated()) << "after line " << lines;
        want.positionFlag = false;
        expectSameFix(lib.gpsData(), want.current, lines);
        ASSERT_EQ(want.satelliteFlag, lib.api.PluginSatellitesUpDated()) << "after line " << lines;
        want.satelliteFlag = false;
        expectSameTable(lib, want, lines);
        if (::testing::Test::HasFailure()) return;
    }
}

class SentrixLogReplay : public ::testing::TestWithParam<LogCase> {};

TEST_P(SentrixLogReplay, ReportsWhatTheSentencesSay) {
    std::string log = readLog(GetParam().file);
    ASSERT_FALSE(log.empty());
    const struct {
        int largest;
        unsigned seed;
    } passes[] = {{7, 1}, {200, 2}, {4096, 3}};
    for (const auto& pass : passes) {
        ReferenceDecoder want;
        replay(log, pass.largest, pass.seed, want);
        if (HasFailure()) return;
        if (GetParam().hasPositions) {
            EXPECT_GT(want.positionsAnnounced, 0);
        } else {
            EXPECT_EQ(0, want.positionsAnnounced);
            EXPECT_EQ(0, want.current.fix);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    CapturedLogs, SentrixLogReplay,
    ::testing::Values(LogCase{"bu353s4.log", true}, LogCase{"bundg_zeus_9.log", true},
                      LogCase{"ch-4711.log", false}, LogCase{"garmin25lp.log", true},
                      LogCase{"haicom-305N.log", true}, LogCase{"mt3339.log", true},
                      LogCase{"skytraq-dgps.log", true}, LogCase{"telit-he910.log", true}),
    [](const auto& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name;
    });

} // namespace
} // namespace tevo::test
