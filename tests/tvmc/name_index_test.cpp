// The name index that tvmc writes beside the map: one entry per street and
// town, each with the town the data gives, and the index left out or its
// name refused as the map's would be.
#include "search/name_index.hpp"
#include "tvmc/tvmc_helpers.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tevo::test {
namespace {

// Altdorf and Neudorf are village nodes 4 km apart; Mitteldorf a village
// mapped as an area between them, without a node.
const char kVillages[] = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version="0.6">
<node id="1" version="1" lat="50.000" lon="11.500"><tag k="place" v="village"/><tag k="name" v="Altdorf"/></node>
<node id="2" version="1" lat="50.000" lon="11.560"><tag k="place" v="village"/><tag k="name" v="Neudorf"/></node>
<node id="3" version="1" lat="50.001" lon="11.500"><tag k="shop" v="bakery"/><tag k="name" v="Beck"/><tag k="addr:city" v="Hintertupfing"/></node>
<node id="4" version="1" lat="50.001" lon="11.561"><tag k="shop" v="kiosk"/><tag k="name" v="Kiosk"/></node>
<node id="10" version="1" lat="50.0010" lon="11.5000"/>
<node id="11" version="1" lat="50.0012" lon="11.5020"/>
<node id="12" version="1" lat="50.0014" lon="11.5040"/>
<node id="13" version="1" lat="50.0016" lon="11.5060"/>
<node id="20" version="1" lat="50.0010" lon="11.5600"/>
<node id="21" version="1" lat="50.0015" lon="11.5630"/>
<node id="30" version="1" lat="50.016" lon="11.526"/>
<node id="31" version="1" lat="50.016" lon="11.534"/>
<node id="32" version="1" lat="50.024" lon="11.534"/>
<node id="33" version="1" lat="50.024" lon="11.526"/>
<node id="34" version="1" lat="50.020" lon="11.528"/>
<node id="35" version="1" lat="50.020" lon="11.532"/>
<node id="40" version="1" lat="49.9990" lon="11.5580"/>
<node id="41" version="1" lat="49.9990" lon="11.5620"/>
<node id="42" version="1" lat="49.9992" lon="11.5600"><tag k="addr:street" v="Kirchweg"/><tag k="addr:city" v="Großstadt"/></node>
<node id="43" version="1" lat="49.9988" lon="11.5610"><tag k="addr:street" v="Kirchweg"/><tag k="addr:city" v="Großstadt"/></node>
<node id="50" version="1" lat="49.996" lon="11.496"/>
<node id="51" version="1" lat="49.996" lon="11.499"/>
<node id="52" version="1" lat="49.998" lon="11.499"/>
<node id="53" version="1" lat="49.998" lon="11.496"/>
<way id="100" version="1"><nd ref="10"/><nd ref="11"/><tag k="highway" v="residential"/><tag k="name" v="Lange Gasse"/></way>
<way id="101" version="1"><nd ref="11"/><nd ref="12"/><tag k="highway" v="residential"/><tag k="name" v="Lange Gasse"/></way>
<way id="102" version="1"><nd ref="12"/><nd ref="13"/><tag k="highway" v="residential"/><tag k="name" v="Lange Gasse"/></way>
<way id="103" version="1"><nd ref="20"/><nd ref="21"/><tag k="highway" v="residential"/><tag k="name" v="Lange Gasse"/></way>
<way id="104" version="1"><nd ref="34"/><nd ref="35"/><tag k="highway" v="residential"/><tag k="name" v="Lange Gasse"/></way>
<way id="105" version="1"><nd ref="40"/><nd ref="41"/><tag k="highway" v="service"/><tag k="name" v="Kirchweg"/></way>
<way id="106" version="1"><nd ref="30"/><nd ref="31"/><nd ref="32"/><nd ref="33"/><nd ref="30"/><tag k="place" v="village"/><tag k="name" v="Mitteldorf"/></way>
<way id="107" version="1"><nd ref="50"/><nd ref="51"/><nd ref="52"/><nd ref="53"/><nd ref="50"/><tag k="leisure" v="park"/><tag k="name" v="Stadtpark"/></way>
</osm>
)";

std::vector<std::string> entriesOf(const std::string& path) {
    search::cNameIndex index;
    std::string error;
    EXPECT_TRUE(index.open(path, &error)) << error;
    std::vector<std::string> entries;
    search::NameRecord r;
    search::TownRecord town;
    for (uint32_t n = 0; n < index.entryCount(); ++n) {
        index.entry(n, r);
        if (r.town > 0) index.town(r.town - 1, town);
        entries.push_back(std::string(search::kindText(r.kind)) + " " + std::string(r.name) + ", " +
                          (r.town > 0 ? std::string(town.name) : ""));
    }
    return entries;
}

TEST(NameIndexOutput, OneEntryPerStreetAndTownWithTheTownTheDataGives) {
    TempDir folder;
    const RunResult r =
        runTvmc({folder.write("villages.osm", kVillages), "-o", folder.file("villages.tvm")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("names: 3 places, 4 streets (from 6 named ways), 1 areas, 2 POIs"),
              std::string::npos)
        << r.out;
    const std::vector<std::string> expected = {
        "place Altdorf, ",
        "place Mitteldorf, ",
        "place Neudorf, ",
        "street Kirchweg, Großstadt",
        "street Lange Gasse, Altdorf",
        "street Lange Gasse, Mitteldorf",
        "street Lange Gasse, Neudorf",
        "area Stadtpark, Altdorf",
        "poi Beck, Hintertupfing",
        "poi Kiosk, Neudorf",
    };
    EXPECT_EQ(entriesOf(folder.file("villages.tvn")), expected);
}

TEST(NameIndexOutput, LeftOutOnRequestAndRefusedBeforeTheWorkLikeTheMap) {
    TempDir folder;
    const std::string input = folder.write("villages.osm", kVillages);
    const std::string old = folder.write("kept.tvn", "an index of another run");
    ASSERT_EQ(runTvmc({"-q", "--no-name-index", input, "-o", folder.file("kept.tvm")}).code, 0);
    EXPECT_EQ(readFile(old), "an index of another run");
    ASSERT_EQ(runTvmc({"-q", "-N", input, "-o", folder.file("none.tvm")}).code, 0);
    EXPECT_NE(::access(folder.file("none.tvn").c_str(), F_OK), 0);

    folder.makeFolder("busy.tvn");
    const RunResult r = runTvmc({"-q", input, "-o", folder.file("busy.tvm")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("busy.tvn"), std::string::npos) << r.err;
    EXPECT_NE(::access(folder.file("busy.tvm").c_str(), F_OK), 0);
}

} // namespace
} // namespace tevo::test
