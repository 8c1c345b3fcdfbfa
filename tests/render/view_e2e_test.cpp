// The real program in a private X server: the keys and the pointer move the
// map view, a tap marks the map, and the view of one run comes back in the
// next one.
#include "support/program_window.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace tevo {
namespace {

using test::kHeight;
using test::kWidth;
using test::Shot;

constexpr int kStartMs = 15000;
constexpr int kSettleMs = 600;

// How many colours the shot shows, every second pixel counted.
size_t colours(const Shot& shot) {
    std::set<uint32_t> seen;
    for (int y = 0; y < kHeight; y += 2)
        for (int x = 0; x < kWidth; x += 2) seen.insert(shot.at(x, y));
    return seen.size();
}

// Pixels of the tap marker's colour within `r` of (cx, cy).
int markerPixels(const Shot& shot, int cx, int cy, int r) {
    int n = 0;
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
            if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) n += shot.at(x, y) == 0x00BAFF;
    return n;
}

class RealView : public test::ProgramWindow {
protected:
    void start() {
        // Without the demonstration drive the map stands still between keys.
        std::remove(folder.file("demo.plt").c_str());
        startProgram(kStartMs);
        // No receiver answers in the test folder: its message box goes first,
        // and the program says so once the box is closed.
        for (int waited = 0; waited < kStartMs; waited += kSettleMs) {
            key("Return");
            if (tevo->output().find("not Detected") != std::string::npos) break;
        }
        ASSERT_NE(tevo->output().find("not Detected"), std::string::npos) << tevo->output();
        pause(kSettleMs);
    }
    void stop() { closeWindow(kStartMs); }
    void key(const std::string& name) { ProgramWindow::key(name, kSettleMs); }
    void drag(int x0, int y0, int x1, int y1) { ProgramWindow::drag(x0, y0, x1, y1, kSettleMs); }

    // The screen changes after the key, and it shows more than one colour.
    Shot expectChangeAfter(const Shot& before, const std::string& keyName) {
        key(keyName);
        Shot after = shot();
        EXPECT_TRUE(after.ok());
        EXPECT_GT(after.difference(before), 0.01) << keyName;
        EXPECT_GT(colours(after), 4u) << keyName;
        return after;
    }
};

TEST_F(RealView, KeysZoomRotateTiltAndCycleTheModes) {
    start();
    Shot s = shot();
    ASSERT_TRUE(s.ok());
    EXPECT_GT(colours(s), 4u); // the map is drawn, not one colour
    s = expectChangeAfter(s, "Up");
    s = expectChangeAfter(s, "Down");
    s = expectChangeAfter(s, "Right");
    s = expectChangeAfter(s, "Left");
    for (int i = 0; i < 5; ++i) key("F1");
    s = expectChangeAfter(s, "F1");
    s = expectChangeAfter(s, "F2");
    // 3D -> Eco -> 2D -> 3D: each looks different from the one before.
    const Shot raised = s;
    s = expectChangeAfter(s, "F3");
    s = expectChangeAfter(s, "F3");
    s = expectChangeAfter(s, "F3");
    // Back where it started; the level of detail may stay the one Eco chose.
    EXPECT_LT(s.difference(raised), 0.05);
    key("F5");
    EXPECT_TRUE(tevo->running());
    stop();
}

TEST_F(RealView, ADragPansInEveryMode) {
    start();
    for (int mode = 0; mode < 3; ++mode) {
        const Shot before = shot();
        drag(200, 400, 280, 470);
        const Shot after = shot();
        EXPECT_GT(after.difference(before), 0.01) << "mode " << mode;
        key("F3");
    }
    stop();
}

TEST_F(RealView, ATapShowsTheMarkerForEightSeconds) {
    start();
    click(300, 420, kSettleMs);
    EXPECT_GT(markerPixels(shot(), 300, 420, 32), 10);
    pause(9000);
    EXPECT_EQ(markerPixels(shot(), 300, 420, 32), 0);
    stop();
}

TEST_F(RealView, ClosingKeepsTheViewForTheNextStart) {
    start();
    key("Up");
    key("Up");
    key("Right");
    drag(240, 500, 200, 420);
    const Shot last = shot();
    stop();
    const std::string config = test::readFile(folder.file("config.xml"));
    EXPECT_NE(config.find("<axy>2</axy>"), std::string::npos) << config;
    EXPECT_EQ(config.find("<scale>-1</scale>"), std::string::npos) << config;

    start();
    const Shot first = shot();
    // Above the bottom row of buttons: the drag's release left a tap marker,
    // and with it the "Route here" button, which a new start does not keep.
    EXPECT_LT(first.difference(last, test::Rect{0, 0, kWidth, 496}), 0.02);
    stop();
}

} // namespace
} // namespace tevo
