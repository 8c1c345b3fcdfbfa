// The same data in any of the input formats, in any order of its objects,
// gives the same map; objects with negative ids (not yet uploaded, as
// editors save them) and nodes without a position are handled.
#include "tvmc/tvmc_helpers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tevo::test {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool osmiumCat(const std::string& from, const std::string& to) {
    const std::string command = "osmium cat -O -o " + to + " " + from + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The XML with the objects of each kind in reverse order (nodes, then ways,
// then relations, as the format wants them).
std::string reversedPerKind(const std::string& xml) {
    std::vector<std::string> kinds[3];
    std::string head, tail;
    std::istringstream lines(xml);
    std::string line;
    int kind = -1;
    while (std::getline(lines, line)) {
        line += '\n';
        if (line.rfind("  <node", 0) == 0)
            kind = 0, kinds[0].emplace_back();
        else if (line.rfind("  <way", 0) == 0)
            kind = 1, kinds[1].emplace_back();
        else if (line.rfind("  <relation", 0) == 0)
            kind = 2, kinds[2].emplace_back();
        else if (line.rfind("</osm>", 0) == 0)
            kind = 3;
        if (kind < 0)
            head += line;
        else if (kind == 3)
            tail += line;
        else
            kinds[kind].back() += line;
    }
    std::string out = head;
    for (auto& objects : kinds) {
        std::reverse(objects.begin(), objects.end());
        for (const std::string& o : objects) out += o;
    }
    return out + tail;
}

TEST(InputForms, EveryFormatAndObjectOrderGivesTheSameMap) {
    TempDir folder;
    const std::string source = std::string(TEVO_SOURCE_DIR) + "/data/osm/moscow.osm.gz";
    const std::string xml = folder.file("moscow.osm");
    if (!osmiumCat(source, xml)) GTEST_SKIP() << "osmium-tool is not installed";
    const std::string text = readFile(xml);
    const std::string reversed = reversedPerKind(text);
    ASSERT_EQ(reversed.size(), text.size());
    ASSERT_NE(reversed, text);
    folder.write("reversed.osm", reversed);
    std::vector<std::string> inputs = {xml, folder.file("reversed.osm")};
    for (const char* suffix : {".osm.gz", ".osm.bz2", ".osm.pbf"}) {
        inputs.push_back(folder.file(std::string("moscow") + suffix));
        ASSERT_TRUE(osmiumCat(xml, inputs.back())) << suffix;
    }
    std::string first;
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const std::string map = folder.file("map.tvm");
        const RunResult r = runTvmc({"--quiet", "--name", "Moscow", input, "-o", map});
        ASSERT_EQ(r.code, 0) << r.err;
        const std::string bytes = readFile(map) + readFile(folder.file("map.tvn"));
        if (first.empty())
            first = bytes;
        else
            EXPECT_TRUE(bytes == first)
                << "the map or its name index differs from those of " << inputs[0];
    }
}

// A road and a café as an editor saves them before upload.
const char kNewObjects[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version='0.6' upload='false' generator='editor'>
  <node id='-101' action='modify' visible='true' lat='55.5010' lon='37.5010' />
  <node id='-102' action='modify' visible='true' lat='55.5060' lon='37.5080' />
  <node id='-103' action='modify' visible='true' lat='55.5030' lon='37.5020'>
    <tag k='amenity' v='cafe' />
  </node>
  <node id='104' visible='true' lat='55.5040' lon='37.5090' />
  <way id='-201' action='modify' visible='true'>
    <nd ref='-101' />
    <nd ref='-102' />
    <nd ref='104' />
    <tag k='highway' v='primary' />
  </way>
</osm>
)";

struct Compiled {
    RunResult run;
    MapDump map; // not opened when tvmc failed
};

// Compiles one OSM document and reads back the map tvmc wrote.
Compiled compileDocument(const std::string& document) {
    TempDir folder;
    folder.write("in.osm", document);
    Compiled c;
    c.run = runTvmc({folder.file("in.osm"), "-o", folder.file("map.tvm")});
    if (c.run.code == 0) c.map = dumpMap(folder.file("map.tvm"));
    return c;
}

TEST(InputForms, NegativeIdsAreObjectsLikeAnyOther) {
    const Compiled compiled = compileDocument(kNewObjects);
    ASSERT_EQ(compiled.run.code, 0) << compiled.run.err;
    const MapDump& dump = compiled.map;
    ASSERT_TRUE(dump.opened);
    int roads = 0, cafes = 0;
    for (const MapObject& o : dump.objects) {
        if (o.cellSeconds != 60) continue;
        if (o.kind == Kind::Polyline && o.type == 0x03) {
            ++roads;
            EXPECT_EQ(o.points.size(), 3u);
        }
        if (o.kind == Kind::Poi && o.type == 0x2A02) {
            ++cafes;
            EXPECT_EQ(o.points[0], unitsOf(37.5020, 55.5030));
        }
    }
    EXPECT_EQ(roads, 1);
    EXPECT_EQ(cafes, 1);
}

// A forest whose outer way is missing, while its inner way's id comes twice:
// both copies count as found members, so the relation looks complete.
const char kDuplicateWayIds[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="1" version="1" lat="55.70" lon="37.50"/>
<node id="2" version="1" lat="55.80" lon="37.50"/>
<node id="3" version="1" lat="55.80" lon="37.70"/>
<node id="4" version="1" lat="55.72" lon="37.55"/>
<node id="5" version="1" lat="55.75" lon="37.55"/>
<node id="6" version="1" lat="55.75" lon="37.60"/>
<way id="2" version="1"><nd ref="1"/><nd ref="2"/><nd ref="3"/><nd ref="1"/></way>
<way id="2" version="1"><nd ref="4"/><nd ref="5"/><nd ref="6"/><nd ref="4"/></way>
<way id="3" version="1"><nd ref="1"/><nd ref="3"/><tag k="highway" v="primary"/></way>
<relation id="9" version="1">
  <member type="way" ref="1" role="outer"/><member type="way" ref="2" role="inner"/>
  <tag k="type" v="multipolygon"/><tag k="landuse" v="forest"/>
</relation>
</osm>
)";

TEST(InputForms, AMultipolygonMissingAMemberGetsNoAreaWhenAnotherIdComesTwice) {
    const Compiled compiled = compileDocument(kDuplicateWayIds);
    ASSERT_EQ(compiled.run.code, 0) << compiled.run.err;
    const MapDump& dump = compiled.map;
    ASSERT_TRUE(dump.opened);
    int roads = 0, areas = 0;
    for (const MapObject& o : dump.objects) {
        roads += o.kind == Kind::Polyline;
        areas += o.kind == Kind::Polygon || o.kind == Kind::Upper;
    }
    EXPECT_GT(roads, 0);
    EXPECT_EQ(areas, 0);
}

// Ways of no node and of one node are no lines; asking the OSM library
// whether an empty way is closed reads before its node list (the sanitizer
// builds see it).
const char kShortWays[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="1" version="1" lat="55.70" lon="37.50"/>
<node id="2" version="1" lat="55.80" lon="37.50"/>
<way id="20" version="1"><tag k="highway" v="primary"/></way>
<way id="21" version="1"><nd ref="1"/><tag k="highway" v="primary"/></way>
<way id="22" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="primary"/></way>
</osm>
)";

TEST(InputForms, WaysOfLessThanTwoNodesAreNoLines) {
    const Compiled compiled = compileDocument(kShortWays);
    ASSERT_EQ(compiled.run.code, 0) << compiled.run.err;
    const MapDump& dump = compiled.map;
    ASSERT_TRUE(dump.opened);
    // Way 22 is the one road; the two short ways leave nothing behind.
    ASSERT_FALSE(dump.objects.empty());
    for (const MapObject& o : dump.objects) {
        EXPECT_EQ(o.kind, Kind::Polyline);
        EXPECT_EQ(o.points.size(), 2u);
    }
}

// A café at a position that is not on the globe, and a road through it.
std::string badNodeMap(const std::string& lat, const std::string& lon) {
    return R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="1" version="1" lat="55.501" lon="37.501"/>
<node id="2" version="1" lat="55.506" lon="37.508"/>
<node id="3" version="1" lat=")" +
           lat + R"(" lon=")" + lon + R"("><tag k="amenity" v="cafe"/></node>
<way id="10" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="primary"/></way>
<way id="11" version="1"><nd ref="1"/><nd ref="3"/><tag k="highway" v="secondary"/></way>
</osm>
)";
}

struct BadLocationCase {
    const char* what;
    const char* lat;
    const char* lon;
};

class InvalidLocation : public ::testing::TestWithParam<BadLocationCase> {};

TEST_P(InvalidLocation, NodeIsSkippedAndCountedWithItsWay) {
    const BadLocationCase& c = GetParam();
    const Compiled compiled = compileDocument(badNodeMap(c.lat, c.lon));
    const RunResult& r = compiled.run;
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("skipped: 1 nodes without a valid position"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("skipped: 1 ways with nodes missing"), std::string::npos) << r.out;
    for (const MapObject& o : compiled.map.objects) {
        EXPECT_FALSE(o.kind == Kind::Poi) << "a POI at " << o.points[0].x << "," << o.points[0].y;
        EXPECT_NE(o.type, 0x04) << "the road through the node";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidLocation,
                         ::testing::Values(BadLocationCase{"huge_latitude", "1e308", "37.503"},
                                           BadLocationCase{"huge_negative", "-1e308", "37.503"},
                                           BadLocationCase{"huge_longitude", "55.503", "1E300"},
                                           BadLocationCase{"past_the_pole", "95", "37.503"},
                                           BadLocationCase{"past_the_date_line", "55.503", "185"},
                                           BadLocationCase{"exponent_past_the_pole", "9.5e1",
                                                           "37.503"}),
                         [](const auto& info) { return std::string(info.param.what); });

// Misread coordinates are found wherever the reader's pieces of text end.
TEST(InvalidLocation, FoundAnywhereInALargeFile) {
    std::string xml = "<?xml version='1.0' encoding='UTF-8'?>\n<osm version=\"0.6\">\n"
                      "<node id=\"1\" lat=\"55.501\" lon=\"37.501\"/>\n"
                      "<node id=\"2\" lat=\"55.506\" lon=\"37.508\"/>\n";
    constexpr int kBad = 6000;
    for (int i = 0; i < kBad; ++i)
        xml += "<node id=\"" + std::to_string(100 + i) + "\" version=\"1\" lat=\"" +
               std::to_string(i) + "e300\" lon=\"37.503\"><tag k=\"amenity\" v=\"cafe\"/></node>\n";
    xml += "<way id=\"10\"><nd ref=\"1\"/><nd ref=\"2\"/><tag k=\"highway\" v=\"primary\"/>"
           "</way>\n</osm>\n";
    ASSERT_GT(xml.size(), 4u * 65536);
    const RunResult r = compileDocument(xml).run;
    ASSERT_EQ(r.code, 0) << r.err;
    // Node 100 reads "0e300": zero, on the equator, a position like any other.
    EXPECT_NE(r.out.find("skipped: " + std::to_string(kBad - 1) + " nodes"), std::string::npos)
        << r.out;
}

} // namespace
} // namespace tevo::test

namespace tevo::test {
namespace {

// A kilobyte of input: one forest of 89 by 179 degrees. Cut into the finest
// cells it would fill tens of millions of them.
const char kHugeForest[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="1" lat="0.5" lon="0.5"/>
<node id="2" lat="0.5" lon="179.5"/>
<node id="3" lat="89.5" lon="179.5"/>
<node id="4" lat="89.5" lon="0.5"/>
<way id="1"><nd ref="1"/><nd ref="2"/><nd ref="3"/><nd ref="4"/><nd ref="1"/>
<tag k="landuse" v="forest"/></way>
</osm>
)";

TEST(HugeArea, StaysOnlyOnTheLevelWhereItCoversFewCells) {
    const Compiled compiled = compileDocument(kHugeForest);
    const RunResult& r = compiled.run;
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("left out of the 60\" level: 1 objects"), std::string::npos) << r.out;
    ASSERT_FALSE(compiled.map.objects.empty());
    for (const MapObject& o : compiled.map.objects) EXPECT_EQ(o.cellSeconds, 7200u);
}

// Areas that cannot be drawn or are too large to assemble are counted apart.
TEST(InputForms, UnusableAreasAreCountedApart) {
    const std::string head = R"(<osm version="0.6"><node id="1" lat="55.70" lon="37.50"/>
<node id="2" lat="55.71" lon="37.51"/><node id="3" lat="55.71" lon="37.50"/>
<node id="4" lat="55.70" lon="37.51"/><way id="1"><nd ref="1"/><nd ref="2"/>
<tag k="highway" v="primary"/></way>)";
    std::string ways, members;
    for (int id = 10; id < 10 + 32001; ++id) {
        ways += "<way id=\"" + std::to_string(id) + "\"><nd ref=\"1\"/><nd ref=\"2\"/></way>";
        members += "<member type=\"way\" ref=\"" + std::to_string(id) + "\" role=\"outer\"/>";
    }
    const std::pair<std::string, const char*> cases[] = {
        {R"(<way id="2"><nd ref="1"/><nd ref="2"/><nd ref="4"/><nd ref="3"/><nd ref="1"/>
<tag k="landuse" v="forest"/></way>)",
         "skipped: 1 areas whose rings cross themselves or do not close"},
        {ways + "<relation id=\"1\">" + members +
             "<tag k=\"type\" v=\"multipolygon\"/><tag k=\"landuse\" v=\"forest\"/></relation>",
         "skipped: 1 multipolygons of more than 32000 members"}};
    for (const auto& [osm, summary] : cases) {
        const RunResult r = compileDocument(head + osm + "</osm>").run;
        EXPECT_EQ(0, r.code) << r.err;
        EXPECT_NE(r.out.find(", 0 areas assembled, "), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(summary), std::string::npos) << r.out;
    }
}

} // namespace
} // namespace tevo::test
