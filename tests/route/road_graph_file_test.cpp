// The road graph file as tvmroute's user meets it: a route on the
// demonstration map as one JSON object and as GPX; one clear error for a
// damaged or foreign file, a position far from every road, a destination
// out of reach.
#include "route/route_maps.hpp"

#include "map/json_check.hpp"
#include "route/road_graph.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace tevo::test {
namespace {

using tvr::Header;

std::string demoFolder() {
    return compiledFolder(TEVO_SOURCE_DIR "/data/osm/moscow.osm.gz");
}

// Overwrites 4 bytes of the file at the offset.
void put32(std::string& file, uint64_t at, uint32_t value) {
    std::memcpy(&file[at], &value, 4);
}

Header headerOf(const std::string& file) {
    Header h;
    std::memcpy(&h, file.data(), sizeof h);
    return h;
}

uint64_t sectionAt(const std::string& file, tvr::Section s) {
    return headerOf(file).sections[s].offset;
}

struct Damage {
    const char* name;
    std::function<void(std::string&)> apply;
    const char* why; // in the refusal
};

const Damage kDamages[] = {
    {"cut_short", [](std::string& f) { f.resize(10); }, "shorter than its header"},
    {"foreign_file", [](std::string& f) { f.replace(0, 4, "\x89PNG"); }, "not a road graph file"},
    {"newer_version", [](std::string& f) { put32(f, 4, tvr::kVersion + 1); }, "format version"},
    {"section_past_the_end",
     [](std::string& f) { put32(f, 16 + 16 * tvr::kEdges, static_cast<uint32_t>(f.size() + 8)); },
     "outside the file"},
    {"counts_disagree", [](std::string& f) { put32(f, 16 + 16 * tvr::kRanks + 8, 1); },
     "do not match"},
    {"arm_names_no_edge", [](std::string& f) { put32(f, sectionAt(f, tvr::kArms), 0x7FFFFFF0); },
     "names no edge"},
    {"edge_without_a_name",
     [](std::string& f) { put32(f, sectionAt(f, tvr::kEdges) + 12, 0x0FFFFFF0); },
     "edge 0 is damaged"},
    {"middle_above_its_shortcut",
     [](std::string& f) {
         const Header h = headerOf(f);
         tvr::Shortcut s;
         std::memcpy(&s, &f[h.sections[tvr::kShortcuts].offset], sizeof s);
         const uint32_t junctions = static_cast<uint32_t>(h.sections[tvr::kJunctions].count);
         for (uint32_t j = 0; j < junctions; ++j) // the top junction as the middle
             if (reinterpret_cast<const uint32_t*>(&f[h.sections[tvr::kRanks].offset])[j] ==
                 junctions - 1)
                 put32(f, h.sections[tvr::kShortcuts].offset + 8, j);
     },
     "shortcut"},
    {"empty_file", [](std::string& f) { f.clear(); }, "shorter than its header"},
};

class DamagedGraph : public testing::TestWithParam<Damage> {};

TEST_P(DamagedGraph, RefusedWithOneMessage) {
    std::string file = readFile(demoFolder() + "/map.tvr");
    ASSERT_GT(file.size(), sizeof(Header));
    GetParam().apply(file);
    TempDir dir;
    const std::string path = dir.write("map.tvr", file);
    route::cRoadGraph graph;
    std::string error;
    EXPECT_FALSE(graph.open(path, &error));
    EXPECT_EQ(error.find(path + ": not a usable road graph: "), 0u) << error;
    EXPECT_NE(error.find(GetParam().why), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    const RouteRun r = runTvmroute({path, "--from", "37.6,55.8", "--to", "37.61,55.81"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "{\n  \"error\": \"" + error + "\"\n}\n");
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedGraph, testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Tvmroute, RouteAsJsonAndGpx) {
    TempDir dir;
    const std::string gpx = dir.file("route.gpx");
    const RouteRun r = runTvmroute(
        {demoFolder(), "--from", "37.5905,55.8105", "--to", "37.6205,55.8175", "--gpx", gpx});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_TRUE(JsonCheck::valid(r.out)) << r.out;
    const double metres = jsonNumber(r.out, "distance_m");
    EXPECT_GT(metres, 2000);
    EXPECT_GT(jsonNumber(r.out, "duration_s"), metres / (70 / 3.6));
    const std::vector<std::string> steps = jsonStrings(r.out, "maneuver");
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps.front(), "depart");
    EXPECT_EQ(steps.back(), "arrive");
    // The steps' distances add up to the route's.
    double stepped = 0;
    for (std::size_t at = r.out.find("\"steps\"");
         (at = r.out.find("\"distance_m\": ", at + 1)) != std::string::npos;)
        stepped += std::atof(r.out.c_str() + at + 14);
    EXPECT_NEAR(stepped, metres, 0.1 * steps.size());
    // The GPX file carries every point of the line and every step.
    const std::string file = readFile(gpx);
    std::size_t points = 0, rtepts = 0;
    for (std::size_t at = 0; (at = file.find("<trkpt ", at + 1)) != std::string::npos;) ++points;
    for (std::size_t at = 0; (at = file.find("<rtept ", at + 1)) != std::string::npos;) ++rtepts;
    // Each point is an array of its own inside the array of points.
    std::size_t pairs = 0;
    const std::size_t stepsAt = r.out.find("\"steps\"");
    for (std::size_t at = r.out.find("[", r.out.find("\"points\""));
         (at = r.out.find("[", at + 1)) < stepsAt;)
        ++pairs;
    EXPECT_EQ(points, pairs);
    EXPECT_EQ(rtepts, steps.size());
}

TEST(Tvmc, WritesTheRoadGraphBesideTheMapUnlessToldNot) {
    TempDir dir;
    const std::string osm = dir.write("roads.osm", sketchMap("A 0 0\nB 3 0\nC 3 2\n"
                                                             "way A B C highway=residential\n"));
    const RouteRun with = runTool("tvmc", {osm, "-o", dir.file("with.tvm")});
    EXPECT_EQ(with.code, 0) << with.err;
    EXPECT_NE(with.out.find("road graph: 3 road nodes, 2 junctions, 1 edges"), std::string::npos)
        << with.out;
    EXPECT_NE(with.out.find("wrote " + dir.file("with.tvr")), std::string::npos) << with.out;
    route::cRoadGraph graph;
    EXPECT_TRUE(graph.open(dir.file("with.tvr"), nullptr));
    const RouteRun without =
        runTool("tvmc", {"--no-road-graph", osm, "-o", dir.file("without.tvm")});
    EXPECT_EQ(without.code, 0) << without.err;
    EXPECT_EQ(without.out.find("road graph"), std::string::npos) << without.out;
    EXPECT_FALSE(graph.open(dir.file("without.tvr"), nullptr));
}

// Node ids as far apart as OSM's 64 bits allow keep their road: a plain
// road A B C with A's and C's ids at the two ends of the range.
TEST(Tvmc, RoadsOfNodeIdsFarApartAreRouted) {
    std::string osm = sketchMap("A 0 0\nB 5 0\nC 10 0\nway A B C highway=residential\n");
    for (const auto& [from, to] : {std::pair{"\"1\"", "\"-9223372036854775000\""},
                                   std::pair{"\"3\"", "\"9223372036854775000\""}})
        for (const std::string kind : {"<node id=", "<nd ref="})
            for (std::size_t at = 0; (at = osm.find(kind + from, at)) != std::string::npos;)
                osm.replace(at + kind.size(), std::strlen(from), to);
    TempDir dir;
    const std::string folder = compiledFolder(dir.write("far.osm", osm));
    const RouteRun r =
        runTvmroute({folder, "--from", gridPosition(0.5, 0), "--to", gridPosition(9.5, 0)});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NEAR(jsonNumber(r.out, "distance_m"), 900, 2) << r.out;
}

TEST(Tvmroute, FarPositionIsAnError) {
    const RouteRun r =
        runTvmroute({demoFolder(), "--from", "37.5905,55.8105", "--to", "37.5,55.7"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out,
              "{\n  \"error\": \"the destination is farther than 500 m from any road\"\n}\n");
}

TEST(Tvmroute, UnreachableDestinationIsAnError) {
    TempDir dir;
    const std::string folder =
        compiledFolder(dir.write("islands.osm", sketchMap("A 0 0\nB 3 0\nC 0 2\nD 3 2\n"
                                                          "way A B highway=residential\n"
                                                          "way C D highway=residential\n")));
    const RouteRun r =
        runTvmroute({folder, "--from", gridPosition(1, 0), "--to", gridPosition(1, 2)});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "{\n  \"error\": \"no route between the two positions\"\n}\n");
}

} // namespace
} // namespace tevo::test
