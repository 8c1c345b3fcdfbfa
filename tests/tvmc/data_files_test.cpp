// The program folder's style and display-level files cover every type the
// compiler can write, and its POI types all have icons.
#include "tools/tvmc/type_table.hpp"

#include "config/levels_xml.hpp"
#include "map/map_style.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace tevo::tvmc {
namespace {

const std::string kData = std::string(TEVO_SOURCE_DIR) + "/data/";

TEST(StyleFile, EveryTypeHasAStyle) {
    cMapStyle style;
    ASSERT_TRUE(style.load(kData + "tevo.skn"));
    for (uint16_t t : producibleTypes(ObjectClass::Polyline)) {
        const LineStyle s = style.lineStyle(t);
        EXPECT_EQ(s.type, t) << "polyline type " << t;
        EXPECT_GT(s.width, 0) << "polyline type " << t;
        // A second stroke is the fill over a casing: narrower than the first.
        if (s.width2 > 0) {
            EXPECT_LT(s.width2, s.width) << "polyline type " << t;
        }
    }
    for (uint16_t t : producibleTypes(ObjectClass::Polygon))
        EXPECT_EQ(style.areaStyle(t).type, t) << "polygon type " << t;
    EXPECT_EQ(style.areaStyle(kBackgroundAreaType).type, kBackgroundAreaType);
}

TEST(StyleFile, WaterIsBlueAndForestGreen) {
    cMapStyle style;
    ASSERT_TRUE(style.load(kData + "tevo.skn"));
    auto channels = [](int32_t c) {
        return std::array<int, 3>{c & 255, (c >> 8) & 255, (c >> 16) & 255};
    };
    const auto lake = channels(style.areaStyle(0x3D).colour);
    EXPECT_GT(lake[2], lake[0]); // blue above red
    const auto forest = channels(style.areaStyle(0x16).colour);
    EXPECT_GT(forest[1], forest[0]);
    EXPECT_GT(forest[1], forest[2]);
}

bool listed(const std::vector<TypePriority>& list, uint16_t type) {
    return std::any_of(list.begin(), list.end(),
                       [type](const TypePriority& p) { return p.type == type; });
}

TEST(LevelsFile, EveryTypeHasAHidePriority) {
    cLevelsXML levels;
    ASSERT_TRUE(levels.parse(kData + "levels.xml"));
    for (uint16_t t : producibleTypes(ObjectClass::Poi))
        EXPECT_TRUE(listed(levels.poiTypes(), t)) << t;
    for (uint16_t t : producibleTypes(ObjectClass::Polyline))
        EXPECT_TRUE(listed(levels.polylineTypes(), t)) << t;
    for (uint16_t t : producibleTypes(ObjectClass::Polygon))
        EXPECT_TRUE(listed(levels.polygonTypes(), t)) << t;
    EXPECT_GT(levels.maxPriority(), 1);
}

// The navigator's icon table, as runs of codes (first, last, step).
struct IconRun {
    uint16_t first, last, step;
};
constexpr IconRun kIconRuns[] = {
    {0x0100, 0x1200, 0x100}, {0x1400, 0x1500, 0x100}, {0x1E00, 0x1F00, 0x100},
    {0x2800, 0x2800, 1},     {0x1C00, 0x1C0B, 1},     {0x1D00, 0x1D00, 1},
    {0x2000, 0x2100, 0x100}, {0x210F, 0x210F, 1},     {0x2200, 0x2700, 0x100},
    {0x2900, 0x2900, 1},     {0x2A00, 0x2A12, 1},     {0x2B00, 0x2B04, 1},
    {0x2C00, 0x2C0B, 1},     {0x2D00, 0x2D0B, 1},     {0x2E00, 0x2E0B, 1},
    {0x2F00, 0x2F17, 1},     {0x3000, 0x3008, 1},     {0x4000, 0x5900, 0x100},
    {0x5901, 0x5905, 1},     {0x5A00, 0x5E00, 0x100}, {0x6000, 0x6300, 0x100},
    {0x6400, 0x6416, 1},     {0x6500, 0x6513, 1},     {0x6600, 0x6618, 1},
    {0x1600, 0x1616, 1},     {0xF001, 0xF00B, 1},     {0xF101, 0xF106, 1},
    {0xF201, 0xF204, 1},     {0xF301, 0xF30D, 1},     {0xF401, 0xF406, 1},
    {0xF501, 0xF505, 1},
};

bool hasIcon(uint16_t type) {
    for (const IconRun& r : kIconRuns)
        if (type >= r.first && type <= r.last && (type - r.first) % r.step == 0) return true;
    return false;
}

TEST(PoiTypes, EveryPoiTypeHasAnIcon) {
    for (uint16_t t : producibleTypes(ObjectClass::Poi)) EXPECT_TRUE(hasIcon(t)) << std::hex << t;
}

TEST(PolylineTypes, StayWithinTheStyleTable) {
    for (uint16_t t : producibleTypes(ObjectClass::Polyline)) {
        EXPECT_GE(t, 0x01);
        EXPECT_LE(t, 0x48);
    }
}

} // namespace
} // namespace tevo::tvmc
