// Ten thousand random key presses, clicks and drags over the window, with
// the receiver running: no crash, no hang, no growth of memory. A normal
// exit on the way (a quit button or key) is no fault: the program is
// started again and the storm goes on.
#include "fault/fault_support.hpp"
#include "support/sanitizers.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

namespace tevo::test {
namespace {

constexpr int kActions = 10000;
constexpr int kBatch = 500;
constexpr int kPauseMs = 100;
constexpr int kDragSteps = 3;
// Resident memory may grow by this much over the storm (caches warming).
// Under the sanitizers freed memory is held back on purpose and leaks are
// found at exit instead.
constexpr bool kMeasureGrowth = !test::kUnderSanitizers;
constexpr long kMostGrowthKb = 16 * 1024;
constexpr unsigned kSeed = 20261208;

const char* const kKeys[] = {
    "Up",     "Down", "Left",      "Right",    "Page_Up",     "Page_Down", "Home",
    "End",    "plus", "minus",     "KP_Add",   "KP_Subtract", "space",     "Return",
    "Escape", "Tab",  "F1",        "F2",       "F3",          "F4",        "F5",
    "F10",    "F12",  "BackSpace", "Delete",   "Insert",      "a",         "z",
    "m",      "0",    "9",         "shift+Up", "ctrl+Left",   "alt+Right", "KP_Enter",
    "KP_8",   "KP_2", "comma",     "period",   "slash"};
// Left, middle, right, wheel up, wheel down.
const int kButtons[] = {1, 1, 1, 2, 3, 3, 4, 5};

// One batch of actions as an xdotool script; positions are window-relative.
std::string batchScript(std::mt19937& random, Window w, int width, int height, int actions) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::string win = std::to_string(w);
    auto move = [&](std::string& s) {
        s += "mousemove --window " + win + " " + std::to_string(pick(width)) + " " +
             std::to_string(pick(height)) + "\n";
    };
    std::string s;
    for (int i = 0; i < actions; ++i) {
        switch (pick(3)) {
        case 0:
            s += std::string("key --delay 0 ") + kKeys[pick(std::size(kKeys))] + "\n";
            break;
        case 1: {
            const std::string b = std::to_string(kButtons[pick(std::size(kButtons))]);
            move(s);
            s += "mousedown " + b + "\nmouseup " + b + "\n";
            break;
        }
        default: {
            const std::string b = pick(4) == 0 ? "3" : "1";
            move(s);
            s += "mousedown " + b + "\n";
            for (int step = 0; step < kDragSteps; ++step) move(s);
            s += "mouseup " + b + "\n";
        }
        }
    }
    return s;
}

TEST(InputStorm, TenThousandKeysClicksAndDragsLeaveTheProgramWell) {
    XServer x;
    if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
    Navigator nav(true);
    TempDir scripts;
    std::mt19937 random(kSeed);
    int restarts = 0;
    long baselineKb = 0;

    auto launch = [&]() -> Window {
        nav.start(&x);
        const Window w = x.findWindow(kCaption, kStartMs);
        if (w == 0 || !nav.waitForLoopAnswering(x, w)) return 0;
        xdotool(x, {"windowfocus", "--sync", std::to_string(w)});
        return w;
    };
    Window w = launch();
    ASSERT_NE(0u, w) << nav.console();
    int width = 0, height = 0;
    ASSERT_TRUE(x.windowSize(w, width, height));

    for (int done = 0; done < kActions; done += kBatch) {
        const std::string path = scripts.file("batch" + std::to_string(done));
        std::ofstream(path) << batchScript(random, w, width, height, kBatch);
        if (xdotool(x, {path}) != 0) {
            // A quit in mid-batch leaves the rest of the batch without a
            // window; anything else that stops xdotool is a fault.
            ASSERT_NE(-1, nav.tevo().wait(kStartMs))
                << "xdotool could not send the batch to a running program";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
        if (!nav.tevo().running()) {
            const int code = nav.tevo().wait(0);
            ASSERT_EQ(0, code) << "after " << done + kBatch << " actions\n" << nav.console();
            ++restarts;
            w = launch();
            ASSERT_NE(0u, w) << nav.console();
            baselineKb = 0;
        }
        if (baselineKb == 0) baselineKb = residentKb(nav.tevo().pid());
    }
    const long grownKb = residentKb(nav.tevo().pid()) - baselineKb;
    if (kMeasureGrowth) {
        EXPECT_LT(grownKb, kMostGrowthKb);
    }
    // Still answering: a close request ends it normally.
    x.requestClose(w);
    EXPECT_EQ(0, nav.tevo().wait(kStartMs)) << nav.console();
    RecordProperty("restarts", restarts);
    RecordProperty("grownKb", static_cast<int>(grownKb));
}

} // namespace
} // namespace tevo::test
