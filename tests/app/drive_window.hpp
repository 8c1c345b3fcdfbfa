// The real program in a private X server, watched while it follows a drive:
// screenshots of its window, the drawn track around the pointer and the
// position it writes into config.xml at exit.
#pragma once

#include "support/process.hpp"
#include "support/xserver.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tevo::test {

inline constexpr const char* kCaption = "Tevo v.0.7.4 beta";
inline constexpr int kStartMs = 15000;
inline constexpr int kWidth = 480;
inline constexpr int kHeight = 640;
// Where the layout of the program folder puts the pointer.
inline constexpr int kPointerX = 240;
inline constexpr int kPointerY = 480;
// Map units per degree.
inline constexpr double kUnitsPerDegree = (1 << 26) / 360.0;

struct Shot {
    std::vector<uint8_t> rgb;
    bool ok() const { return rgb.size() == static_cast<size_t>(kWidth * kHeight * 3); }
    const uint8_t* at(int x, int y) const {
        return &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
    }
    // The share of pixels that differ, in the rows top to bottom.
    double difference(const Shot& o, int top = 0, int bottom = kHeight) const {
        size_t n = 0;
        const size_t end = static_cast<size_t>(bottom) * kWidth * 3;
        for (size_t i = static_cast<size_t>(top) * kWidth * 3; i < end; i += 3)
            n += rgb[i] != o.rgb[i] || rgb[i + 1] != o.rgb[i + 1] || rgb[i + 2] != o.rgb[i + 2];
        return static_cast<double>(n) / (kWidth * (bottom - top));
    }
    // The smallest difference in the rows top to bottom when `o` is moved
    // by up to `shift` pixels each way (in steps of 2): the same map drawn
    // again from stored numbers may land a few pixels off.
    double shiftedDifference(const Shot& o, int top, int bottom, int shift) const {
        double best = 1;
        for (int dy = -shift; dy <= shift; dy += 2)
            for (int dx = -shift; dx <= shift; dx += 2) {
                size_t n = 0, all = 0;
                for (int y = top; y < bottom; ++y)
                    for (int x = shift; x < kWidth - shift; ++x) {
                        const uint8_t* p = at(x, y);
                        const uint8_t* q = o.at(x + dx, y + dy);
                        n += p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
                        ++all;
                    }
                best = std::min(best, static_cast<double>(n) / all);
            }
        return best;
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
inline std::vector<std::pair<double, double>> trackPoints(const std::string& path) {
    std::istringstream in(readFile(path));
    std::string line;
    std::vector<std::pair<double, double>> out;
    for (int i = 0; std::getline(in, line); ++i) {
        double lat = 0, lon = 0;
        if (i >= 6 && std::sscanf(line.c_str(), "%lf,%lf", &lat, &lon) == 2)
            out.emplace_back(lat, lon);
    }
    return out;
}

// Degrees from (lon, lat) to the nearest point of a track.
inline double distanceToTrack(const std::string& path, double lon, double lat) {
    double best = 1e9;
    for (const auto& [plat, plon] : trackPoints(path))
        best = std::min(best, std::hypot(plat - lat, plon - lon));
    return best;
}

class DriveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) GTEST_SKIP() << "Xvfb could not be started";
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
    // TEVO_SCREEN_SHOTS names a folder that keeps the named shots.
    Shot shot(const std::string& keep = {}) {
        const std::string png = dir.file("shot.png"), raw = dir.file("shot.rgb");
        run({"/usr/bin/import", "-window", hex(), png});
        const char* keepIn = std::getenv("TEVO_SCREEN_SHOTS");
        if (keepIn != nullptr && !keep.empty())
            std::filesystem::copy_file(png, std::filesystem::path(keepIn) / keep,
                                       std::filesystem::copy_options::overwrite_existing);
        run({"/usr/bin/convert", png, "-depth", "8", "rgb:" + raw});
        const std::string bytes = readFile(raw);
        return {std::vector<uint8_t>(bytes.begin(), bytes.end())};
    }
    // The text of a settings element of the last run, such as "<viewto>".
    std::string storedValue(const std::string& element) const {
        const std::string xml = readFile(folder.file("config.xml"));
        const size_t at = xml.find(element);
        if (at == std::string::npos) return {};
        const size_t begin = at + element.size();
        return xml.substr(begin, xml.find('<', begin) - begin);
    }
    // The settings' position of the last run, as "lon,lat".
    bool storedPosition(double& lon, double& lat) const {
        return std::sscanf(storedValue("<mapposabs>").c_str(), "%lf,%lf", &lon, &lat) == 2;
    }

    XServer x;
    ProgramFolder folder;
    TempDir dir;
    std::unique_ptr<ChildProcess> tevo;
    Window window = 0;
};

} // namespace tevo::test
