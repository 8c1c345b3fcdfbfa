// Every captured log, replayed through the loaded library in pushes of
// varying sizes, gives what an independent reading of its lines gives.
#include "plugins/receiver_library.hpp"
#include "plugins/reference_decoder.hpp"

#include <gtest/gtest.h>

#include <fstream>
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

void expectSameTable(const ReceiverLibrary& lib, const ReferenceDecoder& want, std::size_t line) {
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
    ReceiverLibrary lib("Sentrix");
    ASSERT_TRUE(lib.loaded());
    replayLog(lib, log, largest, seed, want, [&](std::size_t lines) {
        ASSERT_EQ(want.positionFlag, lib.api.PluginIsPositionUpdated()) << "after line " << lines;
        want.positionFlag = false;
        expectSameFix(lib.gpsData(), want.current, lines);
        ASSERT_EQ(want.satelliteFlag, lib.api.PluginSatellitesUpDated()) << "after line " << lines;
        want.satelliteFlag = false;
        expectSameTable(lib, want, lines);
    });
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
