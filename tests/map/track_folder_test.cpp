// Loading tracks into the track list: single files and the track folder.
#include "track_test_util.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace tevo {
namespace {

namespace fs = std::filesystem;

class TrackFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = test::tempPath("Tracks");
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A track whose one point lies at the given latitude, to tell files apart.
    void writeTrack(const std::string& name, float latitude) {
        ASSERT_TRUE(test::writeText(folder_ + "/" + name,
                                    test::plt({std::to_string(latitude) + ",37.5,0,0,39000.5"})));
    }

    std::vector<float> latitudes(const cPtrArray<cPolyLine>& tracks) {
        std::vector<float> out;
        for (const auto& t : tracks) {
            EXPECT_EQ(t->name, u"Track");
            out.push_back(t->points.empty() ? 0.0f : t->points[0].y * 360.0f / (1 << 26));
        }
        return out;
    }

    std::string folder_;
};

TEST_F(TrackFolder, LoadsEveryTrackInNameOrder) {
    writeTrack("b.plt", 52.0f);
    writeTrack("a.plt", 51.0f);
    writeTrack("C.PLT", 53.0f);
    cPtrArray<cPolyLine> tracks;
    EXPECT_TRUE(loadTrackFolder(folder_, tracks));
    const std::vector<float> lat = latitudes(tracks);
    ASSERT_EQ(lat.size(), 3u);
    EXPECT_NEAR(lat[0], 53.0f, 1e-4); // byte order: upper case first
    EXPECT_NEAR(lat[1], 51.0f, 1e-4);
    EXPECT_NEAR(lat[2], 52.0f, 1e-4);
}

TEST_F(TrackFolder, LeavesOutDotFilesFoldersAndOtherFiles) {
    writeTrack("a.plt", 51.0f);
    writeTrack(".hidden.plt", 52.0f);
    writeTrack("notes.txt", 53.0f);
    writeTrack("plt", 54.0f);
    fs::create_directories(folder_ + "/x.plt");
    cPtrArray<cPolyLine> tracks;
    EXPECT_TRUE(loadTrackFolder(folder_ + "/", tracks));
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_NEAR(latitudes(tracks)[0], 51.0f, 1e-4);
}

TEST_F(TrackFolder, HeaderOnlyTrackIsStillAppended) {
    ASSERT_TRUE(test::writeText(folder_ + "/empty.plt", test::kPltHeader));
    cPtrArray<cPolyLine> tracks;
    EXPECT_TRUE(loadTrackFolder(folder_, tracks));
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_TRUE(tracks[0]->points.empty());
}

TEST_F(TrackFolder, MissingFolderLoadsNothing) {
    cPtrArray<cPolyLine> tracks;
    EXPECT_TRUE(loadTrackFolder(folder_ + "/none", tracks));
    EXPECT_TRUE(tracks.empty());
}

TEST_F(TrackFolder, MissingFileAppendsNothing) {
    cPtrArray<cPolyLine> tracks;
    EXPECT_FALSE(loadTrack(test::widePath(folder_ + "/none.plt"), tracks));
    EXPECT_TRUE(tracks.empty());
}

TEST_F(TrackFolder, WidePathOfAnyLengthAndScriptIsLoaded) {
    const std::string deep = folder_ + "/" + std::string(200, 'd');
    fs::create_directories(deep);
    const std::u16string name = u"/Поездка по городу.plt";
    const std::string narrow = deep + "/Поездка по городу.plt";
    ASSERT_TRUE(test::writeText(narrow, test::plt({"55.8,37.6"})));
    cPtrArray<cPolyLine> tracks;
    EXPECT_TRUE(loadTrack(test::widePath(deep) + name, tracks));
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks[0]->points.size(), 1u);
}

} // namespace
} // namespace tevo
