#include "config/vsa.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

namespace tevo {
namespace {

using test::TempDir;
using Entry = cVSA::Entry;

std::string speed(int kmh, const std::string& children) {
    return "<speed kmh=\"" + std::to_string(kmh) + "\">" + children + "</speed>";
}

std::string entry(int kmh, int tenths, int angle) {
    return speed(kmh, "<scale>" + std::to_string(tenths) + "</scale><angle>" +
                          std::to_string(angle) + "</angle>");
}

void parseInto(cVSA& vsa, const std::string& file) {
    TempDir folder;
    testing::internal::CaptureStdout();
    vsa.parse(folder.write("vsa.xml", file));
    testing::internal::GetCapturedStdout();
}

struct LookupCase {
    const char* label;
    std::string entries; // the file between <vsa> and </vsa>
    int32_t speed;
    Entry expected;
};

class VsaLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(VsaLookupTest, GivesScaleAndAngleForTheSpeed) {
    cVSA vsa;
    parseInto(vsa, "<vsa>" + GetParam().entries + "</vsa>");
    const Entry got = vsa.lookup(GetParam().speed);
    EXPECT_EQ(got.speed, GetParam().expected.speed);
    EXPECT_FLOAT_EQ(got.scale, GetParam().expected.scale);
    EXPECT_EQ(got.angle, GetParam().expected.angle);
}

const std::string kTwo = entry(0, 10, 90) + entry(100, 30, 60);
const std::string kFromTen = entry(10, 10, 90) + entry(110, 30, 60);

INSTANTIATE_TEST_SUITE_P(
    Tables, VsaLookupTest,
    testing::Values(
        LookupCase{"HalfwayScaleAngleOfLower", kTwo, 50, {50, 2.0f, 90}},
        LookupCase{"AtAnEntryItsAngle", kTwo, 100, {100, 3.0f, 60}},
        LookupCase{"JustBelowAnEntryTheLowerAngle", kTwo, 99, {99, 2.98f, 90}},
        LookupCase{"AtTheFirstEntry", kTwo, 0, {0, 1.0f, 90}},
        LookupCase{"AboveTheLastTheLastItself", kTwo, 150, {100, 3.0f, 60}},
        LookupCase{"FarAboveTheLast", kTwo, INT_MAX, {100, 3.0f, 60}},
        LookupCase{"BelowTheFirstKeepsTheSlope", kFromTen, 0, {0, 0.8f, 90}},
        // Far below, the slope would give a negative scale and step the
        // angle past the vertical.
        LookupCase{"FarBelowTheFirstStaysSane",
                   entry(50, 10, 90) + entry(60, 20, 60),
                   0,
                   {0, cVSA::kMinScale, 90}},
        LookupCase{"NegativeExtremeSpeed", kFromTen, INT_MIN, {INT_MIN, cVSA::kMinScale, 90}},
        LookupCase{"MiddleOfThree", kTwo + entry(200, 50, 40), 150, {150, 4.0f, 60}},
        LookupCase{"NoEntries", "", 70, {70, 1.0f, 90}},
        LookupCase{"OtherElementsOnly", "<scale>30</scale><angle>10</angle>", 70, {70, 1.0f, 90}},
        LookupCase{"OneEntryBelowIt", entry(50, 20, 60), 0, {0, 2.0f, 60}},
        LookupCase{"OneEntryAtIt", entry(50, 20, 60), 50, {50, 2.0f, 60}},
        LookupCase{"OneEntryAboveIt", entry(50, 20, 60), 80, {50, 2.0f, 60}},
        LookupCase{"RepeatedSpeedFirstStays",
                   entry(50, 10, 90) + entry(50, 30, 60) + entry(100, 40, 50),
                   50,
                   {50, 1.0f, 90}},
        LookupCase{"FallingSpeedSkipped",
                   entry(50, 10, 90) + entry(40, 30, 60) + entry(100, 40, 50),
                   75,
                   {75, 2.5f, 90}},
        LookupCase{"ZeroScaleAnswersTheSmallest",
                   entry(0, 0, 90) + entry(10, 0, 90),
                   5,
                   {5, cVSA::kMinScale, 90}},
        LookupCase{"ZeroScaleAboveTheLast", entry(0, 0, 90), 10, {0, cVSA::kMinScale, 90}}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.label; });

struct ReadCase {
    const char* label;
    std::string file;
    std::vector<Entry> entries;
};

class VsaReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(VsaReadTest, ReadsTheEntries) {
    cVSA vsa;
    parseInto(vsa, GetParam().file);
    EXPECT_EQ(vsa.entries(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Files, VsaReadTest,
    testing::Values(
        ReadCase{"ScaleInTenths", "<v>" + entry(20, 15, 80) + "</v>", {{20, 1.5f, 80}}},
        ReadCase{"NonNumericScaleIsZero",
                 "<v>" + speed(5, "<scale>x</scale>") + "</v>",
                 {{5, 0.0f, 90}}},
        ReadCase{"OmittedValuesKeepThePrevious",
                 "<v>" + entry(0, 20, 80) + speed(50, "<angle>60</angle>") +
                     speed(90, "<scale>40</scale>") + "</v>",
                 {{0, 2.0f, 80}, {50, 2.0f, 60}, {90, 4.0f, 60}}},
        ReadCase{
            "FirstEntryWithoutValuesIsNeutral", "<v>" + speed(10, "") + "</v>", {{10, 1.0f, 90}}},
        ReadCase{"SpeedFromTheFirstAttribute",
                 "<v><speed a=\"7\" kmh=\"9\"><scale>10</scale></speed></v>",
                 {{7, 1.0f, 90}}},
        ReadCase{"SpeedWithoutAttributeIsZero",
                 "<v><speed><angle>45</angle></speed></v>",
                 {{0, 1.0f, 45}}},
        ReadCase{"ValuesOnLinesOfTheirOwn",
                 "<v>\n <speed kmh=\"30\">\n  <scale>\n   12\n  </scale>\n  <angle>\n   65\n"
                 "  </angle>\n </speed>\n</v>\n",
                 {{30, 1.2f, 65}}},
        ReadCase{"TextOutsideValuesIgnored",
                 "<v>99<speed kmh=\"1\">88<scale>10</scale>77</speed></v>",
                 {{1, 1.0f, 90}}},
        ReadCase{"EntryCutByAnErrorNotListed",
                 "<v>" + entry(0, 10, 90) + "<speed kmh=\"50\"><scale>20</scale>&</speed></v>",
                 {{0, 1.0f, 90}}},
        ReadCase{"EmptyFile", "", {}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.label; });

TEST(VsaShippedFile, SuitsACar) {
    cVSA vsa;
    ASSERT_TRUE(vsa.parse(std::string(TEVO_SOURCE_DIR) + "/data/vsa.xml"));
    ASSERT_GE(vsa.entries().size(), 2u);
    // The pointer sits near the bottom of the 480 x 640 window, so the map
    // shows about 480 pixels ahead of it; the scale is metres per pixel.
    constexpr float kPixelsAhead = 480.0f;
    const float city = kPixelsAhead * vsa.lookup(30).scale;
    const float motorway = kPixelsAhead * vsa.lookup(130).scale;
    EXPECT_GT(city, 200.0f);
    EXPECT_LT(city, 800.0f);
    EXPECT_GT(motorway, 2000.0f);
    EXPECT_LT(motorway, 6000.0f);
    // Zoom out and tilt never go back as the speed rises.
    for (int32_t kmh = 1; kmh <= 250; ++kmh) {
        EXPECT_GE(vsa.lookup(kmh).scale, vsa.lookup(kmh - 1).scale) << kmh;
        EXPECT_LE(vsa.lookup(kmh).angle, vsa.lookup(kmh - 1).angle) << kmh;
    }
    EXPECT_LE(vsa.lookup(0).angle, 90);
    EXPECT_GE(vsa.lookup(250).angle, 0);
}

} // namespace
} // namespace tevo
