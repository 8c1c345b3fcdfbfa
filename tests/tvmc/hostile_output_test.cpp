// An output that is no regular file (a device, as `-o /dev/null` would
// name, a pipe, a folder) is refused before the work and left as it is.
// Areas that cannot be drawn, or are too large to assemble, are counted in
// the summary instead of passing as assembled. Decoys only; the device row
// needs root and is skipped otherwise.
#include "tvmc/tvmc_helpers.hpp"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

const char kRoad[] = R"(<osm version="0.6">
<node id="1" version="1" lat="55.70" lon="37.50"/><node id="2" version="1" lat="55.71" lon="37.51"/>
<way id="1" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="primary"/></way>
)";

struct OutputCase {
    const char* name;
    mode_t kind;
};

class OutputThatIsNoFile : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputThatIsNoFile, IsRefusedAndLeftAsItIs) {
    TempDir folder;
    const std::string input = folder.write("road.osm", std::string(kRoad) + "</osm>\n");
    const std::string out = folder.file("out");
    const mode_t kind = GetParam().kind;
    const bool made = kind == S_IFDIR ? fs::create_directory(out)
                                      : ::mknod(out.c_str(), kind | 0644, makedev(1, 3)) == 0;
    if (!made) GTEST_SKIP() << "a device node needs root";
    struct stat before {};
    ::stat(out.c_str(), &before);

    const RunResult r = runTvmc({input, "-o", out});

    EXPECT_EQ(1, r.code);
    EXPECT_NE(r.err.find(out + " is a"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    struct stat after {};
    ::stat(out.c_str(), &after);
    EXPECT_EQ(before.st_mode, after.st_mode);
    EXPECT_EQ(before.st_rdev, after.st_rdev);
    EXPECT_EQ(2, std::distance(fs::directory_iterator(folder.path()), {})) << "nothing left";
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputThatIsNoFile,
                         ::testing::Values(OutputCase{"Device", S_IFCHR},
                                           OutputCase{"NamedPipe", S_IFIFO},
                                           OutputCase{"Folder", S_IFDIR}),
                         [](const auto& info) { return std::string(info.param.name); });

struct AreaCase {
    const char* name;
    std::string osm; // after the road
    const char* summary;
};

void PrintTo(const AreaCase& c, std::ostream* os) {
    *os << c.name;
}

// One more way member than a multipolygon may have.
std::string hugeMultipolygon() {
    std::string osm;
    std::string members;
    for (int id = 10; id < 10 + 32001; ++id) {
        osm += "<way id=\"" + std::to_string(id) +
               "\" version=\"1\"><nd ref=\"1\"/><nd ref=\"2\"/></way>\n";
        members += "<member type=\"way\" ref=\"" + std::to_string(id) + "\" role=\"outer\"/>";
    }
    return osm + "<relation id=\"1\" version=\"1\">" + members +
           "<tag k=\"type\" v=\"multipolygon\"/><tag k=\"landuse\" v=\"forest\"/></relation>\n";
}

class UnusableArea : public ::testing::TestWithParam<AreaCase> {};

TEST_P(UnusableArea, IsCountedInTheSummary) {
    TempDir folder;
    const std::string input = folder.write("in.osm", kRoad + GetParam().osm + "</osm>\n");
    const RunResult r = runTvmc({input, "-o", folder.file("map.tvm")});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_NE(r.out.find(", 0 areas assembled, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(GetParam().summary), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Areas, UnusableArea,
    ::testing::Values(AreaCase{"SelfIntersecting",
                               R"(<node id="3" version="1" lat="55.71" lon="37.50"/>
<node id="4" version="1" lat="55.70" lon="37.51"/>
<way id="2" version="1"><nd ref="1"/><nd ref="2"/><nd ref="4"/><nd ref="3"/><nd ref="1"/>
<tag k="landuse" v="forest"/></way>
)",
                               "skipped: 1 areas whose rings cross themselves or do not close"},
                      AreaCase{"TooManyMembers", hugeMultipolygon(),
                               "skipped: 1 multipolygons of more than 32000 members"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
