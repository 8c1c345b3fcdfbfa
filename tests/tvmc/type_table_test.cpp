// OSM tags to map types: one row per rule family.
#include "tools/tvmc/type_table.hpp"

#include "tools/tvmc/tag_view.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tevo::tvmc {
namespace {

using Tags = std::map<std::string, std::string>;

TagGet getter(const Tags& tags) {
    return [&tags](const char* key) -> const char* {
        auto it = tags.find(key);
        return it == tags.end() ? nullptr : it->second.c_str();
    };
}

// The table walks the tags of tvmc's own view and asks any other getter key
// by key: each case is asked both ways.
template <typename Ask> void expectType(const Tags& tags, int type, Ask ask) {
    TagView::Pairs pairs;
    for (const auto& [k, v] : tags) pairs.emplace_back(k.c_str(), v.c_str());
    for (const TagGet& get : {getter(tags), TagGet(TagView(pairs))}) {
        const auto choice = ask(get);
        EXPECT_EQ(choice ? choice->type : -1, type);
    }
}

struct TagCase {
    Tags tags;
    int type; // -1: no object of this class
};

void PrintTo(const TagCase& c, std::ostream* os) {
    for (const auto& [k, v] : c.tags) *os << k << "=" << v << " ";
}

class Polylines : public ::testing::TestWithParam<TagCase> {};
TEST_P(Polylines, TypeOfWay) {
    expectType(GetParam().tags, GetParam().type, polylineType);
}
INSTANTIATE_TEST_SUITE_P(
    Rules, Polylines,
    ::testing::Values(TagCase{{{"highway", "motorway"}}, 0x01},
                      TagCase{{{"highway", "residential"}}, 0x06},
                      TagCase{{{"highway", "primary"}, {"junction", "roundabout"}}, 0x0C},
                      TagCase{{{"highway", "footway"}, {"junction", "roundabout"}}, 0x0F},
                      TagCase{{{"highway", "steps"}}, 0x10}, TagCase{{{"railway", "rail"}}, 0x14},
                      TagCase{{{"waterway", "stream"}}, 0x1A},
                      TagCase{{{"boundary", "administrative"}, {"admin_level", "2"}}, 0x1C},
                      TagCase{{{"boundary", "administrative"}, {"admin_level", "4"}}, 0x1D},
                      TagCase{{{"boundary", "administrative"}, {"admin_level", "10"}}, -1},
                      TagCase{{{"highway", "proposed"}}, -1}, TagCase{{{"building", "yes"}}, -1}));

class Polygons : public ::testing::TestWithParam<TagCase> {};
TEST_P(Polygons, TypeOfArea) {
    expectType(GetParam().tags, GetParam().type,
               [](const TagGet& get) { return polygonType(get, 100.0); });
}
INSTANTIATE_TEST_SUITE_P(
    Rules, Polygons,
    ::testing::Values(TagCase{{{"natural", "water"}}, 0x3D},
                      TagCase{{{"natural", "water"}, {"water", "river"}}, 0x3E},
                      TagCase{{{"natural", "water"}, {"water", "sea"}}, 0x3C},
                      TagCase{{{"landuse", "forest"}}, 0x16},
                      TagCase{{{"landuse", "farmland"}}, 0x1D},
                      TagCase{{{"leisure", "park"}}, 0x12}, TagCase{{{"amenity", "parking"}}, 0x05},
                      TagCase{{{"building", "garage"}}, 6}, TagCase{{{"building", "house"}}, 111},
                      TagCase{{{"building", "apartments"}}, 19},
                      TagCase{{{"building", "church"}}, 109},
                      TagCase{{{"building", "yes"}}, 110}, // a small footprint
                      TagCase{{{"building", "yes"}, {"building:levels", "3"}}, 11},
                      TagCase{{{"building", "yes"}, {"building:levels", "9"}}, 108},
                      TagCase{{{"building", "house"}, {"height", "4.5 m"}}, 111},
                      TagCase{{{"building", "no"}, {"landuse", "grass"}}, 0x15},
                      TagCase{{{"highway", "residential"}}, -1}));

// Drawn heights of the chosen types must fit the building (3 m per storey).
TEST(BuildingHeights, TaggedStoreysPickTheNearestDrawnHeight) {
    for (int storeys = 1; storeys <= 12; ++storeys) {
        const Tags tags{{"building", "yes"}, {"building:levels", std::to_string(storeys)}};
        const auto choice = polygonType(getter(tags), 500.0);
        ASSERT_TRUE(choice);
        EXPECT_LE(std::abs(drawnHeightOf(choice->type) - 3.0 * storeys), 6.0) << storeys;
    }
    EXPECT_EQ(polygonType(getter({{"building", "yes"}}), 1000.0)->type, 8); // a big block
}

class Pois : public ::testing::TestWithParam<TagCase> {};
TEST_P(Pois, TypeOfNode) {
    expectType(GetParam().tags, GetParam().type, poiType);
}

// Of a key that an object carries twice, the first tag decides.
TEST(Pois, FirstOfTwoTagsOfOneKey) {
    TagView::Pairs pairs{{"amenity", "no"}, {"amenity", "cafe"}, {"tourism", "hotel"}};
    EXPECT_EQ(poiType(TagView(pairs))->type, 0x2B00);
}
INSTANTIATE_TEST_SUITE_P(
    Rules, Pois,
    ::testing::Values(
        TagCase{{{"place", "city"}, {"population", "12600000"}}, 0x0100},
        TagCase{{{"place", "city"}, {"population", "74000"}}, 0x0800},
        TagCase{{{"place", "city"}}, 0x0700},
        TagCase{{{"place", "town"}, {"population", "15000"}}, 0x0A00},
        TagCase{{{"place", "village"}, {"population", "350"}}, 0x0F00},
        TagCase{{{"place", "village"}}, 0x0D00},
        TagCase{{{"place", "suburb"}, {"population", "90000"}}, 0x0E00},
        TagCase{{{"place", "isolated_dwelling"}}, 0x1100}, TagCase{{{"amenity", "cafe"}}, 0x2A02},
        TagCase{{{"tourism", "hotel"}}, 0x2B00}, TagCase{{{"shop", "supermarket"}}, 0x2E00},
        TagCase{{{"shop", "wine"}}, 0x2E0B}, TagCase{{{"amenity", "fuel"}}, 0x2F00},
        TagCase{{{"amenity", "pharmacy"}}, 0x3005}, TagCase{{{"amenity", "school"}}, 0x6400},
        TagCase{{{"highway", "bus_stop"}}, 0x2F0C},
        TagCase{{{"amenity", "place_of_worship"}}, 0x2C0B}, TagCase{{{"natural", "peak"}}, 0x6600},
        TagCase{{{"natural", "spring"}}, 0x6500}, TagCase{{{"shop", "no"}}, -1},
        TagCase{{{"highway", "primary"}}, -1}));

TEST(Names, FallBackByClass) {
    EXPECT_EQ(objectName(getter({{"name", "Тверская"}, {"ref", "M1"}}), ObjectClass::Polyline),
              u"Тверская");
    EXPECT_EQ(objectName(getter({{"name:en", "Red Square"}}), ObjectClass::Polygon), u"Red Square");
    EXPECT_EQ(objectName(getter({{"highway", "primary"}, {"ref", "B 22"}}), ObjectClass::Polyline),
              u"B 22");
    EXPECT_EQ(objectName(getter({{"railway", "rail"}, {"ref", "2"}}), ObjectClass::Polyline), u"");
    EXPECT_EQ(objectName(getter({{"ref", "B 22"}}), ObjectClass::Poi), u"");
    EXPECT_EQ(objectName(getter({{"brand", "Shell"}}), ObjectClass::Poi), u"Shell");
    EXPECT_EQ(objectName(getter({{"name", ""}, {"int_name", "Moskva"}}), ObjectClass::Poi),
              u"Moskva");
}

} // namespace
} // namespace tevo::tvmc
