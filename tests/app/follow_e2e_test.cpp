// The demonstration drive in a private X server: the pointer moves along the
// drawn track, the view follows, space pauses and resumes, and the position
// of the last run comes back.
#include "tests/app/drive_window.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

using namespace test;

class DemoDrive : public DriveWindow {
protected:
    void SetUp() override {
        DriveWindow::SetUp();
        folder.addDemoTrack();
    }
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
        EXPECT_GT(trackPixels(b, kPointerX, kPointerY, 40), 20) << "second " << i;
        a = b;
    }
    // Paused: the picture stands still.
    run({"/usr/bin/xdotool", "key", "space"});
    pause(1500);
    const Shot p1 = shot();
    pause(2500);
    const Shot p2 = shot();
    EXPECT_LT(p2.difference(p1), 0.001);
    // Paused is standing still: tilt, zoom, orientation and mode show at once.
    Shot before = p2;
    for (const char* key : {"F1", "Up", "F5", "F3"}) {
        run({"/usr/bin/xdotool", "key", key, key});
        pause(400);
        const Shot after = shot();
        EXPECT_GT(after.difference(before), 0.01) << key;
        before = after;
    }
    // Resumed: it moves again.
    run({"/usr/bin/xdotool", "key", "space"});
    pause(2500);
    EXPECT_GT(shot().difference(before), 0.01);
    EXPECT_TRUE(tevo->running());
    stop();
    // The position written at exit is a point of the drive.
    double lon = 0, lat = 0;
    ASSERT_TRUE(storedPosition(lon, lat)) << readFile(folder.file("config.xml"));
    EXPECT_LT(distanceToTrack(folder.file("demo.plt"), lon, lat), 1e-4) << lon << "," << lat;
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
