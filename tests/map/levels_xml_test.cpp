#include "config/levels_xml.hpp"
#include "map_test_util.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

cLevelsXML parseLevels(const std::string& xml, bool* ok = nullptr) {
    const std::string path = test::tempPath("levels.xml");
    EXPECT_TRUE(test::writeBytes(path, std::vector<uint8_t>(xml.begin(), xml.end())));
    cLevelsXML levels;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const bool parsed = levels.parse(path);
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
    if (ok) *ok = parsed;
    return levels;
}

using Pairs = std::vector<TypePriority>;

TEST(LevelsXML, GroupsFillTheThreeLists) {
    const cLevelsXML levels = parseLevels(R"(<?xml version="1.0"?>
<levels>
  <hidepriority value="3">
    <poi><type>2f</type><type>0x10</type></poi>
    <polyline><type>1</type></polyline>
  </hidepriority>
  <hidepriority level="1"><poi><type>x</type></poi>
    <polygon><type>4B</type><type> 6c </type></polygon>
    <polyline><type>1f</type></polyline>
  </hidepriority>
  <hidepriority><poi><type>5</type><type>?</type></poi></hidepriority>
</levels>)");
    EXPECT_EQ(levels.maxPriority(), 3);
    EXPECT_EQ(levels.poiTypes(), (Pairs{{3, 0x2F}, {3, 0x10}, {1, 0}, {0, 5}, {0, 5}}));
    EXPECT_EQ(levels.polylineTypes(), (Pairs{{3, 1}, {1, 31}}));
    EXPECT_EQ(levels.polygonTypes(), (Pairs{{1, 0x4B}, {1, 108}}));
}

TEST(LevelsXML, OddTypesAndPlaces) {
    const cLevelsXML levels = parseLevels(R"(<levels>
  <poi><type>99</type></poi>
  <hidepriority p="2">
    <type>77</type>
    <poi><type>zz</type><type>a</type><type>-</type><type>
      b
    </type></poi>
    <polyline><Type>c</Type></polyline>
  </hidepriority>
  <hidepriority p="x7"><polygon><type>fffffffff</type></polygon></hidepriority>
</levels>)");
    // Before any group: ignored. Directly in a group: nothing appended, but
    // its number becomes the current type. Not hexadecimal: the previous type
    // of the group again.
    EXPECT_EQ(levels.poiTypes(), (Pairs{{2, 0x77}, {2, 10}, {2, 10}, {2, 11}}));
    EXPECT_EQ(levels.polylineTypes(), Pairs{});
    EXPECT_EQ(levels.polygonTypes(), (Pairs{{0, 0x7FFFFFFF}}));
    EXPECT_EQ(levels.maxPriority(), 2);
}

TEST(LevelsXML, BrokenFileKeepsWhatWasRead) {
    bool ok = true;
    const cLevelsXML levels = parseLevels(
        "<levels><hidepriority v=\"4\"><poi><type>1</type></poi><polyline><type>2</type></oops>",
        &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(levels.maxPriority(), 4);
    EXPECT_EQ(levels.poiTypes(), (Pairs{{4, 1}}));
    EXPECT_EQ(levels.polylineTypes(), (Pairs{{4, 2}}));
    cLevelsXML missing;
    EXPECT_FALSE(missing.parse("/nonexistent/levels.xml"));
    EXPECT_EQ(missing.maxPriority(), 0);
}

} // namespace
} // namespace tevo
