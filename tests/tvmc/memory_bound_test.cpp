// A run in bounded memory: the map is the same whatever the bound and
// wherever the node locations are kept, a run killed at any moment leaves
// the old map and no other file, and a name index or road graph that
// outgrows its share is left out with a message, the map written.
#include "support/process.hpp"
#include "tvmc/tvmc_helpers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

const std::string kExtract = std::string(TEVO_SOURCE_DIR) + "/data/osm/moscow.osm.gz";

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string> kMapAndNames{"map.tvm", "map.tvn", "map.tvr"};

struct BoundCase {
    std::vector<std::string> options;
    const char* stores; // a part of the summary's memory line
};

// The extract four times over: its ids come again with every copy, so the
// location store sorts several runs into one, and the map has records
// enough for several sorted loads under the smallest bound. At 4M the road
// graph's shortcuts wait in a scratch file.
TEST(MemoryBound, EveryBoundAndPlaceGivesTheSameMap) {
    const BoundCase cases[] = {
        {{"--memory", "1M", "--locations", "disk", "-R"}, "node locations 0 MB on disk"},
        {{"--memory", "1M", "-R"}, "cell records sorted on disk in"},
        {{"--memory", "16G", "--locations", "memory"}, "cell records sorted in memory"},
        {{"--memory", "4M", "--locations", "memory"}, "cell records sorted on disk in"},
    };
    TempDir folder;
    std::string first, firstGraph;
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.options[1]);
        std::vector<std::string> args = c.options;
        args.insert(args.end(),
                    {kExtract, kExtract, kExtract, kExtract, "-o", folder.file("map.tvm")});
        const RunResult r = runTvmc(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find(c.stores), std::string::npos) << r.out;
        const std::string bytes = readFile(folder.file("map.tvm"));
        if (first.empty()) first = bytes;
        EXPECT_TRUE(bytes == first) << "the map differs from the one of the first bound";
        if (c.options.back() == "-R") continue;
        const std::string graph = readFile(folder.file("map.tvr"));
        if (firstGraph.empty()) firstGraph = graph;
        EXPECT_TRUE(graph == firstGraph) << "the road graph differs";
    }
    EXPECT_EQ(filesIn(folder.path()), kMapAndNames);
}

// Killed while reading, sorting or writing, a run leaves the map it was to
// replace as it was, and its scratch files vanish with it; the next run
// writes its map and leaves nothing else either.
TEST(MemoryBound, KilledRunLeavesTheOldMapAndNoOtherFile) {
    TempDir folder;
    const std::string map = folder.write("map.tvm", "the old map");
    std::vector<std::string> argv{
        std::string(TEVO_BIN_DIR) + "/tvmc", "--quiet", "--memory", "1M", "-o", map};
    for (int i = 0; i < 40; ++i) argv.push_back(kExtract);
    for (int afterMs : {100, 400, 1200}) {
        SCOPED_TRACE(afterMs);
        ChildProcess run(argv);
        std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
        ASSERT_TRUE(run.running()) << "the run ended before it could be killed";
        run.signal(SIGKILL);
        EXPECT_EQ(run.wait(10000), 128 + SIGKILL);
        EXPECT_EQ(readFile(map), "the old map");
        EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"map.tvm"});
    }
    const RunResult next = runTvmc({"--quiet", kExtract, "-o", map});
    ASSERT_EQ(next.code, 0) << next.err;
    EXPECT_TRUE(dumpMap(map).opened);
    EXPECT_EQ(filesIn(folder.path()), kMapAndNames);
}

// Streets of a name each, 400 KB of names: more than the name index's or
// the road graph's share of a 1 MB bound (a quarter, or an eighth each when
// both are written), less than that of 64 MB.
std::string manyNamedStreets() {
    std::string xml = "<?xml version='1.0'?><osm version='0.6'>";
    const int streets = 4000;
    for (int i = 0; i < 2 * streets; ++i)
        xml += "<node id='" + std::to_string(i + 1) + "' lat='" +
               std::to_string(50.0 + (i / 2) * 1e-4) + "' lon='" +
               std::to_string(11.0 + (i % 2) * 1e-3) + "'/>";
    for (int i = 0; i < streets; ++i)
        xml += "<way id='" + std::to_string(i + 1) + "'><nd ref='" + std::to_string(2 * i + 1) +
               "'/><nd ref='" + std::to_string(2 * i + 2) +
               "'/><tag k='highway' v='residential'/><tag k='name' v='Street number " +
               std::to_string(i) + " of a long name that is stored once'/></way>";
    return xml + "</osm>";
}

TEST(MemoryBound, NameIndexAndRoadGraphKeepToTheirSharesOrAreLeftOut) {
    struct Case {
        std::vector<std::string> options;
        int code;
        std::vector<std::string> files;
        std::vector<std::string> hints; // the ways out the message names
    };
    const Case cases[] = {
        {{"--memory", "1M"}, 1, {"map.tvm", "streets.osm"}, {"--no-name-index", "--no-road-graph"}},
        {{"--memory", "1M", "--no-name-index"}, 1, {"map.tvm", "streets.osm"}, {"--no-road-graph"}},
        {{"--memory", "1M", "--no-name-index", "--no-road-graph"},
         0,
         {"map.tvm", "streets.osm"},
         {}},
        {{"--memory", "64M"}, 0, {"map.tvm", "map.tvn", "map.tvr", "streets.osm"}, {}},
        // At 2 MB the index fits only with what the node locations leave of
        // their share, which they cannot lend from a file.
        {{"--memory", "2M", "--no-road-graph"}, 0, {"map.tvm", "map.tvn", "streets.osm"}, {}},
        {{"--memory", "2M", "--no-road-graph", "--locations", "disk"},
         1,
         {"map.tvm", "streets.osm"},
         {"--no-name-index"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.back());
        TempDir folder;
        const std::string map = folder.write("map.tvm", "the old map");
        std::vector<std::string> args = c.options;
        args.insert(args.end(),
                    {"--quiet", folder.write("streets.osm", manyNamedStreets()), "-o", map});
        const RunResult r = runTvmc(args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(filesIn(folder.path()), c.files);
        // A left-out output does not cost the map.
        EXPECT_TRUE(dumpMap(map).opened);
        for (const std::string& hint : c.hints)
            EXPECT_NE(r.err.find(hint), std::string::npos) << r.err;
    }
}

// A left-out output's message names a bound (the largest of them here)
// under which the run writes every output.
TEST(MemoryBound, TheBoundTheMessageNamesWritesEveryOutput) {
    TempDir folder;
    const std::string osm = folder.write("streets.osm", manyNamedStreets());
    const std::string map = folder.file("map.tvm");
    const RunResult small = runTvmc({"--memory", "1M", "--quiet", osm, "-o", map});
    std::string named;
    uint64_t largest = 0;
    for (std::size_t at = 0; (at = small.err.find("to about ", at)) != std::string::npos;) {
        at += 9;
        const std::string size = small.err.substr(at, small.err.find(' ', at) - at);
        const uint64_t mib = std::stoull(size) << (size.back() == 'G' ? 10 : 0);
        if (mib > largest) {
            largest = mib;
            named = size;
        }
    }
    ASSERT_FALSE(named.empty()) << small.err;
    const RunResult r = runTvmc({"--memory", named, "--quiet", osm, "-o", map});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(filesIn(folder.path()),
              (std::vector<std::string>{"map.tvm", "map.tvn", "map.tvr", "streets.osm"}));
}

TEST(MemoryBound, UnusableScratchFolderIsToldBeforeReading) {
    TempDir folder;
    const RunResult r =
        runTvmc({"--tmp", folder.file("missing"), kExtract, "-o", folder.file("map.tvm")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("scratch file in " + folder.file("missing")), std::string::npos) << r.err;
}

} // namespace
} // namespace tevo::test
