// The drive from a receiver in a private X server: nmeasim sends the
// demonstration drive on COM3, the pointer follows the road, a lost fix frees
// the view where the vehicle was and the next fix follows again; a receiver
// that goes away leaves the program working and is followed again when it
// comes back, and the view of the last run comes back at the next start. The
// same drive through a gpsd of the test's own, stopped and started again.
#include "support/gpsd_daemon.hpp"
#include "tests/app/drive_window.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

namespace tevo {
namespace {

using namespace test;
namespace fs = std::filesystem;

// The settings of a program that was told its receiver: COM3 at 4800 bps.
constexpr const char* kReceiverConfig = "<?xml version=\"1.0\"?>\n"
                                        "<config>\n"
                                        "\t<device>\n"
                                        "\t\t<port>3</port>\n"
                                        "\t\t<baudrate>4800</baudrate>\n"
                                        "\t</device>\n"
                                        "</config>\n";
constexpr int kCycleMs = 1000;
// The drive starts from standing: its first seconds move the map by less
// than a pixel.
constexpr int kSlowStartMs = 10 * kCycleMs;
// Beyond the cycle that carries a change, the record reaches the view and
// the glide of the last fix ends.
constexpr int kSettleMs = 1500;
// The pointer stands on the drawn drive: magenta pixels around it.
constexpr int kTrackRadius = 40;
constexpr int kTrackPixels = 20;
// The precision of the degrees in config.xml.
constexpr double kStoredDegrees = 1e-4;
// How far apart in pixels the same view drawn from stored numbers may land.
constexpr int kRedrawShift = 12;
// The pointer picture's blue, and the grey it turns into while the receiver
// is lost; a turned pointer keeps a few hundred pixels of it.
constexpr uint32_t kLiveBlue = 0x1E88E5, kStaleGrey = 0x999999;
constexpr int kPointerPixels = 40;

int pointerPixels(const Shot& shot, uint32_t colour) {
    int n = 0;
    if (!shot.ok()) return n;
    for (int y = kPointerY - 20; y <= kPointerY + 20; ++y)
        for (int x = kPointerX - 20; x <= kPointerX + 20; ++x) n += shot.at(x, y) == colour;
    return n;
}

class ReceiverDrive : public DriveWindow {
protected:
    void SetUp() override {
        DriveWindow::SetUp();
        if (IsSkipped()) return;
        writeFile(folder.file("config.xml"), kReceiverConfig);
        // The drive is drawn as a track, so that the tests see the road it takes.
        fs::copy_file(demoTrack(), folder.file("Tracks/drive.plt"));
    }
    static std::string demoTrack() { return std::string(TEVO_DIST_DIR) + "/demo.plt"; }

    // nmeasim on the program folder's COM3, driving the demonstration drive.
    void startReceiver() {
        sim = std::make_unique<ChildProcess>(
            std::vector<std::string>{std::string(TEVO_BIN_DIR) + "/nmeasim", "--track", demoTrack(),
                                     "--link", folder.path(), "--port", "3"});
        ASSERT_TRUE(sim->waitForOutput("COM3 -> ", kStartMs)) << sim->errors();
    }
    // The same on a terminal of its own; its device path.
    std::string startUnlinkedReceiver() {
        sim = std::make_unique<ChildProcess>(std::vector<std::string>{
            std::string(TEVO_BIN_DIR) + "/nmeasim", "--track", demoTrack()});
        EXPECT_TRUE(sim->waitForOutput("\n", kStartMs)) << sim->errors();
        return sim->output().substr(0, sim->output().find('\n'));
    }
    void expectConsole(const std::string& line, int timeoutMs) {
        ASSERT_TRUE(tevo->waitForOutput(line, timeoutMs)) << tevo->output();
    }
    void startWithReceiver() {
        start();
        ASSERT_TRUE(tevo->waitForOutput(" COM3 at ", kStartMs)) << tevo->output();
    }
    // SIGUSR1 turns the receiver's fix off or on; `line` says it was sent.
    void toggleFix(const std::string& line) {
        const size_t before = count(sim->output(), line);
        sim->signal(SIGUSR1);
        for (int waited = 0; waited < kStartMs && count(sim->output(), line) == before;
             waited += 20)
            pause(20);
        ASSERT_GT(count(sim->output(), line), before) << sim->output();
        pause(kSettleMs);
    }
    static size_t count(const std::string& text, const std::string& line) {
        size_t n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++n;
        return n;
    }
    // Waits, within the drive's slow start, until a second changes the picture.
    void waitForMovement() {
        Shot before = shot();
        for (int waited = 0; waited < kSlowStartMs; waited += kCycleMs) {
            pause(kCycleMs);
            const Shot now = shot();
            if (now.difference(before) > 0.01) return;
            before = now;
        }
        ADD_FAILURE() << "the view never moved again";
    }
    // Every 1.5 s the picture changes and the pointer stands on the drive.
    void expectDriving(const char* when) {
        Shot a = shot();
        ASSERT_TRUE(a.ok());
        for (int i = 0; i < 2; ++i) {
            pause(kCycleMs + kCycleMs / 2);
            Shot b = shot();
            ASSERT_TRUE(b.ok());
            EXPECT_GT(b.difference(a), 0.01) << when << ", second " << i;
            EXPECT_GT(trackPixels(b, kPointerX, kPointerY, kTrackRadius), kTrackPixels)
                << when << ", second " << i;
            a = b;
        }
    }

    std::unique_ptr<ChildProcess> sim;
};

TEST_F(ReceiverDrive, TheViewFollowsALostFixFreesItWhereTheVehicleWasAndTheNextFixFollows) {
    startReceiver();
    startWithReceiver();
    pause(3 * kCycleMs);
    expectDriving("with a fix");
    // Without a fix the view stands where the vehicle was last seen.
    toggleFix("fix lost at cycle");
    const Shot lost1 = shot();
    pause(2 * kCycleMs);
    const Shot lost2 = shot();
    // Only the plate's age of the last fix changes, as while the receiver is
    // away (0.13 % under the sanitizers); a moving map changes far more.
    EXPECT_LT(lost2.difference(lost1), 0.004);
    EXPECT_GT(trackPixels(lost2, kPointerX, kPointerY, kTrackRadius), kTrackPixels);
    // The fix is back: the view follows again.
    toggleFix("fix back at cycle");
    expectDriving("with the fix back");
    // The receiver goes away: keys still work and SIGTERM ends the program.
    sim->signal(SIGKILL);
    sim->wait(kStartMs);
    pause(kSettleMs);
    const Shot map = shot();
    run({"/usr/bin/xdotool", "key", "F4"});
    pause(kSettleMs);
    EXPECT_GT(shot().difference(map), 0.2) << "F4 shows the satellites screen";
    tevo->signal(SIGTERM);
    EXPECT_EQ(tevo->wait(kStartMs), 0) << tevo->output() << tevo->errors();
    EXPECT_EQ(storedValue("<viewto>"), "0");
    EXPECT_EQ(storedValue("<port>"), "3");
    EXPECT_EQ(storedValue("<baudrate>"), "4800");
}

TEST_F(ReceiverDrive, AReceiverThatComesBackOnItsPortIsFollowedAgain) {
    startReceiver();
    startWithReceiver();
    pause(3 * kCycleMs);
    expectDriving("before the receiver went away");
    EXPECT_GT(pointerPixels(shot(), kLiveBlue), kPointerPixels);
    // Unplugged: nmeasim ends and its terminal goes. The pointer turns grey
    // where the vehicle was last seen.
    sim->signal(SIGTERM);
    EXPECT_EQ(0, sim->wait(kStartMs));
    expectConsole("GPS lost: COM3 at 4800 bps\n", kStartMs);
    pause(kSettleMs);
    const Shot gone1 = shot("receiver-gone.png");
    EXPECT_EQ(pointerPixels(gone1, kLiveBlue), 0);
    EXPECT_GT(pointerPixels(gone1, kStaleGrey), kPointerPixels);
    pause(2 * kCycleMs);
    // Only the plate's age of the last fix changes ("GPS lost 3 с"): a
    // tenth of a per cent of the window, up to 0.13 % under the sanitizers.
    EXPECT_LT(shot().difference(gone1), 0.004) << "nothing moves while the receiver is away";
    // Plugged in again on the same port. nmeasim begins the drive again,
    // whose first seconds hardly move.
    startReceiver();
    expectConsole("GPS back: COM3 at 4800 bps\n", kStartMs);
    waitForMovement();
    expectDriving("with the receiver back");
    EXPECT_GT(pointerPixels(shot(), kLiveBlue), kPointerPixels);
    stop();
}

TEST_F(ReceiverDrive, TheDriveThroughGpsdSurvivesGpsdGoingAndComesBackWithIt) {
    if (!GpsdDaemon::installed()) GTEST_SKIP() << "gpsd is not installed (scripts/install-deps.sh)";
    GpsdDaemon gpsd(startUnlinkedReceiver());
    ASSERT_TRUE(gpsd.start(kStartMs)) << gpsd.errors();
    writeFile(folder.file("gpsd.xml"), gpsd.settings());
    writeFile(folder.file("config.xml"), "<config/>\n"); // no port: detection, gpsd first
    const std::string source = "gpsd at localhost:" + std::to_string(gpsd.port());
    start();
    expectConsole(" " + source + "\n", kStartMs);
    pause(3 * kCycleMs);
    expectDriving("through gpsd");
    // gpsd ends: the program neither hangs nor pretends.
    gpsd.stop(kStartMs);
    expectConsole("GPS lost: " + source + "\n", kStartMs);
    const Shot map = shot();
    run({"/usr/bin/xdotool", "key", "F4"});
    pause(kSettleMs);
    EXPECT_GT(shot().difference(map), 0.2) << "F4 shows the satellites screen";
    run({"/usr/bin/xdotool", "key", "F4", "F4"});
    pause(kSettleMs);
    // gpsd is back: so are the positions.
    ASSERT_TRUE(gpsd.start(kStartMs)) << gpsd.errors();
    expectConsole("GPS back: " + source + "\n", kStartMs);
    pause(2 * kCycleMs);
    expectDriving("with gpsd back");
    stop();
    EXPECT_EQ(storedValue("<port>"), "0"); // the next start asks gpsd first again
}

// The drive's speeds (0 to 60 km/h) span these entries of vsa.xml: tilt
// 90 - angle from 90 - 70 to 90 - 60, zoom 1 / scale from 1 / 0.5 to 1 / 2.5.
// A glide cut short by the next fix may leave the values between two
// entries' figures.
constexpr double kLeastTilt = 20, kMostTilt = 30;
constexpr double kLeastZoom = 1 / 2.5, kMostZoom = 1 / 0.5;

TEST_F(ReceiverDrive, ALostFixAtExitIsKeptAsAFreeViewWhereTheVehicleWasAndComesBack) {
    startReceiver();
    startWithReceiver();
    pause(4 * kCycleMs);
    toggleFix("fix lost at cycle");
    const Shot before = shot("receiver-lost-fix.png");
    stop();
    // Freed where the vehicle was: the free point is the last position.
    double lon = 0, lat = 0;
    ASSERT_TRUE(storedPosition(lon, lat)) << readFile(folder.file("config.xml"));
    EXPECT_LT(distanceToTrack(demoTrack(), lon, lat), kStoredDegrees) << lon << "," << lat;
    EXPECT_EQ(storedValue("<viewto>"), "1");
    long freeX = 0, freeY = 0;
    ASSERT_EQ(std::sscanf(storedValue("<viewpos>").c_str(), "%ld,%ld", &freeX, &freeY), 2);
    // config.xml keeps six digits of the degrees.
    EXPECT_NEAR(freeX, lon * kUnitsPerDegree, kStoredDegrees * kUnitsPerDegree);
    EXPECT_NEAR(freeY, lat * kUnitsPerDegree, kStoredDegrees * kUnitsPerDegree);
    // The speeds of the drive gave tilt and zoom of vsa.xml.
    const double tilt = std::atof(storedValue("<ayz>").c_str());
    const double zoom = std::atof(storedValue("<scale>").c_str());
    EXPECT_GE(tilt, kLeastTilt - 0.01);
    EXPECT_LE(tilt, kMostTilt + 0.01);
    EXPECT_GE(zoom, kLeastZoom - 0.01);
    EXPECT_LE(zoom, kMostZoom + 0.01);
    // The next start, still without a fix, shows the same map.
    startWithReceiver();
    pause(2 * kCycleMs);
    const Shot after = shot("receiver-next-start.png");
    ASSERT_TRUE(after.ok());
    // The map between the top buttons and the bottom row (where the return
    // button now shows) is the one of the last run, give or take a few
    // pixels and the pointer, which points up until a course is known.
    EXPECT_LT(shiftedDifference(after, before, 150, 560, kRedrawShift), 0.05);
    EXPECT_GT(trackPixels(after, kPointerX, kPointerY, kTrackRadius), kTrackPixels);
    stop();
    double lon2 = 0, lat2 = 0;
    ASSERT_TRUE(storedPosition(lon2, lat2));
    EXPECT_LT(std::hypot(lon2 - lon, lat2 - lat), 1e-5);
    EXPECT_EQ(storedValue("<viewto>"), "1");
}

} // namespace
} // namespace tevo
