// A small OSM file written here goes through the real tvmc and comes back
// through the navigator's own map reader with the expected types, points,
// names and cells.
#include "tvmc/tvmc_helpers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace tevo::test {
namespace {

constexpr uint32_t kFine = 60, kCoarse = 300;

// Nodes of the test map; all of them lie in the cell of 60" at 37.500 E,
// 55.500 N except the east end of the long road.
struct Node {
    int id;
    double lon, lat;
    std::string tags;
};

const Node kNodes[] = {
    // an open street
    {1, 37.5050, 55.5050, ""},
    {2, 37.5100, 55.5070, ""},
    {3, 37.5120, 55.5050, ""},
    // a house (closed way)
    {10, 37.5020, 55.5020, ""},
    {11, 37.5030, 55.5020, ""},
    {12, 37.5030, 55.5030, ""},
    {13, 37.5020, 55.5030, ""},
    // a lake with an island (multipolygon with a hole)
    {20, 37.5040, 55.5090, ""},
    {21, 37.5140, 55.5090, ""},
    {22, 37.5140, 55.5150, ""},
    {23, 37.5040, 55.5150, ""},
    {24, 37.5070, 55.5110, ""},
    {25, 37.5100, 55.5110, ""},
    {26, 37.5100, 55.5130, ""},
    {27, 37.5070, 55.5130, ""},
    // a road crossing the border between two cells at 37.51667 E
    {30, 37.5100, 55.5030, ""},
    {31, 37.5250, 55.5030, ""},
    // named POIs
    {40, 37.5060, 55.5060, R"(<tag k="amenity" v="cafe"/><tag k="name" v="Кофейня"/>)"},
    {41, 37.5065, 55.5065, R"(<tag k="shop" v="bakery"/><tag k="name" v="LONGNAME"/>)"},
    // nodes of the footway; node 99 is missing from the file
    {50, 37.5010, 55.5010, ""},
};

std::string longName() {
    // 126 units, then a character outside the BMP (two units): cutting at
    // 127 units would split it.
    return std::string(126, 'a') + "\xF0\x9F\x98\x80" + std::string(100, 'b');
}

std::string testOsm() {
    std::string xml = "<?xml version='1.0' encoding='UTF-8'?>\n<osm version=\"0.6\">\n";
    char line[256];
    for (const Node& n : kNodes) {
        std::snprintf(line, sizeof line, "<node id=\"%d\" version=\"1\" lat=\"%.7f\" lon=\"%.7f\">",
                      n.id, n.lat, n.lon);
        std::string tags = n.tags;
        if (auto at = tags.find("LONGNAME"); at != std::string::npos)
            tags.replace(at, 8, longName());
        xml += line + tags + "</node>\n";
    }
    xml += R"(<way id="100" version="1"><nd ref="1"/><nd ref="2"/><nd ref="3"/>
<tag k="highway" v="residential"/><tag k="name" v="Тверская улица"/></way>
<way id="101" version="1"><nd ref="10"/><nd ref="11"/><nd ref="12"/><nd ref="13"/><nd ref="10"/>
<tag k="building" v="house"/><tag k="name" v="Дом 7"/></way>
<way id="102" version="1"><nd ref="20"/><nd ref="21"/><nd ref="22"/><nd ref="23"/><nd ref="20"/></way>
<way id="103" version="1"><nd ref="24"/><nd ref="25"/><nd ref="26"/><nd ref="27"/><nd ref="24"/></way>
<way id="104" version="1"><nd ref="30"/><nd ref="31"/>
<tag k="highway" v="primary"/><tag k="name" v="Long Road"/></way>
<way id="105" version="1"><nd ref="50"/><nd ref="99"/><tag k="highway" v="footway"/></way>
<relation id="200" version="1"><member type="way" ref="102" role="outer"/>
<member type="way" ref="103" role="inner"/>
<tag k="type" v="multipolygon"/><tag k="natural" v="water"/><tag k="name" v="Озеро"/></relation>
</osm>
)";
    return xml;
}

class RoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempDir();
        folder_->write("test.osm", testOsm());
        run_ = new RunResult(
            runTvmc({"-l", "60,300", folder_->file("test.osm"), "-o", folder_->file("test.tvm")}));
        dump_ = new MapDump(dumpMap(folder_->file("test.tvm")));
    }
    static void TearDownTestSuite() {
        delete dump_;
        delete run_;
        delete folder_;
    }

    static std::vector<const MapObject*> find(uint32_t seconds, Kind kind, int32_t type) {
        std::vector<const MapObject*> found;
        for (const MapObject& o : dump_->objects)
            if (o.cellSeconds == seconds && o.kind == kind && o.type == type) found.push_back(&o);
        return found;
    }

    static inline TempDir* folder_ = nullptr;
    static inline RunResult* run_ = nullptr;
    static inline MapDump* dump_ = nullptr;
};

// The reader may turn a line around (it orients every record); compare both ways.
bool samePointsEitherWay(std::vector<MapPoint> got, std::vector<MapPoint> want) {
    if (got == want) return true;
    std::reverse(got.begin(), got.end());
    return got == want;
}

double shoelace(const std::vector<MapPoint>& p) {
    double s = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const MapPoint& a = p[i];
        const MapPoint& b = p[(i + 1) % p.size()];
        s += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return std::abs(s) / 2;
}

TEST_F(RoundTrip, CompilesAndEveryBlockReadsBack) {
    ASSERT_EQ(run_->code, 0) << run_->err;
    ASSERT_TRUE(dump_->opened);
    EXPECT_TRUE(dump_->everyBlockRead);
    EXPECT_TRUE(dump_->keysAscend);
    EXPECT_EQ(dump_->levels, (std::vector<uint32_t>{kFine, kCoarse}));
    EXPECT_EQ(dump_->name, u"test");
}

TEST_F(RoundTrip, OpenStreetKeepsItsPointsAndCyrillicName) {
    const auto streets = find(kFine, Kind::Polyline, 0x06);
    ASSERT_EQ(streets.size(), 1u);
    EXPECT_EQ(streets[0]->name, u"Тверская улица");
    EXPECT_TRUE(
        samePointsEitherWay(streets[0]->points, {unitsOf(37.505, 55.505), unitsOf(37.510, 55.507),
                                                 unitsOf(37.512, 55.505)}));
    EXPECT_EQ(streets[0]->key, keyOf(37.505, 55.505, kFine));
}

TEST_F(RoundTrip, HouseIsAnUpperPolygonOfFourCorners) {
    const auto houses = find(kFine, Kind::Upper, 111);
    ASSERT_EQ(houses.size(), 1u);
    EXPECT_EQ(houses[0]->name, u"Дом 7");
    EXPECT_EQ(houses[0]->points.size(), 4u);
    const double side = unitsOf(37.503, 0).x - unitsOf(37.502, 0).x;
    const double height = unitsOf(0, 55.503).y - unitsOf(0, 55.502).y;
    EXPECT_NEAR(shoelace(houses[0]->points), side * height, side * height * 1e-6);
}

TEST_F(RoundTrip, LakeKeepsItsIslandOpen) {
    const auto lakes = find(kFine, Kind::Polygon, 0x3D);
    ASSERT_EQ(lakes.size(), 1u);
    EXPECT_EQ(lakes[0]->name, u"Озеро");
    const auto area = [](double w, double s, double e, double n) {
        return static_cast<double>(unitsOf(e, 0).x - unitsOf(w, 0).x) *
               (unitsOf(0, n).y - unitsOf(0, s).y);
    };
    const double water =
        area(37.504, 55.509, 37.514, 55.515) - area(37.507, 55.511, 37.510, 55.513);
    EXPECT_NEAR(shoelace(lakes[0]->points), water, water * 1e-6);
}

TEST_F(RoundTrip, NamedPoisSitOnTheirNodes) {
    const auto cafes = find(kFine, Kind::Poi, 0x2A02);
    ASSERT_EQ(cafes.size(), 1u);
    EXPECT_EQ(cafes[0]->name, u"Кофейня");
    EXPECT_EQ(cafes[0]->points[0], unitsOf(37.506, 55.506));
}

TEST_F(RoundTrip, LongNameIsCutBeforeASplitCharacter) {
    const auto bakeries = find(kFine, Kind::Poi, 0x2E04);
    ASSERT_EQ(bakeries.size(), 1u);
    EXPECT_EQ(bakeries[0]->name, std::u16string(126, u'a'));
}

TEST_F(RoundTrip, RoadCrossingACellBorderIsCutIntoNamedPieces) {
    const auto roads = find(kFine, Kind::Polyline, 0x03);
    ASSERT_EQ(roads.size(), 2u);
    const int32_t west = keyOf(37.510, 55.503, kFine), east = keyOf(37.525, 55.503, kFine);
    ASSERT_NE(west, east);
    std::vector<int32_t> keys{roads[0]->key, roads[1]->key};
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<int32_t>{west, east}));
    for (const MapObject* road : roads) {
        EXPECT_EQ(road->name, u"Long Road");
        ASSERT_EQ(road->points.size(), 2u);
    }
    // The pieces meet on the border.
    const double border = cellBox(east, kFine).x0;
    for (const MapObject* road : roads) {
        const bool touches = std::any_of(road->points.begin(), road->points.end(),
                                         [&](MapPoint p) { return std::abs(p.x - border) <= 1; });
        EXPECT_TRUE(touches);
    }
}

TEST_F(RoundTrip, WayWithAMissingNodeIsSkippedAndCounted) {
    EXPECT_TRUE(find(kFine, Kind::Polyline, 0x0F).empty());
    EXPECT_NE(run_->out.find("skipped: 1 ways"), std::string::npos) << run_->out;
}

TEST_F(RoundTrip, CoarseLevelKeepsStreetsButNotShops) {
    EXPECT_EQ(find(kCoarse, Kind::Polyline, 0x06).size(), 1u);
    EXPECT_EQ(find(kCoarse, Kind::Polyline, 0x03).size(), 1u); // one cell holds the whole road
    EXPECT_TRUE(find(kCoarse, Kind::Poi, 0x2A02).empty());
    EXPECT_TRUE(find(kCoarse, Kind::Upper, 111).empty());
}

TEST_F(RoundTrip, EveryObjectLiesWithinItsCell) {
    for (const MapObject& o : dump_->objects) {
        const CellBox box = cellBox(o.key, o.cellSeconds);
        // An upper polygon is kept whole in the cell of its centre.
        const std::vector<MapPoint> points =
            o.kind == Kind::Upper ? std::vector<MapPoint>{boxCentre(o.points)} : o.points;
        for (const MapPoint& p : points) {
            EXPECT_GE(p.x, box.x0 - 1);
            EXPECT_LE(p.x, box.x1 + 1);
            EXPECT_GE(p.y, box.y0 - 1);
            EXPECT_LE(p.y, box.y1 + 1);
        }
    }
}

TEST_F(RoundTrip, StartCellIsTheFinestLevelsMiddleCell) {
    // The finest level is written last: the view starts on its middle cell,
    // here the western of the two cells in the row that holds everything.
    const double f = static_cast<float>(kFine / 3600.0);
    const float want[4] = {static_cast<float>(2250 * f), static_cast<float>(3330 * f),
                           static_cast<float>(2251 * f), static_cast<float>(3331 * f)};
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(dump_->startRect[i], want[i]) << i;
}

} // namespace
} // namespace tevo::test

namespace tevo::test {
namespace {

// The same input under the options that change what is written.
class OptionsRoundTrip : public ::testing::Test {
protected:
    void SetUp() override { folder_.write("test.osm", testOsm()); }

    MapDump compile(std::vector<std::string> args) {
        args.insert(args.begin(), {"-q", "-l", "60,300", folder_.file("test.osm"), "-o",
                                   folder_.file("out.tvm")});
        const RunResult r = runTvmc(args);
        EXPECT_EQ(r.code, 0) << r.err;
        return dumpMap(folder_.file("out.tvm"));
    }

    TempDir folder_;
};

TEST_F(OptionsRoundTrip, BoundingBoxCutsEverythingToIt) {
    const MapDump dump = compile({"--bbox", "37.5,55.5,37.5085,55.5160"});
    ASSERT_TRUE(dump.opened);
    const MapPoint lo = unitsOf(37.5, 55.5), hi = unitsOf(37.5085, 55.516);
    int cafes = 0, streetsReachingTheEdge = 0;
    for (const MapObject& o : dump.objects) {
        if (o.type == 0x2A02) ++cafes;
        if (o.type == 0x06 && o.cellSeconds == 60)
            for (const MapPoint& p : o.points) streetsReachingTheEdge += p.x == hi.x;
        for (const MapPoint& p : o.points) {
            EXPECT_TRUE(p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y)
                << "type " << o.type << " at " << p.x << "," << p.y;
        }
    }
    EXPECT_EQ(cafes, 1);                  // inside the box, on the finest level
    EXPECT_EQ(streetsReachingTheEdge, 1); // the street is cut at the box's east edge
}

TEST_F(OptionsRoundTrip, NameAndStartLevel) {
    const MapDump dump = compile({"--name", "Тестовая карта", "--start-level", "300"});
    ASSERT_TRUE(dump.opened);
    EXPECT_EQ(dump.name, u"Тестовая карта");
    const double f = static_cast<float>(300 / 3600.0);
    EXPECT_NEAR(dump.startRect[2] - dump.startRect[0], f, 1e-5);
}

TEST_F(OptionsRoundTrip, StartPositionChoosesTheStartCell) {
    const MapDump dump = compile({"--start", "37.52,55.503"}); // the road's eastern cell
    ASSERT_TRUE(dump.opened);
    const double f = static_cast<float>(60 / 3600.0);
    EXPECT_FLOAT_EQ(dump.startRect[0], static_cast<float>(2251 * f));
}

TEST_F(OptionsRoundTrip, SeveralInputsMakeOneMap) {
    folder_.write("more.osm", R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="900" version="1" lat="55.5080" lon="37.5080"><tag k="amenity" v="fuel"/></node>
</osm>
)");
    const MapDump dump = compile({folder_.file("more.osm")});
    ASSERT_TRUE(dump.opened);
    const auto has = [&](int32_t type) {
        return std::any_of(dump.objects.begin(), dump.objects.end(),
                           [type](const MapObject& o) { return o.type == type; });
    };
    EXPECT_TRUE(has(0x2F00)); // from the second file
    EXPECT_TRUE(has(0x2A02)); // from the first
}

} // namespace
} // namespace tevo::test
