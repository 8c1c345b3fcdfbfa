// The message box in a real window: drawn over the window, answered by a key.
#include "support/process.hpp"
#include "support/xserver.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

using test::ChildProcess;

TEST(MessageBox, IsDrawnInTheWindowAndWaitsForEnter) {
    test::XServer x;
    if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
    ChildProcess probe({TEVO_PROBE, std::string(TEVO_DIST_DIR) + "/DejaVuSans.ttf"},
                       {x.environment(), "SDL_VIDEODRIVER=x11"});
    const test::Window w = x.findWindow("message box probe", 10000);
    ASSERT_NE(w, 0u);
    ASSERT_TRUE(probe.waitForOutput("shown\n", 10000));
    EXPECT_EQ(probe.wait(500), -1) << "the box must wait for an answer";
    EXPECT_NE(probe.errors().find("Error: GPS Device Not Detected\n"), std::string::npos);

    ChildProcess key({"/usr/bin/xdotool", "key", "--window", std::to_string(w), "Return"},
                     {x.environment()});
    // xdotool may report a harmless X error once the probe's window is gone,
    // so only the probe's answer counts.
    key.wait(10000);
    EXPECT_EQ(probe.wait(5000), 0);
    EXPECT_EQ(probe.output(), "shown\nanswered\n");
}

TEST(MessageBox, WithDummyDriverOnlyPrints) {
    ChildProcess probe({TEVO_PROBE}, {"SDL_VIDEODRIVER=dummy"});
    EXPECT_EQ(probe.wait(5000), 0);
    EXPECT_EQ(probe.errors(), "Error: GPS Device Not Detected\n");
}

} // namespace
} // namespace tevo
