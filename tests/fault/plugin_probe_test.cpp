// The real program as the plug-in host's trial process: how it judges a good
// and a broken plug-in, and what one trial costs at start-up.
#include "gps/plugin_probe.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

namespace tevo::test {
namespace {

std::string program() {
    return std::string(TEVO_DIST_DIR) + "/tevo";
}

TEST(ProgramAsProbe, JudgesGoodAndBrokenPlugins) {
    // A hanging trial is given up sooner than at start-up, to keep this short.
    constexpr int kLimitMs = 1500;
    cProcessProbe probe(program(), kLimitMs);
    EXPECT_EQ(ProbeResult::Passed,
              probe.probe(std::string(TEVO_DIST_DIR) + "/Plugins/Sentrix/Sentrix.so"));
    EXPECT_EQ(ProbeResult::Crashed, probe.probe(BROKEN_INIT_CRASHES_SO));
    EXPECT_EQ(ProbeResult::Hung, probe.probe(BROKEN_INIT_HANGS_SO));
    // Not a library: the trial passes it on to the real load, which says so.
    EXPECT_EQ(ProbeResult::Passed, probe.probe(std::string(TEVO_DIST_DIR) + "/levels.xml"));
}

TEST(ProgramAsProbe, OneTrialOfSentrixCostsLittle) {
    constexpr int kTrials = 10;
    // Generous for a loaded machine and sanitizer builds; a trial that waits
    // for its time limit would take 5 s.
    constexpr auto kMostPerTrial = std::chrono::milliseconds(1000);
    cProcessProbe probe(program());
    const std::string sentrix = std::string(TEVO_DIST_DIR) + "/Plugins/Sentrix/Sentrix.so";
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kTrials; ++i) ASSERT_EQ(ProbeResult::Passed, probe.probe(sentrix));
    const auto each = (std::chrono::steady_clock::now() - start) / kTrials;
    std::cout << "one trial start of Sentrix: "
              << std::chrono::duration_cast<std::chrono::microseconds>(each).count() << " us\n";
    EXPECT_LT(each, kMostPerTrial);
}

} // namespace
} // namespace tevo::test
