// Receiver plug-ins whose PluginInit crashes or never returns, beside the
// good Sentrix. The navigator tries each plug-in's start in a process of its
// own first, skips the broken one naming it, and runs on with Sentrix.
#include "fault/fault_support.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

// The trial of a hanging plug-in is given up after its time limit; the
// rest of start-up must fit in what remains.
constexpr int kPluginStartMs = 20000;

struct BrokenCase {
    const char* name;    // the plug-in folder; sorts before Sentrix
    const char* library; // the built broken_plugin.cpp
    const char* problem; // the message box's caption
};

// Test names and messages show the case by its name.
void PrintTo(const BrokenCase& c, std::ostream* os) {
    *os << c.name;
}

class BrokenPlugin : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenPlugin, IsSkippedWithItsNameAndSentrixRuns) {
    const BrokenCase& c = GetParam();
    Navigator nav(true);
    unlinkFolderEntry(nav.folder(), "Plugins");
    // Sentrix alone is to answer the receiver, so the other receiver goes.
    fs::remove(nav.folder().file("Plugins/Gnss"));
    const std::string path =
        nav.folder().file(std::string("Plugins/") + c.name + "/" + c.name + ".so");
    fs::create_directory(nav.folder().file(std::string("Plugins/") + c.name));
    fs::create_symlink(c.library, path);

    nav.start(nullptr);
    ASSERT_TRUE(nav.waitForLoop(kPluginStartMs)) << nav.console();

    // One box, the library's path as text and the problem as caption, and
    // one line on the console.
    const std::string box = std::string(c.problem) + ": " + path;
    const std::string& errors = nav.tevo().errors();
    EXPECT_NE(std::string::npos, errors.find(box)) << nav.console();
    EXPECT_EQ(errors.find(box), errors.rfind(box)) << nav.console();
    EXPECT_NE(std::string::npos,
              nav.tevo().output().find(std::string(c.problem) + ", skipped: " + path))
        << nav.console();
    EXPECT_EQ(0, nav.stop()) << nav.console();
}

INSTANTIATE_TEST_SUITE_P(
    Init, BrokenPlugin,
    ::testing::Values(BrokenCase{"Crashing", BROKEN_INIT_CRASHES_SO, "PluginInit crashed"},
                      BrokenCase{"Hanging", BROKEN_INIT_HANGS_SO, "PluginInit does not return"}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
