// Guidance as a driver meets it, in a private X server: a tap on the map,
// "Route here", then nmeasim drives the route with one detour. The panel's
// texts change as the turns pass, the detour gives a new route at the third
// fix off the route, and the destination ends the route.
#include "tests/app/drive_window.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace tevo {
namespace {

using namespace test;

// The receiver on COM3, and the map looked at straight down from a stored
// free view whose point (map units of 37.5990 E, 55.8100 N, in the map's
// start rectangle) stands under the pointer's place.
constexpr const char* kConfig =
    "<?xml version=\"1.0\"?>\n<config>\n"
    "\t<device><port>3</port><baudrate>4800</baudrate></device>\n"
    "\t<navigation><viewpos>7008961,10403737</viewpos><mapposabs>37.5990,55.8100</mapposabs>"
    "<viewto>1</viewto><scale>1</scale><ayz>0</ayz><ayzuser>0</ayzuser></navigation>\n"
    "</config>\n";
// The drive starts 2.7 km east of the destination, by road.
constexpr const char* kDriveFrom = "37.626200,55.809300";
// Where the panel and "Route here" stand in the portrait layout.
constexpr Rect kPanel{108, 68, 364, 172};
constexpr int kRouteHereX = 424, kRouteHereY = 528;
constexpr int kDriveMs = 150000;

class Guidance : public DriveWindow {
protected:
    void SetUp() override {
        DriveWindow::SetUp();
        if (IsSkipped()) return;
        writeFile(folder.file("config.xml"), kConfig);
    }
    void receiver(std::vector<std::string> args) {
        args.insert(args.begin(), std::string(TEVO_BIN_DIR) + "/nmeasim");
        for (const char* a : {"--link", "", "--port", "3"}) args.push_back(*a ? a : folder.path());
        sim = std::make_unique<ChildProcess>(args);
        ASSERT_TRUE(sim->waitForOutput("COM3 -> ", kStartMs)) << sim->errors();
    }
    void expectConsole(const std::string& line, int timeoutMs) {
        ASSERT_TRUE(tevo->waitForOutput(line, timeoutMs)) << tevo->output();
    }
    // The console's lines from `from` on that start with `prefix`.
    std::vector<std::string> lines(const std::string& prefix, size_t from = 0) const {
        std::vector<std::string> out;
        const std::string text = tevo->output();
        for (size_t at = text.find(prefix, from); at != std::string::npos;
             at = text.find(prefix, at + 1))
            out.push_back(text.substr(at, text.find('\n', at) - at));
        return out;
    }
    std::unique_ptr<ChildProcess> sim;
};

TEST_F(Guidance, TapRouteHereDriveWithADetourAndArrive) {
    // A receiver without a fix: the stored view stays for the tap.
    receiver({"--track", std::string(TEVO_DIST_DIR) + "/demo.plt", "--void-after", "0"});
    startProgram(kStartMs);
    expectConsole(" COM3 at ", kStartMs);
    click(kPointerX, kPointerY, 500);
    click(kRouteHereX, kRouteHereY, 500);
    expectConsole("Destination ", kStartMs);
    const std::string said = lines("Destination ").front();
    double lon = 0, lat = 0;
    ASSERT_EQ(std::sscanf(said.c_str(), "Destination %lf %lf", &lon, &lat), 2) << said;
    EXPECT_NEAR(lon, 37.5990, 0.003);
    EXPECT_NEAR(lat, 55.8100, 0.003);
    EXPECT_TRUE(std::filesystem::exists(folder.file("destination.txt")));
    // The drive to it, four times as fast, leaving the route once.
    sim.reset();
    char to[64];
    std::snprintf(to, sizeof to, "%.6f,%.6f", lon, lat);
    receiver({"--route", folder.path(), "--from", kDriveFrom, "--to", to, "--detour", "--speed", "4"});
    expectConsole("Guidance: ", kDriveMs);
    pause(1000);
    const Shot first = shot("guidance_first");
    const std::string firstSaid = lines("Guidance: ").back();
    expectConsole("Route: off the route for 3 fixes; a new route\nRoute: ", kDriveMs);
    // The new route came with the third fix off the old one.
    const size_t reroute = tevo->output().find("Route: off the route");
    double km = 0, ms = 0;
    ASSERT_EQ(std::sscanf(lines("Route: ", reroute)[1].c_str(),
                          "Route: %lf km, %*d steps, found in %lf ms", &km, &ms),
              2);
    EXPECT_LT(ms, 1000);
    expectConsole("Route: arrived at the destination", kDriveMs);
    // The panel told more than one turn, and showed it.
    const std::vector<std::string> told = lines("Guidance: ");
    EXPECT_GE(told.size(), 3u) << tevo->output();
    EXPECT_NE(told.back(), firstSaid);
    const Shot arrived = shot("guidance_arrived");
    EXPECT_GT(arrived.difference(first, kPanel), 0.02);
    EXPECT_FALSE(std::filesystem::exists(folder.file("destination.txt")));
    closeWindow(kStartMs);
}

} // namespace
} // namespace tevo
