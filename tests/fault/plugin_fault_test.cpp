// Receiver plug-ins whose PluginInit crashes or never returns, beside the
// good Sentrix. The navigator must carry on without the broken one, naming
// it, or at the very least end with a word instead of hanging.
#include "fault/fault_support.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include <csignal>
#include <filesystem>
#include <iostream>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

// How long a plug-in's start may take before the navigator counts as stuck.
constexpr int kPluginStartMs = 20000;

struct BrokenCase {
    const char* name;    // the plug-in folder; sorts before Sentrix
    const char* library; // the built broken_plugin.cpp
    // What happens today while the host runs PluginInit unguarded; the
    // test reports it as a skip until the host guards the call.
    const char* knownFault;
};

// Test names and messages show the case by its name.
void PrintTo(const BrokenCase& c, std::ostream* os) {
    *os << c.name;
}

class BrokenPlugin : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenPlugin, NavigatorCarriesOnWithoutItOrEndsWithAWord) {
    const BrokenCase& c = GetParam();
    Navigator nav(false);
    unlinkFolderEntry(nav.folder(), "Plugins");
    fs::create_directory(nav.folder().file(std::string("Plugins/") + c.name));
    fs::create_symlink(c.library,
                       nav.folder().file(std::string("Plugins/") + c.name + "/" + c.name + ".so"));

    nav.start(nullptr);
    const bool reachedLoop = nav.waitForLoop(kPluginStartMs);
    const bool running = nav.tevo().running();
    const int code = running ? -1 : nav.tevo().wait(0);
    std::cout << c.name << ": "
              << (reachedLoop ? "reached the main loop"
                  : running   ? "stuck"
                              : "ended")
              << ", exit code " << code << "\n"
              << nav.console() << std::endl;

    // A sanitizer's handler turns the signal into its report and an exit code.
    const bool bySignal =
        code > 128 || nav.tevo().errors().find("DEADLYSIGNAL") != std::string::npos;
    const bool silentDeath = !reachedLoop && !running && bySignal;
    const bool hang = !reachedLoop && running;
    if (silentDeath || hang) GTEST_SKIP() << "known fault: " << c.knownFault;

    if (reachedLoop) {
        // The broken library is named, and the program ends normally.
        EXPECT_NE(std::string::npos, nav.tevo().errors().find(c.name)) << nav.console();
        EXPECT_EQ(0, nav.stop());
    } else {
        EXPECT_NE(0, code);
        EXPECT_NE(std::string::npos, nav.tevo().errors().find(c.name)) << nav.console();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Init, BrokenPlugin,
    ::testing::Values(BrokenCase{"Crashing", BROKEN_INIT_CRASHES_SO,
                                 "tevo dies by SIGSEGV inside the plug-in's PluginInit "
                                 "without naming the plug-in"},
                      BrokenCase{"Hanging", BROKEN_INIT_HANGS_SO,
                                 "tevo waits forever inside the plug-in's PluginInit: the "
                                 "window stays on the splash and nothing is said"}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
