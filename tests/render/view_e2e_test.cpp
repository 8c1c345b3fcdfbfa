// The real program in a private X server: the keys and the pointer move the
// map view, a tap marks the map, and the view of one run comes back in the
// next one.
#include "support/process.hpp"
#include "support/xserver.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

namespace tevo {
namespace {

using test::ChildProcess;
using test::ProgramFolder;
using test::Window;
using test::XServer;

constexpr const char* kCaption = "Tevo v.0.7.4 beta";
constexpr int kStartMs = 15000;
constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr int kSettleMs = 600;

struct Shot {
    std::vector<uint8_t> rgb; // kWidth x kHeight x 3
    bool ok() const { return rgb.size() == static_cast<size_t>(kWidth * kHeight * 3); }
    uint32_t at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 3;
        return rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2];
    }
    size_t colours() const {
        std::set<uint32_t> seen;
        for (int y = 0; y < kHeight; y += 2)
            for (int x = 0; x < kWidth; x += 2) seen.insert(at(x, y));
        return seen.size();
    }
    // The share of pixels that differ from another shot.
    double difference(const Shot& o) const {
        size_t n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) n += at(x, y) != o.at(x, y);
        return static_cast<double>(n) / (kWidth * kHeight);
    }
    // Pixels of the tap marker's colour within `r` of (cx, cy).
    int marker(int cx, int cy, int r) const {
        int n = 0;
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) n += at(x, y) == 0x00BAFF;
        return n;
    }
};

class RealView : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
    }

    void start() {
        // Without the demonstration drive the map stands still between keys.
        std::remove(folder.file("demo.plt").c_str());
        tevo = std::make_unique<ChildProcess>(std::vector<std::string>{folder.program()},
                                              std::vector<std::string>{x.environment(),
                                                                       "SDL_VIDEODRIVER=x11",
                                                                       "SDL_AUDIODRIVER=dummy"});
        window = x.findWindow(kCaption, kStartMs);
        ASSERT_NE(window, 0u) << tevo->output() << tevo->errors();
        run({"/usr/bin/xdotool", "windowfocus", "--sync", hex()});
        // No receiver answers in the test folder: its message box goes first,
        // and the program says so once the box is closed.
        for (int waited = 0; waited < kStartMs; waited += kSettleMs) {
            key("Return");
            if (tevo->output().find("not Detected") != std::string::npos) break;
        }
        ASSERT_NE(tevo->output().find("not Detected"), std::string::npos) << tevo->output();
        pause(kSettleMs);
    }

    void stop() {
        x.requestClose(window);
        EXPECT_EQ(tevo->wait(kStartMs), 0) << tevo->output() << tevo->errors();
    }

    std::string hex() const {
        char text[32];
        std::snprintf(text, sizeof text, "0x%lx", window);
        return text;
    }

    void run(const std::vector<std::string>& argv) {
        ChildProcess p(argv, {x.environment()});
        p.wait(kStartMs);
    }

    static void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    void key(const std::string& name) {
        run({"/usr/bin/xdotool", "key", name});
        pause(kSettleMs);
    }

    void drag(int x0, int y0, int x1, int y1) {
        run({"/usr/bin/xdotool", "mousemove", "--window", hex(), std::to_string(x0),
             std::to_string(y0), "mousedown", "1"});
        for (int i = 1; i <= 4; ++i)
            run({"/usr/bin/xdotool", "mousemove", "--window", hex(),
                 std::to_string(x0 + (x1 - x0) * i / 4), std::to_string(y0 + (y1 - y0) * i / 4)});
        run({"/usr/bin/xdotool", "mouseup", "1"});
        pause(kSettleMs);
    }

    Shot shot() {
        const std::string png = dir.file("shot.png"), raw = dir.file("shot.rgb");
        run({"/usr/bin/import", "-window", hex(), png});
        run({"/usr/bin/convert", png, "-depth", "8", "rgb:" + raw});
        const std::string bytes = test::readFile(raw);
        return {std::vector<uint8_t>(bytes.begin(), bytes.end())};
    }

    // The screen changes after the key, and it shows more than one colour.
    Shot expectChangeAfter(const Shot& before, const std::string& keyName) {
        key(keyName);
        Shot after = shot();
        EXPECT_TRUE(after.ok());
        EXPECT_GT(after.difference(before), 0.01) << keyName;
        EXPECT_GT(after.colours(), 4u) << keyName;
        return after;
    }

    XServer x;
    ProgramFolder folder;
    test::TempDir dir;
    std::unique_ptr<ChildProcess> tevo;
    Window window = 0;
};

TEST_F(RealView, KeysZoomRotateTiltAndCycleTheModes) {
    start();
    Shot s = shot();
    ASSERT_TRUE(s.ok());
    EXPECT_GT(s.colours(), 4u); // the map is drawn, not one colour
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
    run({"/usr/bin/xdotool", "mousemove", "--window", hex(), "300", "420", "click", "1"});
    pause(kSettleMs);
    EXPECT_GT(shot().marker(300, 420, 32), 10);
    pause(9000);
    EXPECT_EQ(shot().marker(300, 420, 32), 0);
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
    EXPECT_LT(first.difference(last), 0.02);
    stop();
}

} // namespace
} // namespace tevo
