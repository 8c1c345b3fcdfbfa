// Browsing in the real program: another region's map and the first drag.
#include "tests/app/drive_window.hpp"

#include <gtest/gtest.h>

#include <map>

namespace tevo {
namespace {

using namespace test;

constexpr int kSettleMs = 800;

// A stored view in Moscow, followed, with a port.
std::string moscowView(int port) {
    return "<config><device><port>" + std::to_string(port) +
           "</port><baudrate>4800</baudrate></device><navigation><viewpos>7006416,10404162"
           "</viewpos><mapposabs>37.6167,55.8082</mapposabs><viewto>0</viewto><scale>0.85"
           "</scale></navigation></config>\n";
}

// The map area's share not of its commonest colour: "Out of map" has ~0.
double mapShare(const Shot& s) {
    std::map<uint32_t, int> counts;
    int all = 0, most = 0;
    for (int y = 150; y < 560; y += 2)
        for (int x = 0; x < kWidth; x += 2, ++all) most = std::max(most, ++counts[s.at(x, y)]);
    return 1.0 - static_cast<double>(most) / all;
}

// The shift right under which the patch at (x, y) of `before` fits `after`.
int bestShift(const Shot& before, const Shot& after, int x, int y, int expected) {
    int best = 0, fewest = INT32_MAX;
    for (int dx = 0; dx <= 2 * expected; ++dx) {
        int n = 0;
        for (int py = y - 15; py <= y + 15; ++py)
            for (int px = x - 30; px <= x + 30; ++px)
                n += before.at(px, py) != after.at(px + dx, py);
        if (n < fewest) fewest = n, best = dx;
    }
    return best;
}

TEST_F(DriveWindow, AStoredViewOffAnotherRegionsMapStartsOnTheMapAndHomeShowsItWhole) {
    const std::string osm = std::string(TEVO_SOURCE_DIR) + "/data/osm/monaco.osm.gz";
    ASSERT_EQ(
        ChildProcess({TEVO_BIN_DIR "/tvmc", osm, "-o", folder.file("map.tvm")}).wait(kStartMs), 0);
    writeFile(folder.file("config.xml"), moscowView(0));
    start();
    for (int w = 0; w < kStartMs && tevo->output().find("not ") == std::string::npos; w += 500)
        key("Return", 500);
    pause(kSettleMs);
    const Shot first = shot("off-map-start"); // the map, not "Out of map"
    key("Home", kSettleMs);
    const Shot whole = shot("off-map-home");
    // Monaco's territorial waters reach 20 km out to sea: the whole map is
    // mostly sea, the town a corner of it.
    EXPECT_GT(std::min(mapShare(first), mapShare(whole)), 0.02);
    EXPECT_GT(whole.difference(first), 0.02);
    stop();
}

TEST_F(DriveWindow, TheFirstDragMovesAFollowedMapByItsDistanceInEveryMode) {
    // A receiver standing still: the followed map moves only by the drag.
    const std::string point = "55.8121055,37.5835461,0,161.1,46158.375\n";
    writeFile(folder.file("standing.plt"),
              "Tevo\nWGS 84\nm\nR\n0,2,255,S,0,0,2,255\n2\n" + point + point);
    ChildProcess sim({std::string(TEVO_BIN_DIR) + "/nmeasim", "--track",
                      folder.file("standing.plt"), "--link", folder.path()});
    ASSERT_TRUE(sim.waitForOutput("COM3 -> ", kStartMs)) << sim.errors();
    const std::pair<int, const char*> modes[] = {{0, "3d"}, {1, "eco"}, {2, "2d"}};
    // Later starts follow a stored free view, the return button shown.
    writeFile(folder.file("config.xml"), moscowView(3));
    // The window once two shots 300 ms apart agree: a glide has landed,
    // however busy the machine.
    const auto settled = [&](const std::string& keep) {
        Shot last = shot();
        for (int i = 0; i < 30; ++i) {
            pause(300);
            Shot next = shot(keep);
            if (next.difference(last) < 0.001) return next;
            last = std::move(next);
        }
        return last;
    };
    for (const auto& [f3, mode] : modes) {
        start();
        ASSERT_TRUE(tevo->waitForOutput(" COM3 at ", kStartMs)) << tevo->output();
        pause(6000); // the view follows the standing vehicle, on a busy machine too
        for (int i = 0; i < f3; ++i) key("F3", kSettleMs);
        const Shot before = settled(std::string("drag-before-") + mode);
        // Along the pointer's row, where perspective shifts the ground by the
        // drag's distance too; the patch holds the pointer and its road.
        drag(140, 480, 240, 480, kSettleMs);
        const Shot after = settled(std::string("drag-after-") + mode);
        EXPECT_NEAR(bestShift(before, after, 240, 478, 100), 100, 3) << mode;
        stop();
    }
}

} // namespace
} // namespace tevo
