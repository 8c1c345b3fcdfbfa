// The real program with nmeasim as its receiver and the plug-ins of the
// program folder as the build installs them: the drive ends up in Tracks/,
// a kill in the middle leaves a file the track reader loads, and a
// multi-system receiver's log reaches the track through Gnss.
#include "map/track_log.hpp"
#include "plugins/plt_reader.hpp"
#include "support/default_config.hpp"
#include "support/process.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <thread>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

constexpr int kStartMs = 30000;
constexpr int kDriveMs = 60000;
const std::vector<std::string> kHeadless = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
constexpr double kMetreOfLatitude = 1.0 / 111195.0;

struct TrackPoint {
    double latitude;
    double longitude;
};

// 40 points a second apart, 20 m north each, standing still for three
// seconds after the tenth.
std::vector<TrackPoint> drive() {
    std::vector<TrackPoint> points;
    for (int i = 0, step = 0; i < 40; ++i) {
        if (i < 10 || i > 12) ++step;
        points.push_back({55.80 + step * 20 * kMetreOfLatitude, 37.60});
    }
    return points;
}

std::string trackText(const std::vector<TrackPoint>& points) {
    std::string text = "h1\nh2\nh3\nh4\nh5\nh6\n";
    double days = 46364.5;
    for (const TrackPoint& p : points) {
        char line[128];
        std::snprintf(line, sizeof(line), "%.7f,%.7f,0,150,%.8f\n", p.latitude, p.longitude, days);
        text += line;
        days += 1.0 / 86400.0;
    }
    return text;
}

// The receiver on COM3 at 4800 baud, configured so that tevo opens it at once.
class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove(folder.file("demo.plt"));   // it would replace the receiver
        fs::remove_all(folder.file("Tracks")); // only the recorder's own file
        std::string config = kDefaultConfigXml;
        config.replace(config.find("<port>0"), 7, "<port>3");
        config.replace(config.find("<baudrate>0"), 11, "<baudrate>4800");
        writeFile(folder.file("config.xml"), config);
    }

    void startReceiver(const std::vector<std::string>& source) {
        std::vector<std::string> argv = {std::string(TEVO_BIN_DIR) + "/nmeasim", "--link",
                                         folder.path(), "--port", "3"};
        argv.insert(argv.end(), source.begin(), source.end());
        nmeasim = std::make_unique<ChildProcess>(argv);
        ASSERT_TRUE(nmeasim->waitForOutput("COM3 -> ", kStartMs)) << nmeasim->errors();
    }

    void startTevo() {
        tevo =
            std::make_unique<ChildProcess>(std::vector<std::string>{folder.program()}, kHeadless);
    }

    // Waits until the one file in Tracks/ holds at least `count` points.
    PltFile waitForPoints(std::size_t count, const std::string& name = {}) {
        PltFile file;
        for (int waited = 0; waited < kDriveMs; waited += 200) {
            std::string path = name.empty() ? onlyTrack() : folder.file("Tracks/" + name);
            if (!path.empty()) file = readPlt(path);
            if (file.points.size() >= count) return file;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return file;
    }

    std::string onlyTrack() const {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder.file("Tracks"), ec)) {
            if (entry.path().extension() == ".plt") return entry.path().string();
        }
        return {};
    }

    ProgramFolder folder;
    TempDir dir;
    std::unique_ptr<ChildProcess> nmeasim;
    std::unique_ptr<ChildProcess> tevo;
};

// The index of the driven point at a written position; -1 for none.
int indexOf(const std::vector<TrackPoint>& points, const PltPoint& p) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (std::fabs(points[i].latitude - p.latitude) < 3e-6 &&
            std::fabs(points[i].longitude - p.longitude) < 3e-6) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TEST_F(Recording, DrivenPointsAreRecordedAndAKillLeavesALoadableFile) {
    std::vector<TrackPoint> points = drive();
    writeFile(dir.file("drive.plt"), trackText(points));
    startReceiver({"--track", dir.file("drive.plt")});
    startTevo();
    PltFile file = waitForPoints(14);
    ASSERT_GE(file.points.size(), 14u) << tevo->output() << tevo->errors();
    tevo->signal(SIGKILL);
    EXPECT_EQ(128 + SIGKILL, tevo->wait(kStartMs));
    EXPECT_EQ(std::string::npos, tevo->errors().find("trackrec")) << tevo->errors();

    // What a reader by the track file rules loads after the kill.
    file = readPlt(onlyTrack());
    ASSERT_TRUE(file.problems.empty()) << file.problems.front();
    EXPECT_EQ("Tevo track", file.header[0]);
    EXPECT_EQ(1, file.points[0].segment);
    // Each point is one nmeasim sent, in the order it sent them; of the
    // standing still (the same position for three seconds) one point is kept.
    // A busy machine may hand the host two fixes at once, and the host
    // passes on the later: a point may be missing, never out of order.
    int previous = indexOf(points, file.points[0]);
    ASSERT_GE(previous, 0);
    int missing = 0;
    for (std::size_t k = 1; k < file.points.size(); ++k) {
        int index = indexOf(points, file.points[k]);
        ASSERT_GE(index, 0) << "point " << k << " was never sent";
        int step = (index - previous + int(points.size())) % int(points.size());
        if (previous == 9) step -= 3; // the standing still counts once
        EXPECT_GE(step, 1) << "point " << k;
        EXPECT_LE(step, 3) << "point " << k;
        missing += step - 1;
        EXPECT_EQ(0, file.points[k].segment);
        EXPECT_NEAR(150.0, file.points[k].altitude, 1e-9);
        previous = index;
    }
    EXPECT_LE(missing, 2);
    // Times are the receiver's UTC, which nmeasim takes from the clock.
    double now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count() /
            86400.0 +
        25569.0; // 1970-01-01 in days since 1899-12-30
    EXPECT_NEAR(now, file.points.back().days, 120.0 / 86400.0);

    // The next start draws it: the program's own track folder loads it whole.
    cPtrArray<cPolyLine> tracks;
    loadTrackFolder(folder.file("Tracks/"), tracks);
    ASSERT_EQ(1, tracks.size());
    EXPECT_GE(tracks[0]->points.size(), 2u);
}

TEST_F(Recording, MultiSystemLogReachesTheTrackThroughGnss) {
    startReceiver({"--log", std::string(TEVO_SOURCE_DIR) + "/tests/plugins/data/ch-4711.log",
                   "--repeat", "0"});
    startTevo();
    // The log's own date: 5 December 2009.
    PltFile file = waitForPoints(1, "2009-12-05.plt");
    ASSERT_GE(file.points.size(), 1u) << tevo->output() << tevo->errors();
    EXPECT_TRUE(file.problems.empty()) << file.problems.front();
    EXPECT_NEAR(55.717, file.points[0].latitude, 0.01);
    EXPECT_NEAR(37.412, file.points[0].longitude, 0.01);
    EXPECT_NEAR(165.6, file.points.back().altitude, 1.0);
    tevo->signal(SIGTERM);
    EXPECT_EQ(0, tevo->wait(kStartMs)) << tevo->errors();
}

} // namespace
} // namespace tevo::test
