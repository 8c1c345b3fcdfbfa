// Input that is not a usable OSM file ends tvmc with a message and a
// non-zero exit, and never leaves a map file behind (nor touches an old one).
#include "tvmc/tvmc_helpers.hpp"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

const char kNodesOnly[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="1" version="1" lat="55.5" lon="37.5"/>
<node id="2" version="1" lat="55.6" lon="37.6"/>
</osm>
)";

const char kNotOsm[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<gpx version="1.1"><trk><trkseg><trkpt lat="55.5" lon="37.5"/></trkseg></trk></gpx>
)";

const char kSouth[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="1" version="1" lat="-33.90" lon="151.20"/>
<node id="2" version="1" lat="-33.91" lon="151.21"/>
<way id="3" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="primary"/></way>
</osm>
)";

const char kUnclosedXml[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6"><node id="1" version="1" lat="55.5" lon="37.5">)";

// A PBF of the demo extract cut in the middle of a data block ("cut..."),
// or with bytes of a block's compressed data changed.
bool writeBrokenPbf(const TempDir& folder, const std::string& name) {
    const std::string pbf = folder.file("whole.osm.pbf");
    const std::string command =
        "osmium cat -o " + pbf + " " + TEVO_SOURCE_DIR + "/data/osm/moscow.osm.gz >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    std::ifstream in(pbf, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string whole = bytes.str();
    if (name.starts_with("cut")) {
        folder.write(name, whole.substr(0, whole.size() / 2));
        return true;
    }
    for (std::size_t i = whole.size() / 2; i < whole.size() / 2 + 64; ++i) whole[i] ^= 0x5a;
    folder.write(name, whole);
    return true;
}

struct BrokenCase {
    const char* file;
    const char* contents; // null: the broken PBF
    const char* messagePart;
};

const BrokenCase kCases[] = {
    {"empty.osm", "", "nothing"},
    {"nodes.osm", kNodesOnly, "no roads, lines or areas"},
    {"track.osm", kNotOsm, "not readable as OpenStreetMap data"},
    {"cut.osm", kUnclosedXml, "not readable as OpenStreetMap data"},
    {"south.osm", kSouth, "south of the equator"},
    {"cut.osm.pbf", nullptr, "not readable as OpenStreetMap data"},
    {"damaged.osm.pbf", nullptr, "failed to uncompress data"},
    {"missing.osm.gz", "\x1f\x8b garbage", "not readable as OpenStreetMap data"},
};

class BrokenInput : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenInput, EndsWithAMessageAndNoMap) {
    const BrokenCase& c = GetParam();
    TempDir folder;
    if (c.contents)
        folder.write(c.file, c.contents);
    else if (!writeBrokenPbf(folder, c.file))
        GTEST_SKIP() << "osmium-tool is not installed";
    const std::string map = folder.file("map.tvm");

    const RunResult r = runTvmc({folder.file(c.file), "-o", map});

    EXPECT_NE(r.code, 0);
    EXPECT_LT(r.code, 128) << "ended by a signal";
    EXPECT_NE(r.err.find("tvmc: "), std::string::npos) << r.err;
    if (std::string(c.messagePart) != "nothing") {
        EXPECT_NE(r.err.find(c.messagePart), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(map));
    for (const auto& entry : fs::directory_iterator(folder.path()))
        EXPECT_EQ(entry.path().string().find("map.tvm"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenInput, ::testing::ValuesIn(kCases));

TEST(BrokenInputOldMap, AFailedRunLeavesTheOldMapAsItWas) {
    TempDir folder;
    folder.write("map.tvm", "old map");
    folder.write("nodes.osm", kNodesOnly);
    const RunResult r = runTvmc({folder.file("nodes.osm"), "-o", folder.file("map.tvm")});
    EXPECT_NE(r.code, 0);
    std::ifstream in(folder.file("map.tvm"));
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "old map");
}

// An output that is no regular file (a device, a pipe, a folder) is refused
// and left as it is; a pipe is no input either. Devices need root.
TEST(BrokenInputOldMap, AnOutputThatIsNoFileIsLeftAsItIs) {
    for (const fs::file_type kind :
         {fs::file_type::character, fs::file_type::fifo, fs::file_type::directory}) {
        TempDir folder;
        const std::string out = folder.file("out");
        const mode_t node = kind == fs::file_type::fifo ? S_IFIFO : S_IFCHR;
        if (kind == fs::file_type::directory
                ? !fs::create_directory(out)
                : ::mknod(out.c_str(), node | 0644, makedev(1, 3)) != 0)
            continue;
        const RunResult r = runTvmc({folder.write("nodes.osm", kNodesOnly), "-o", out});
        EXPECT_NE(r.err.find(", not a regular file; it is left as it is"), std::string::npos)
            << r.err;
        EXPECT_EQ(kind, fs::symlink_status(out).type());
        EXPECT_EQ(2, std::distance(fs::directory_iterator(folder.path()), {}));
        if (node == S_IFIFO) {
            EXPECT_NE(runTvmc({out, "-o", folder.file("map.tvm")}).err.find("not a regular file"),
                      std::string::npos);
        }
    }
}

struct UsageCase {
    std::vector<std::string> args;
    const char* messagePart;
};

class Usage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(Usage, BadOptionsAreRefusedWithAHint) {
    const RunResult r = runTvmc(GetParam().args);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find(GetParam().messagePart), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Options, Usage,
    ::testing::Values(UsageCase{{}, "no input file"},
                      UsageCase{{"a.osm", "--levels", "60,x"}, "--levels"},
                      UsageCase{{"a.osm", "--levels", "0"}, "cell size"},
                      UsageCase{{"a.osm", "--levels", "60,60"}, "twice"},
                      UsageCase{{"a.osm", "--start-level", "120"}, "one of the levels"},
                      UsageCase{{"a.osm", "--bbox", "1,2,3"}, "four numbers"},
                      UsageCase{{"a.osm", "--bbox", "10,-5,11,5"}, "south of the equator"},
                      UsageCase{{"a.osm", "--bbox", "-1,50,1,51"}, "Greenwich"},
                      UsageCase{{"a.osm", "--start", "37.5"}, "--start needs"},
                      UsageCase{{"a.osm", "--memory", "512"}, "at least 1M"},
                      UsageCase{{"a.osm", "--memory", "4X"}, "--memory needs"},
                      UsageCase{{"a.osm", "--locations", "ram"}, "auto, memory or disk"},
                      UsageCase{{"a.osm", "--frobnicate"}, "unknown option"},
                      UsageCase{{"a.osm", "-o"}, "needs a value"}));

TEST(UsageHelp, ExplainsEveryOption) {
    const RunResult r = runTvmc({"--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* option : {"--output", "--name", "--levels", "--start-level", "--bbox",
                               "--memory", "--tmp", "--locations", "--quiet"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

} // namespace
} // namespace tevo::test
