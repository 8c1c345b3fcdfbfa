// The real program in a private X server, browsing the map: a folder that
// held another region's map starts on its own map and Home shows the whole
// of it; a drag moves a followed map by the drag's distance in every mode.
#include "tests/app/drive_window.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace tevo {
namespace {

using namespace test;

constexpr int kSettleMs = 800;

// The view of a run in the demonstration map's Moscow, followed or free.
std::string storedMoscowView(int port) {
    return "<?xml version=\"1.0\"?>\n<config>\n\t<device>\n\t\t<port>" + std::to_string(port) +
           "</port>\n\t\t<baudrate>" + (port ? "4800" : "0") +
           "</baudrate>\n\t</device>\n\t<navigation>\n"
           "\t\t<viewpos>7006416,10404162</viewpos>\n\t\t<mapposabs>37.6167,55.8082</mapposabs>\n"
           "\t\t<viewto>0</viewto>\n\t\t<scale>0.85</scale>\n\t\t<scaleuser>1</scaleuser>\n"
           "\t</navigation>\n</config>\n";
}

// The share of the map area's pixels (between the buttons) that are not of
// its most common colour: a drawn map has many, "Out of map" almost none.
double mapShare(const Shot& s) {
    std::map<uint32_t, int> counts;
    int all = 0;
    for (int y = 150; y < 560; y += 2)
        for (int x = 0; x < kWidth; x += 2, ++all) ++counts[s.at(x, y)];
    int most = 0;
    for (const auto& [colour, n] : counts) most = std::max(most, n);
    return 1.0 - static_cast<double>(most) / all;
}

// The horizontal shift (searched from 0 to 2 * expected) under which the
// patch around (x, y) of `before` best matches `after`.
int bestShift(const Shot& before, const Shot& after, int x, int y, int expected) {
    int best = 0;
    size_t fewest = SIZE_MAX;
    for (int dx = 0; dx <= 2 * expected; ++dx) {
        size_t n = 0;
        for (int py = y - 15; py <= y + 15; ++py)
            for (int px = x - 30; px <= x + 30; ++px)
                n += before.at(px, py) != after.at(px + dx, py);
        if (n < fewest) {
            fewest = n;
            best = dx;
        }
    }
    return best;
}

class Browsing : public DriveWindow {
protected:
    void startAnswered() {
        start();
        // No receiver in these folders: the box first, then the map.
        for (int waited = 0; waited < kStartMs; waited += kSettleMs) {
            key("Return", kSettleMs);
            if (tevo->output().find("not Detected") != std::string::npos) break;
        }
        pause(kSettleMs);
    }
};

TEST_F(Browsing, AStoredViewOffAnotherRegionsMapStartsOnTheMapAndHomeShowsItWhole) {
    const std::string osm = std::string(TEVO_SOURCE_DIR) + "/data/osm/monaco.osm.gz";
    ChildProcess tvmc(
        {std::string(TEVO_BIN_DIR) + "/tvmc", "--quiet", osm, "-o", folder.file("map.tvm")});
    ASSERT_EQ(tvmc.wait(kStartMs), 0) << tvmc.errors();
    writeFile(folder.file("config.xml"), storedMoscowView(0));
    startAnswered();
    const Shot first = shot("off-map-start");
    EXPECT_GT(mapShare(first), 0.2) << "the map, not \"Out of map\"";
    key("Home", kSettleMs);
    const Shot whole = shot("off-map-home");
    EXPECT_GT(mapShare(whole), 0.2);
    EXPECT_GT(whole.difference(first), 0.05);
    stop();
}

// A receiver that stands still, so that the followed map moves only by the drag.
class FollowedDrag : public Browsing {
protected:
    void SetUp() override {
        Browsing::SetUp();
        if (IsSkipped()) return;
        std::string plt = "Tevo track point file\nWGS 84\nAltitude is in Metres\nReserved 3\n"
                          "0,2,255,Standing,0,0,2,255\n3\n";
        for (int i = 0; i < 3; ++i) plt += "55.8121055,37.5835461,0,161.1,46158.375\n";
        writeFile(folder.file("standing.plt"), plt);
        sim = std::make_unique<ChildProcess>(
            std::vector<std::string>{std::string(TEVO_BIN_DIR) + "/nmeasim", "--track",
                                     folder.file("standing.plt"), "--link", folder.path()});
        ASSERT_TRUE(sim->waitForOutput("COM3 -> ", kStartMs)) << sim->errors();
    }
    std::unique_ptr<ChildProcess> sim;
};

TEST_F(FollowedDrag, TheFirstDragMovesTheMapByItsDistanceInEveryMode) {
    // F3 presses from the start's 3D: none, one (Eco), two (2D).
    const struct {
        int f3;
        const char* mode;
    } modes[] = {{0, "3d"}, {1, "eco"}, {2, "2d"}};
    for (const auto& m : modes) {
        writeFile(folder.file("config.xml"), storedMoscowView(3)); // following again
        start();
        ASSERT_TRUE(tevo->waitForOutput(" COM3 at ", kStartMs)) << tevo->output();
        pause(3000); // fixes arrive; the view follows the standing vehicle
        for (int i = 0; i < m.f3; ++i) key("F3", kSettleMs);
        const Shot before = shot(std::string("drag-before-") + m.mode);
        drag(140, 300, 240, 300, kSettleMs);
        const Shot after = shot(std::string("drag-after-") + m.mode);
        // Measured left of the tap marker that the release leaves.
        EXPECT_NEAR(bestShift(before, after, 60, 300, 100), 100, 3) << m.mode;
        stop();
    }
}

} // namespace
} // namespace tevo
