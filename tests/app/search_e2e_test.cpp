// The search screen of the real program in a private X server: the search
// button of the map opens it, the on-screen keyboard switches to Cyrillic and
// types a street of the demonstration map, the list shows it first (the
// whole word before names it only begins), and a tap on it frees the map
// there; the physical keyboard types into the field too.
#include "support/program_window.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace tevo {
namespace {

using test::Rect;
using test::Shot;

constexpr int kStartMs = 20000;
constexpr int kSettleMs = 700;
constexpr double kUnitsPerDegree = (1 << 26) / 360.0;

// The portrait layout (data/menu.xml): the map's search button, the search
// screen's list and keyboard, the keys of "гончарова" and the first row.
struct Point {
    int x, y;
};
constexpr Point kSearchButton{56, 184};
constexpr Point kSwitchKey{43, 532};
constexpr Point kKeys[] = {{256, 376}, {275, 428}, {217, 376}, {100, 480}, {158, 428},
                           {236, 428}, {275, 428}, {119, 428}, {158, 428}};
constexpr Point kFirstRow{240, 86};
constexpr Point kMenu{424, 600};
constexpr Point kMenuExit{350, 568};
constexpr Rect kList{8, 64, 472, 294};
constexpr Rect kFirstRowBox{8, 64, 472, 110};
constexpr Rect kLetterRows{4, 352, 476, 508};
constexpr Rect kReturnButton{272, 568, 368, 632};
// улица Гончарова and Школа №250, as the name index of the demonstration map
// places them.
constexpr double kStreetLon = 37.5874472;
constexpr double kStreetLat = 55.8153588;
constexpr double kSchoolLon = 37.5868571;
constexpr double kSchoolLat = 55.8176762;

class SearchScreen : public test::ProgramWindow {
protected:
    void SetUp() override {
        ProgramWindow::SetUp();
        // No replay: the view stays where the search puts it.
        std::filesystem::remove(folder.file("demo.plt"));
        startProgram(kStartMs);
        // No receiver answers: its message box waits first.
        pause(4 * kSettleMs);
        key("Return", 2 * kSettleMs);
    }
    void click(Point p) { ProgramWindow::click(p.x, p.y, kSettleMs); }
    void exitByMenu() {
        click(kMenu);
        click(kMenuExit);
        ASSERT_EQ(tevo->wait(kStartMs), 0) << tevo->output() << tevo->errors();
    }
    // The free point stored at exit, in degrees.
    bool storedFreePoint(double& lon, double& lat) const {
        const std::string xml = test::readFile(folder.file("config.xml"));
        const size_t at = xml.find("<viewpos>");
        long x = 0, y = 0;
        if (at == std::string::npos ||
            std::sscanf(xml.c_str() + at, "<viewpos>%ld,%ld", &x, &y) != 2)
            return false;
        lon = x / kUnitsPerDegree;
        lat = y / kUnitsPerDegree;
        return true;
    }
};

TEST_F(SearchScreen, OnScreenKeysFindAStreetAndATapShowsItOnTheMap) {
    const Shot map = shot();
    click(kSearchButton);
    const Shot latin = shot("search_latin.png");
    EXPECT_GT(latin.difference(map), 0.5);
    click(kSwitchKey);
    const Shot cyrillic = shot("search_cyrillic.png");
    EXPECT_GT(cyrillic.difference(latin, kLetterRows), 0.03);
    EXPECT_LT(cyrillic.difference(latin, kList), 0.001);
    for (const Point& key : kKeys) click(key);
    const Shot results = shot("search_results.png");
    EXPECT_GT(results.difference(cyrillic, kList), 0.03);
    // The first row: the map again, freed, with its return button shown.
    click(kFirstRow);
    const Shot chosen = shot("search_chosen.png");
    EXPECT_GT(chosen.difference(map, kReturnButton), 0.3);
    exitByMenu();
    double lon = 0, lat = 0;
    ASSERT_TRUE(storedFreePoint(lon, lat)) << test::readFile(folder.file("config.xml"));
    EXPECT_NEAR(lon, kStreetLon, 1e-4);
    EXPECT_NEAR(lat, kStreetLat, 1e-4);
}

TEST_F(SearchScreen, PhysicalKeysTypeAndEnterChoosesTheFirstName) {
    click(kSearchButton);
    const Shot empty = shot();
    // A word of a name typed on the keyboard, then Return for the best name.
    run({"/usr/bin/xdotool", "type", "--delay", "100", "250"});
    pause(kSettleMs);
    EXPECT_GT(shot().difference(empty, kFirstRowBox), 0.05);
    key("Return", kSettleMs);
    exitByMenu();
    double lon = 0, lat = 0;
    ASSERT_TRUE(storedFreePoint(lon, lat));
    EXPECT_NEAR(lon, kSchoolLon, 1e-4);
    EXPECT_NEAR(lat, kSchoolLat, 1e-4);
}

} // namespace
} // namespace tevo
