// The track recorder: which fixes become points, the lines it writes, the
// files it keeps whole, and what it does when it cannot write.
#include "plugins/plt_reader.hpp"
#include "plugins/trackrec/program_folder.hpp"
#include "plugins/trackrec/thinning.hpp"
#include "plugins/trackrec/track_file.hpp"
#include "plugins/trackrec/track_lines.hpp"
#include "plugins/trackrec/track_recorder.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;
using trackrec::Fix;
using trackrec::Thinning;
using Decision = trackrec::Thinning::Decision;

// One metre of latitude.
constexpr double kMetreOfLatitude = 1.0 / 111177.0;

GpsData fixAt(double latitude, double longitude, int hour, int minute, int second, int day = 8) {
    GpsData g{};
    g.latitude = static_cast<float>(latitude);
    g.longitude = static_cast<float>(longitude);
    g.altitude = 150.5f;
    g.fix = Fix3D;
    g.day = static_cast<uint8_t>(day);
    g.month = 12;
    g.year = 2026;
    g.hour = static_cast<uint8_t>(hour);
    g.minute = static_cast<uint8_t>(minute);
    g.second = static_cast<uint8_t>(second);
    return g;
}

// Thinning ------------------------------------------------------------------

struct ThinningCase {
    const char* name;
    double metres;  // north of the last kept point
    double seconds; // after it
    Decision decision;
};

void PrintTo(const ThinningCase& c, std::ostream* os) {
    *os << c.name;
}

class ThinningRule : public ::testing::TestWithParam<ThinningCase> {};

TEST_P(ThinningRule, DecidesTheSecondFix) {
    Thinning thinning;
    ASSERT_EQ(Decision::KeepAsNewSegment, thinning.next({55.0, 37.0, 1000.0}));
    Fix next{55.0 + GetParam().metres * kMetreOfLatitude, 37.0, 1000.0 + GetParam().seconds};
    EXPECT_EQ(GetParam().decision, thinning.next(next));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThinningRule,
    ::testing::Values(ThinningCase{"Moved2mIn1s", 2, 1, Decision::Skip},
                      ThinningCase{"Moved6mIn1s", 6, 1, Decision::Keep},
                      ThinningCase{"Moved100mInTheSameSecond", 100, 0, Decision::Skip},
                      ThinningCase{"Stood9s", 0, 9, Decision::Skip},
                      ThinningCase{"Stood10s", 0, 10, Decision::Keep},
                      ThinningCase{"SilentFor31s", 0, 31, Decision::KeepAsNewSegment},
                      ThinningCase{"SilentFor30s", 50, 30, Decision::Keep},
                      ThinningCase{"ClockWentBack", 50, -5, Decision::KeepAsNewSegment}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Thinning, StandingForLongLeavesAPointEveryTenSeconds) {
    Thinning thinning;
    int kept = 0;
    for (int s = 0; s < 60; ++s) kept += thinning.next({55.0, 37.0, 1000.0 + s}) != Decision::Skip;
    EXPECT_EQ(6, kept);
}

TEST(Thinning, SlowDriftIsMeasuredFromTheLastKeptPoint) {
    Thinning thinning;
    thinning.next({55.0, 37.0, 0});
    // 2 m a second: the third second is 6 m from the first point.
    EXPECT_EQ(Decision::Skip, thinning.next({55.0 + 2 * kMetreOfLatitude, 37.0, 1}));
    EXPECT_EQ(Decision::Skip, thinning.next({55.0 + 4 * kMetreOfLatitude, 37.0, 2}));
    EXPECT_EQ(Decision::Keep, thinning.next({55.0 + 6 * kMetreOfLatitude, 37.0, 3}));
}

TEST(Thinning, DistanceIsInMetres) {
    EXPECT_NEAR(111177.0, trackrec::metresBetween({0, 0, 0}, {1, 0, 0}), 1.0);
    EXPECT_NEAR(55589.0, trackrec::metresBetween({60, 0, 0}, {60, 1, 0}), 10.0);
    EXPECT_NEAR(1.0, trackrec::metresBetween({55, 37, 0}, {55 + kMetreOfLatitude, 37, 0}), 1e-3);
}

// Lines ---------------------------------------------------------------------

TEST(TrackLines, DaysCountFrom1899December30) {
    trackrec::UtcTime t{{2006, 10, 10}, 12, 0, 0};
    EXPECT_DOUBLE_EQ(39000.5, trackrec::secondsSinceEpoch(t) / trackrec::kSecondsPerDay);
    trackrec::UtcTime start{{1899, 12, 30}, 0, 0, 1};
    EXPECT_DOUBLE_EQ(1.0, trackrec::secondsSinceEpoch(start));
}

TEST(TrackLines, PointLineReadsBackByTheReaderRules) {
    GpsData g = fixAt(-33.25, -70.75, 6, 0, 0);
    std::string line = trackrec::pointLine(g, 39000.25 * trackrec::kSecondsPerDay, true);
    EXPECT_EQ("-33.2500000,-70.7500000,1,150.5,39000.25000000\n", line);
}

TEST(TrackLines, FixWithoutAValidDateTakesTheSystemClock) {
    GpsData g = fixAt(55, 37, 12, 0, 0);
    EXPECT_TRUE(trackrec::timeOfFix(g).has_value());
    for (auto broken :
         {+[](GpsData& r) { r.year = 0; }, +[](GpsData& r) { r.month = 13; },
          +[](GpsData& r) { r.day = 0; }, +[](GpsData& r) { r.day = 31, r.month = 11; },
          +[](GpsData& r) { r.hour = 24; }}) {
        GpsData r = g;
        broken(r);
        EXPECT_FALSE(trackrec::timeOfFix(r).has_value());
    }
}

struct FolderCase {
    const char* path;
    const char* folder;
};

class ProgramFolderOf : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderOf, DropsTheLibraryItsFolderAndPlugins) {
    EXPECT_EQ(GetParam().folder, trackrec::programFolderOf(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramFolderOf,
    ::testing::Values(FolderCase{"/opt/tevo/Plugins/trackrec/trackrec.so", "/opt/tevo/"},
                      FolderCase{"/Plugins/trackrec/trackrec.so", "/"},
                      FolderCase{"./Plugins/trackrec/trackrec.so", "./"},
                      FolderCase{"trackrec/trackrec.so", ""}, FolderCase{"", ""}));

TEST(ProgramFolder, WideTextBecomesUtf8) {
    EXPECT_EQ("/tmp/K\xC3\xB6ln/\xF0\x9F\x9A\x97", trackrec::toUtf8(u"/tmp/K\u00F6ln/\U0001F697"));
    EXPECT_EQ("a\xEF\xBF\xBD"
              "b",
              trackrec::toUtf8(std::u16string(u"a") + char16_t(0xD800) + u"b"));
    EXPECT_EQ("/tmp/K\xF6ln/", trackrec::toUtf8(u"/tmp/K" + std::u16string(1, 0xDCF6) + u"ln/"));
}

// Files ---------------------------------------------------------------------

class Recording : public ::testing::Test {
protected:
    std::string tracks() const { return folder.file("Tracks/"); }
    std::string dayFile(int day = 8) const {
        return tracks() + "2026-12-0" + std::to_string(day) + ".plt";
    }
    TempDir folder;
};

TEST_F(Recording, WritesHeaderAndKeptPointsIntoTheDaysFile) {
    trackrec::TrackRecorder recorder(tracks());
    for (int s = 0; s < 20; ++s)
        recorder.add(fixAt(55.0 + s * 10 * kMetreOfLatitude, 37.0, 12, 0, s));
    PltFile file = readPlt(dayFile());
    ASSERT_TRUE(file.opened);
    EXPECT_TRUE(file.problems.empty()) << file.problems.front();
    EXPECT_EQ("Tevo track", file.header[0]);
    ASSERT_EQ(20u, file.points.size());
    EXPECT_EQ(1, file.points[0].segment);
    EXPECT_EQ(0, file.points[1].segment);
    EXPECT_NEAR(55.0 + 190 * kMetreOfLatitude, file.points[19].latitude, 1e-6);
    EXPECT_NEAR(37.0, file.points[19].longitude, 1e-6);
    EXPECT_NEAR(150.5, file.points[19].altitude, 1e-9);
    EXPECT_NEAR(46364.5 + 19 / 86400.0, file.points[19].days, 1e-8); // 2026-12-08 12:00:19
}

TEST_F(Recording, RecordsWithoutFixOrWithAnInsanePositionAreIgnored) {
    trackrec::TrackRecorder recorder(tracks());
    GpsData none = fixAt(55, 37, 12, 0, 0);
    none.fix = FixNone;
    recorder.add(none);
    GpsData nan = fixAt(55, 37, 12, 0, 1);
    nan.latitude = std::nanf("");
    recorder.add(nan);
    recorder.add(fixAt(91, 37, 12, 0, 2));
    EXPECT_FALSE(fs::exists(dayFile()));
}

TEST_F(Recording, NextRunAppendsANewSegment) {
    {
        trackrec::TrackRecorder recorder(tracks());
        recorder.add(fixAt(55.0, 37.0, 12, 0, 0));
        recorder.add(fixAt(55.001, 37.0, 12, 0, 1));
    }
    trackrec::TrackRecorder recorder(tracks());
    recorder.add(fixAt(55.002, 37.0, 12, 0, 2));
    recorder.add(fixAt(55.003, 37.0, 12, 0, 3));
    PltFile file = readPlt(dayFile());
    EXPECT_TRUE(file.problems.empty()) << file.problems.front();
    ASSERT_EQ(4u, file.points.size());
    EXPECT_EQ(1, file.points[2].segment);
    EXPECT_EQ(0, file.points[3].segment);
}

TEST_F(Recording, MidnightBeginsTheNextDaysFile) {
    trackrec::TrackRecorder recorder(tracks());
    recorder.add(fixAt(55.0, 37.0, 23, 59, 59, 8));
    recorder.add(fixAt(55.001, 37.0, 0, 0, 0, 9));
    EXPECT_EQ(1u, readPlt(dayFile(8)).points.size());
    PltFile next = readPlt(dayFile(9));
    ASSERT_EQ(1u, next.points.size());
    EXPECT_EQ(1, next.points[0].segment);
}

// Dates that go backwards or jump at every fix keep a drive in its first file;
// steps over midnight add files up to the limit of one drive.
TEST_F(Recording, DatesThatJumpKeepTheDriveInFewFiles) {
    std::vector<GpsData> backwards, forwards, midnights;
    for (int day = 1; day <= 20; ++day) {
        backwards.push_back(fixAt(55.0 + 0.001 * day, 37.0, 12, 0, day, 28 - day));
        forwards.push_back(fixAt(55.0 + 0.001 * day, 37.0, 12, 0, day, day));
        midnights.push_back(fixAt(55.0 + 0.01 * day, 37.0, 23, 59, 59, day));
        midnights.push_back(fixAt(55.005 + 0.01 * day, 37.0, 0, 0, 0, day + 1));
    }
    const std::pair<std::vector<GpsData>, std::size_t> cases[] = {
        {backwards, 1},
        {forwards, 1},
        {{midnights.begin(), midnights.begin() + 2}, 2},
        {midnights, trackrec::TrackRecorder::kMaxFilesPerDrive}};
    for (const auto& [fixes, files] : cases) {
        fs::remove_all(tracks());
        trackrec::TrackRecorder recorder(tracks());
        for (const GpsData& fix : fixes) recorder.add(fix);
        EXPECT_EQ(files, std::size_t(std::distance(fs::directory_iterator(tracks()), {})));
    }
}

struct TornCase {
    const char* name;
    std::string tail;   // appended to a file of header and one point
    std::size_t points; // read back after one more point
};

void PrintTo(const TornCase& c, std::ostream* os) {
    *os << c.name;
}

class TornFile : public Recording, public ::testing::WithParamInterface<TornCase> {};

TEST_P(TornFile, IsCutBackToItsLastWholeLine) {
    {
        trackrec::TrackRecorder recorder(tracks());
        recorder.add(fixAt(55.0, 37.0, 12, 0, 0));
    }
    std::ofstream(dayFile(), std::ios::binary | std::ios::app) << GetParam().tail;
    trackrec::TrackRecorder recorder(tracks());
    recorder.add(fixAt(55.001, 37.0, 12, 0, 5));
    PltFile file = readPlt(dayFile());
    EXPECT_TRUE(file.problems.empty()) << file.problems.front();
    ASSERT_EQ(GetParam().points, file.points.size());
    EXPECT_NEAR(55.001, file.points.back().latitude, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, TornFile,
    ::testing::Values(TornCase{"HalfALine", "55.0004,37.00", 2}, TornCase{"ACut", "5", 2},
                      TornCase{"ZerosOfACrash", std::string(300, '\0'), 2},
                      TornCase{"LineThenZeros",
                               "55.0004,37.0,0,1.0,46364.50002\n" + std::string(9, '\0'), 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Recording, TornHeaderIsWrittenAgain) {
    fs::create_directories(tracks());
    writeFile(dayFile(), "Tevo track\nWGS 8");
    trackrec::TrackRecorder recorder(tracks());
    recorder.add(fixAt(55.0, 37.0, 12, 0, 0));
    PltFile file = readPlt(dayFile());
    EXPECT_TRUE(file.problems.empty()) << file.problems.front();
    EXPECT_EQ(1u, file.points.size());
    EXPECT_EQ("WGS 84", file.header[1]);
}

// Failures ------------------------------------------------------------------

class Unwritable : public Recording {
protected:
    // Records `count` fixes a second apart and returns what went to stderr.
    std::string record(trackrec::TrackRecorder& recorder, int from, int count) {
        ::testing::internal::CaptureStderr();
        for (int s = from; s < from + count; ++s) {
            recorder.add(fixAt(55.0 + s * 10 * kMetreOfLatitude, 37.0, 12, 0, s));
        }
        return ::testing::internal::GetCapturedStderr();
    }
};

TEST_F(Unwritable, FolderThatCannotBeMadeGivesOneLine) {
    // A file where the program folder should be: no folder can be made in it
    // (this holds even for root, unlike a read-only folder).
    writeFile(folder.file("program"), "");
    trackrec::TrackRecorder recorder(folder.file("program/Tracks/"));
    auto start = trackrec::TrackRecorder::Clock::now();
    recorder.setNow(start);
    std::string errors = record(recorder, 0, 30);
    EXPECT_EQ(1, std::count(errors.begin(), errors.end(), '\n')) << errors;
    EXPECT_EQ(0u, errors.find("trackrec: cannot record the track in ")) << errors;
    // A minute later it tries again, quietly.
    recorder.setNow(start + trackrec::TrackRecorder::kRetryAfter);
    EXPECT_EQ("", record(recorder, 30, 5));
}

TEST_F(Unwritable, TracksThatIsAFileGivesOneLine) {
    writeFile(folder.file("Tracks"), "");
    trackrec::TrackRecorder recorder(tracks());
    std::string errors = record(recorder, 0, 20);
    EXPECT_EQ(1, std::count(errors.begin(), errors.end(), '\n')) << errors;
    EXPECT_NE(std::string::npos, errors.find("Not a directory")) << errors;
}

TEST_F(Unwritable, UnknownProgramFolderGivesOneLine) {
    trackrec::TrackRecorder recorder("");
    std::string errors = record(recorder, 0, 5);
    EXPECT_EQ(1, std::count(errors.begin(), errors.end(), '\n')) << errors;
}

TEST_F(Unwritable, RecordingResumesWhenTheFolderCanBeWrittenAgain) {
    writeFile(folder.file("Tracks"), "");
    trackrec::TrackRecorder recorder(tracks());
    auto start = trackrec::TrackRecorder::Clock::now();
    recorder.setNow(start);
    record(recorder, 0, 3);
    fs::remove(folder.file("Tracks"));
    record(recorder, 3, 3); // still waiting
    EXPECT_FALSE(fs::exists(dayFile()));
    recorder.setNow(start + trackrec::TrackRecorder::kRetryAfter);
    record(recorder, 6, 3);
    PltFile file = readPlt(dayFile());
    EXPECT_EQ(3u, file.points.size());
}

TEST_F(Unwritable, FullDiskLeavesNoTornLine) {
    trackrec::TrackFile file;
    const std::string path = folder.file("t.plt");
    ASSERT_TRUE(file.open(path, "1\n2\n3\n4\n5\n6\n"));
    ASSERT_TRUE(file.append("55.0,37.0,1,0.0,46364.5\n"));
    auto size = fs::file_size(path);
    // A file size limit stands in for a full disk: the next line fits only in part.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = size + 10;
    setrlimit(RLIMIT_FSIZE, &tight);
    bool appended = file.append("55.1,37.1,0,0.0,46364.6\n");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(appended);
    EXPECT_EQ(size, fs::file_size(path));
    EXPECT_TRUE(file.append("55.2,37.2,0,0.0,46364.7\n"));
    PltFile read = readPlt(path);
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    EXPECT_EQ(2u, read.points.size());
}

// The exports ---------------------------------------------------------------

TEST_F(Recording, ThroughTheExportsTracksGoBesideThePlugins) {
    std::string library = std::string(TEVO_DIST_DIR) + "/Plugins/trackrec/trackrec.so";
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, handle) << dlerror();
    auto init = reinterpret_cast<PluginInitFn>(dlsym(handle, "PluginInit"));
    auto details = reinterpret_cast<PluginGetDetailsFn>(dlsym(handle, "PluginGetDetails"));
    auto set = reinterpret_cast<PluginSetGPSDataFn>(dlsym(handle, "PluginSetGPSData"));
    auto deInit = reinterpret_cast<PluginDeInitFn>(dlsym(handle, "PluginDeInit"));
    ASSERT_TRUE(init && details && set && deInit);
    std::u16string path;
    for (char c : folder.file("Plugins/trackrec/trackrec.so")) path += char16_t(c);
    EXPECT_EQ(0, init(path.c_str()));
    EXPECT_EQ(ConsumerA, details());
    set(fixAt(55.0, 37.0, 12, 0, 0));
    set(fixAt(55.001, 37.0, 12, 0, 1));
    EXPECT_EQ(0, deInit());
    dlclose(handle);
    EXPECT_EQ(2u, readPlt(dayFile()).points.size());
}

} // namespace
} // namespace tevo::test
