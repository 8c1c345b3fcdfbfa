// The demonstration drive in a private X server: the pointer moves along the
// drawn track, the view follows, space pauses and resumes, and the position
// of the last run comes back.
#include "support/process.hpp"
#include "support/xserver.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>
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
// Where the layout of the program folder puts the pointer.
constexpr int kPointerX = 240;
constexpr int kPointerY = 480;

struct Shot {
    std::vector<uint8_t> rgb;
    bool ok() const { return rgb.size() == static_cast<size_t>(kWidth * kHeight * 3); }
    const uint8_t* at(int x, int y) const {
        return &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
    }
    double difference(const Shot& o) const {
        size_t n = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            n += rgb[i] != o.rgb[i] || rgb[i + 1] != o.rgb[i + 1] || rgb[i + 2] != o.rgb[i + 2];
        return static_cast<double>(n) / (kWidth * kHeight);
    }
    // Pixels of the track's magenta within `r` of (cx, cy).
    int track(int cx, int cy, int r) const {
        int n = 0;
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x) {
                if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
                const uint8_t* p = at(x, y);
                n += p[0] > 200 && p[1] < 80 && p[2] > 200;
            }
        return n;
    }
};

// The latitude and longitude pairs of a track file.
std::vector<std::pair<double, double>> trackPoints(const std::string& path) {
    std::istringstream in(test::readFile(path));
    std::string line;
    std::vector<std::pair<double, double>> out;
    for (int i = 0; std::getline(in, line); ++i) {
        double lat = 0, lon = 0;
        if (i >= 6 && std::sscanf(line.c_str(), "%lf,%lf", &lat, &lon) == 2)
            out.emplace_back(lat, lon);
    }
    return out;
}

class DemoDrive : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
        folder.addDemoTrack();
    }
    void start() {
        tevo = std::make_unique<ChildProcess>(std::vector<std::string>{folder.program()},
                                              std::vector<std::string>{x.environment(),
                                                                       "SDL_VIDEODRIVER=x11",
                                                                       "SDL_AUDIODRIVER=dummy"});
        window = x.findWindow(kCaption, kStartMs);
        ASSERT_NE(window, 0u) << tevo->output() << tevo->errors();
        run({"/usr/bin/xdotool", "windowfocus", "--sync", hex()});
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
    Shot shot() {
        const std::string png = dir.file("shot.png"), raw = dir.file("shot.rgb");
        run({"/usr/bin/import", "-window", hex(), png});
        run({"/usr/bin/convert", png, "-depth", "8", "rgb:" + raw});
        const std::string bytes = test::readFile(raw);
        return {std::vector<uint8_t>(bytes.begin(), bytes.end())};
    }
    // The settings' position of the last run, as "lon,lat".
    bool storedPosition(double& lon, double& lat) const {
        const std::string xml = test::readFile(folder.file("config.xml"));
        const size_t at = xml.find("<mapposabs>");
        return at != std::string::npos &&
               std::sscanf(xml.c_str() + at, "<mapposabs>%lf,%lf", &lon, &lat) == 2;
    }

    XServer x;
    ProgramFolder folder;
    test::TempDir dir;
    std::unique_ptr<ChildProcess> tevo;
    Window window = 0;
};

TEST_F(DemoDrive, ThePointerDrivesAlongTheTrackAndSpacePausesIt) {
    start();
    pause(4000);
    // Moving: the picture changes from second to second, and the pointer
    // stands on the drawn track every time.
    Shot a = shot();
    ASSERT_TRUE(a.ok());
    for (int i = 0; i < 3; ++i) {
        pause(1500);
        Shot b = shot();
        ASSERT_TRUE(b.ok());
        EXPECT_GT(b.difference(a), 0.01) << "second " << i;
        EXPECT_GT(b.track(kPointerX, kPointerY, 40), 20) << "second " << i;
        a = b;
    }
    // Paused: the picture stands still.
    run({"/usr/bin/xdotool", "key", "space"});
    pause(1500);
    const Shot p1 = shot();
    pause(2500);
    const Shot p2 = shot();
    EXPECT_LT(p2.difference(p1), 0.001);
    // Resumed: it moves again.
    run({"/usr/bin/xdotool", "key", "space"});
    pause(2500);
    EXPECT_GT(shot().difference(p2), 0.01);
    EXPECT_TRUE(tevo->running());
    stop();
    // The position written at exit is a point of the drive.
    double lon = 0, lat = 0;
    ASSERT_TRUE(storedPosition(lon, lat)) << test::readFile(folder.file("config.xml"));
    double best = 1e9;
    for (const auto& [plat, plon] : trackPoints(folder.file("demo.plt")))
        best = std::min(best, std::hypot(plat - lat, plon - lon));
    EXPECT_LT(best, 1e-4) << lon << "," << lat;
}

TEST_F(DemoDrive, TheNextStartBeginsWhereTheLastRunEnded) {
    start();
    pause(3000);
    stop();
    double lon1 = 0, lat1 = 0;
    ASSERT_TRUE(storedPosition(lon1, lat1));
    // Started and ended at once: the position stays the stored one.
    start();
    pause(300);
    stop();
    double lon2 = 0, lat2 = 0;
    ASSERT_TRUE(storedPosition(lon2, lat2));
    EXPECT_LT(std::hypot(lon2 - lon1, lat2 - lat1), 0.003);
}

} // namespace
} // namespace tevo
