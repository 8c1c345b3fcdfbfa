// The receiver is unplugged (the simulator killed outright) while the
// program runs in its window: the program stays responsive and idle, and
// ends normally keeping the receiver's settings.
#include "fault/fault_support.hpp"

#include "config/config_xml.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace tevo::test {
namespace {

constexpr int kIdleMeasureMs = 3000;
// Without its receiver the program may use at most this much more of one
// core than it did with it; a reader that spins on the dead port uses all.
constexpr double kExtraCpuShare = 0.10;

double cpuOver(pid_t pid, int ms) {
    const double before = cpuMs(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return cpuMs(pid) - before;
}

TEST(ReceiverUnplugged, ProgramStaysResponsiveIdleAndEndsNormally) {
    XServer x;
    if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
    Navigator nav(true);
    nav.start(&x);
    const Window w = x.findWindow(kCaption, kStartMs);
    ASSERT_NE(0u, w) << nav.console();
    ASSERT_TRUE(nav.waitForLoopAnswering(x, w)) << nav.console();
    const double withReceiver = cpuOver(nav.tevo().pid(), kIdleMeasureMs); // positions flow

    nav.receiver()->signal(SIGKILL);
    nav.receiver()->wait(kStartMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double without = cpuOver(nav.tevo().pid(), kIdleMeasureMs);
    EXPECT_LT(without, withReceiver + kExtraCpuShare * kIdleMeasureMs);
    ASSERT_TRUE(nav.tevo().running()) << nav.console();

    // Input still reaches the window.
    EXPECT_EQ(0, xdotool(x, {"key", "--window", std::to_string(w), "space", "F4", "space"}));
    x.requestClose(w);
    EXPECT_EQ(0, nav.tevo().wait(kStartMs)) << nav.console();
    cConfigXML settings;
    ASSERT_TRUE(settings.parse(nav.folder().file("config.xml")));
    EXPECT_EQ(3, settings.port);
    EXPECT_EQ(4800, settings.baudrate);
}

} // namespace
} // namespace tevo::test
