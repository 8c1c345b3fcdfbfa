// The demonstration drive and the tracks of the program folder: they read,
// replay at road speeds once a second, and lie on the demonstration map.
#include "map/map_file.hpp"
#include "map_test_util.hpp"
#include "platform/message_box.hpp"
#include "track_test_util.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace tevo {
namespace {

constexpr std::size_t kFiveMinutes = 300;
constexpr float kTopSpeedKmh = 90.0f;

const std::string kDemoTrack = std::string(TEVO_SOURCE_DIR) + "/data/demo.plt";
const std::string kTrackFolder = std::string(TEVO_SOURCE_DIR) + "/data/Tracks";

// True when the finest level of the map has the cell under the point.
bool onMap(const cMapFile& map, const GpsData& p) {
    const cMapLevel& finest = *map.levels().front();
    const double f = finest.cellSize();
    for (const auto& ib : finest.indexBlocks()) {
        const int32_t key = static_cast<int32_t>(std::floor(p.latitude / f)) * ib->columns() +
                            static_cast<int32_t>(std::floor(p.longitude / f));
        const auto& entries = ib->entries();
        if (std::binary_search(
                entries.begin(), entries.end(), IndexEntry{key, 0},
                [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; }))
            return true;
    }
    return false;
}

TEST(DemoTrack, DrivesSeveralMinutesAtRoadSpeeds) {
    TrackLog log;
    ASSERT_TRUE(readTrack(kDemoTrack, log));
    ASSERT_GE(log.points.size(), kFiveMinutes);
    EXPECT_EQ(log.points.front().speed, 0.0f);
    float fastest = 0;
    for (const GpsData& p : log.points) {
        EXPECT_EQ(p.fix, FixUnknown);
        fastest = std::max(fastest, p.speed);
    }
    EXPECT_GT(fastest, 30.0f);
    EXPECT_LE(fastest, kTopSpeedKmh);
}

TEST(DemoTrack, EveryPointLiesOnTheDemonstrationMap) {
    const std::string path = std::string(TEVO_DIST_DIR) + "/map.tvm";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no compiled map at " << path;
    setMessageBoxesDrawn(false);
    cMapFile map;
    ASSERT_TRUE(map.open(test::widePath(path)));
    ASSERT_FALSE(map.levels().empty());
    std::vector<std::string> files = {kDemoTrack};
    for (const auto& e : std::filesystem::directory_iterator(kTrackFolder))
        files.push_back(e.path().string());
    for (const std::string& file : files) {
        TrackLog log;
        ASSERT_TRUE(readTrack(file, log)) << file;
        EXPECT_FALSE(log.points.empty()) << file;
        for (std::size_t i = 0; i < log.points.size(); ++i)
            EXPECT_TRUE(onMap(map, log.points[i])) << file << " point " << i;
    }
}

TEST(DemoTrack, ReplayLoopsOverTheWholeDrive) {
    TrackLog log;
    ASSERT_TRUE(readTrack(kDemoTrack, log));
    const GpsData first = nextReplayPoint(log);
    for (std::size_t i = 1; i < log.points.size(); ++i) nextReplayPoint(log);
    EXPECT_EQ(nextReplayPoint(log).latitude, first.latitude);
}

TEST(DemoTrack, ProgramFolderTracksLoadAsOneTrackEach) {
    cPtrArray<cPolyLine> tracks;
    ASSERT_TRUE(loadTrack(test::widePath(kDemoTrack), tracks));
    ASSERT_TRUE(loadTrackFolder(kTrackFolder, tracks));
    ASSERT_GE(tracks.size(), 2);
    for (const auto& t : tracks) {
        EXPECT_GT(t->points.size(), 10u);
        EXPECT_LT(t->minX, t->maxX);
        EXPECT_LT(t->minY, t->maxY);
    }
}

} // namespace
} // namespace tevo
