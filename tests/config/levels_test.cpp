// levels.xml: the three lists of (priority, type) pairs and the largest priority.
#include "config/levels_xml.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace tevo {
namespace {

using Pairs = std::vector<TypePriority>;

struct LevelsCase {
    const char* label;
    std::string file;
    Pairs poi, polyline, polygon;
    int32_t maxPriority;
};

class LevelsReadTest : public testing::TestWithParam<LevelsCase> {};

TEST_P(LevelsReadTest, FillsTheListsOfItsSections) {
    test::TempDir folder;
    cLevelsXML levels;
    testing::internal::CaptureStdout();
    levels.parse(folder.write("levels.xml", GetParam().file));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(levels.poiTypes(), GetParam().poi);
    EXPECT_EQ(levels.polylineTypes(), GetParam().polyline);
    EXPECT_EQ(levels.polygonTypes(), GetParam().polygon);
    EXPECT_EQ(levels.maxPriority(), GetParam().maxPriority);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LevelsReadTest,
    testing::Values(
        LevelsCase{"LargestPriorityIsKept",
                   "<levels><hidepriority v=\"3\"><poi><type>1</type></poi></hidepriority>"
                   "<hidepriority v=\"1\"><poi><type>2</type></poi></hidepriority></levels>",
                   {{3, 1}, {1, 2}},
                   {},
                   {},
                   3},
        LevelsCase{"EachSectionItsList",
                   "<levels><hidepriority v=\"2\"><poi><type>a</type></poi>"
                   "<polyline><type>1f</type></polyline><polygon><type>4B</type></polygon>"
                   "</hidepriority></levels>",
                   {{2, 10}},
                   {{2, 31}},
                   {{2, 75}},
                   2},
        LevelsCase{"TypeDirectlyInTheGroupAppendsNothing",
                   "<levels><hidepriority v=\"2\"><type>5</type><poi></poi><type>6</type>"
                   "</hidepriority></levels>",
                   {},
                   {},
                   {},
                   2},
        LevelsCase{"TypeOutsideAnyGroupAppendsNothing",
                   "<levels><hidepriority v=\"2\"><polygon></polygon></hidepriority>"
                   "<type>5</type></levels>",
                   {},
                   {},
                   {},
                   2},
        LevelsCase{"NonHexTypeRepeatsThePrevious",
                   "<levels><hidepriority v=\"1\"><poi><type>x</type><type>2f</type>"
                   "<type>?</type></poi></hidepriority></levels>",
                   {{1, 0}, {1, 0x2F}, {1, 0x2F}},
                   {},
                   {},
                   1},
        LevelsCase{"TypeBeforeAnyGroupIsIgnored",
                   "<levels><poi><type>7</type></poi></levels>",
                   {},
                   {},
                   {},
                   0},
        LevelsCase{"GroupWithoutAttributeHasPriorityZero",
                   "<levels><hidepriority><polyline><type>3</type></polyline></hidepriority>"
                   "</levels>",
                   {},
                   {{0, 3}},
                   {},
                   0},
        LevelsCase{"PriorityFromTheFirstAttribute",
                   "<levels><hidepriority a=\"4\" b=\"9\"><poi><type>3</type></poi>"
                   "</hidepriority></levels>",
                   {{4, 3}},
                   {},
                   {},
                   4},
        LevelsCase{"HugeTypeSaturates",
                   "<levels><hidepriority v=\"1\"><poi><type>fffffffffffffffffff</type></poi>"
                   "</hidepriority></levels>",
                   {{1, INT32_MAX}},
                   {},
                   {},
                   1},
        LevelsCase{"PrefixedAndSpacedTypes",
                   "<levels><hidepriority v=\"1\"><poi><type>0x10</type><type>\n 6c \n</type>"
                   "<type>0x</type></poi></hidepriority></levels>",
                   {{1, 16}, {1, 108}, {1, 0}},
                   {},
                   {},
                   1},
        LevelsCase{"GroupEndLeavesTheSection",
                   "<levels><hidepriority v=\"1\"><poi></poi></hidepriority>"
                   "<hidepriority v=\"2\"><type>8</type></hidepriority></levels>",
                   {},
                   {},
                   {},
                   2}),
    [](const testing::TestParamInfo<LevelsCase>& info) { return info.param.label; });

} // namespace
} // namespace tevo
