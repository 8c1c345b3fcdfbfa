#include "config/config_xml.hpp"

#include "support/default_config.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tevo {
namespace {

using test::TempDir;

// The file a fresh object writes: no receiver chosen, no view state stored.
const std::string kDefaultFile = test::kDefaultConfigXml;

// Parses `text` as config.xml into a fresh object.
cConfigXML parseText(const std::string& text, bool* result = nullptr) {
    TempDir folder;
    cConfigXML config;
    testing::internal::CaptureStdout();
    const bool ok = config.parse(folder.write("config.xml", text));
    testing::internal::GetCapturedStdout();
    if (result) *result = ok;
    return config;
}

TEST(ConfigXmlTest, DefaultObjectWritesTheNineteenLines) {
    TempDir folder;
    const cConfigXML config;
    EXPECT_EQ(config.render(), kDefaultFile);
    ASSERT_TRUE(config.write(folder.file("config.xml")));
    EXPECT_EQ(test::readFile(folder.file("config.xml")), kDefaultFile);
}

TEST(ConfigXmlTest, EmptyOrMissingFileKeepsDefaults) {
    bool result = true;
    EXPECT_EQ(parseText("", &result).render(), kDefaultFile);
    EXPECT_FALSE(result);

    TempDir folder;
    cConfigXML config;
    EXPECT_FALSE(config.parse(folder.file("absent.xml")));
    EXPECT_EQ(config.render(), kDefaultFile);
}

TEST(ConfigXmlTest, OnlyScaleKeepsEveryOtherDefault) {
    const cConfigXML config =
        parseText("<config><navigation><scale>2.5</scale></navigation></config>");
    cConfigXML expected;
    expected.scale = 2.5f;
    EXPECT_EQ(config.render(), expected.render());
}

TEST(ConfigXmlTest, ReadsEverySetting) {
    const cConfigXML config =
        parseText("<?xml version=\"1.0\"?>\n"
                  "<config>\n"
                  " <device><port>3</port><baudrate>4800</baudrate></device>\n"
                  " <navigation>\n"
                  "  <orientation>2</orientation>\n"
                  "  <minangle>7</minangle><minspeed>9</minspeed>\n"
                  "  <viewpos>120,80</viewpos>\n"
                  "  <mapposabs>37.617778,55.755833</mapposabs>\n"
                  "  <viewto>1</viewto><scale>0.0001</scale>\n"
                  "  <scaleuser>1.5</scaleuser><axy>-45.5</axy>\n"
                  "  <ayz>20</ayz><ayzuser>30</ayzuser>\n"
                  " </navigation>\n"
                  "</config>\n");
    EXPECT_EQ(config.port, 3);
    EXPECT_EQ(config.baudrate, 4800);
    EXPECT_EQ(config.orientation, 2);
    EXPECT_EQ(config.minangle, 7);
    EXPECT_EQ(config.minspeed, 9);
    EXPECT_EQ(config.viewpos, (std::array<int32_t, 2>{120, 80}));
    EXPECT_FLOAT_EQ(config.mapposabs[0], 37.617778f);
    EXPECT_FLOAT_EQ(config.mapposabs[1], 55.755833f);
    EXPECT_EQ(config.viewto, 1);
    EXPECT_FLOAT_EQ(config.scale, 0.0001f);
    EXPECT_FLOAT_EQ(config.scaleuser, 1.5f);
    EXPECT_FLOAT_EQ(config.axy, -45.5f);
    EXPECT_FLOAT_EQ(config.ayz, 20.0f);
    EXPECT_FLOAT_EQ(config.ayzuser, 30.0f);
}

TEST(ConfigXmlTest, WrittenFileRoundsToSixDigitsAndDropsOrientation) {
    const cConfigXML config = parseText("<config><device><port>12</port></device><navigation>"
                                        "<orientation>2</orientation>"
                                        "<mapposabs>37.617778,55.755833</mapposabs>"
                                        "<scale>0.0001</scale><axy>123.456789</axy>"
                                        "</navigation></config>");
    const std::string text = config.render();
    EXPECT_NE(text.find("\t\t<port>12</port>\n"), std::string::npos);
    EXPECT_NE(text.find("\t\t<mapposabs>37.6178,55.7558</mapposabs>\n"), std::string::npos);
    EXPECT_NE(text.find("\t\t<scale>0.0001</scale>\n"), std::string::npos);
    EXPECT_NE(text.find("\t\t<axy>123.457</axy>\n"), std::string::npos);
    EXPECT_EQ(text.find("orientation"), std::string::npos);

    // What was written reads back as the rounded values.
    const cConfigXML again = parseText(text);
    EXPECT_EQ(again.render(), text);
    EXPECT_EQ(again.orientation, 0);
}

struct SettingCase {
    const char* label;
    std::string file;
    std::string line; // the line the setting gives in the written file
};

class ConfigXmlSettingTest : public testing::TestWithParam<SettingCase> {};

TEST_P(ConfigXmlSettingTest, ReadsIntoTheWrittenLine) {
    const std::string text = parseText(GetParam().file).render();
    EXPECT_NE(text.find(GetParam().line), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigXmlSettingTest,
    testing::Values(
        SettingCase{"PairWithoutComma", "<config><viewpos>120</viewpos></config>",
                    "\t\t<viewpos>120,0</viewpos>\n"},
        SettingCase{"NotANumber", "<config><minangle>abc</minangle></config>",
                    "\t\t<minangle>0</minangle>\n"},
        SettingCase{"FloatNotANumber", "<config><ayz>nan</ayz></config>", "\t\t<ayz>0</ayz>\n"},
        // Elements are recognised by name wherever they stand.
        SettingCase{"OutsideItsContainer", "<config><port>5</port><scale>3</scale></config>",
                    "\t\t<scale>3</scale>\n"},
        SettingCase{"DeeplyNested", "<a><b><c><minspeed>11</minspeed></c></b></a>",
                    "\t\t<minspeed>11</minspeed>\n"},
        // Text after a container's end tag belongs to no setting.
        SettingCase{"TextAfterEndTag", "<config><port>5</port>77<navigation/>88</config>",
                    "\t\t<port>5</port>\n"},
        // Names are case-sensitive; an unknown element keeps the enclosing kind.
        SettingCase{"CaseSensitive", "<config><Port>5</Port></config>", "\t\t<port>0</port>\n"},
        SettingCase{"UnknownChildKeepsKind", "<config><port><x/>6</port></config>",
                    "\t\t<port>6</port>\n"},
        SettingCase{"TextAfterAValueIgnored",
                    "<config><navigation><scale>2.5</scale>junk</navigation></config>",
                    "\t\t<scale>2.5</scale>\n"},
        SettingCase{"TextAfterADeviceValueIgnored",
                    "<config><device><port>4</port>junk</device></config>", "\t\t<port>4</port>\n"},
        SettingCase{"LongValueCut", "<config><port>" + std::string(255, '0') + "9</port></config>",
                    "\t\t<port>0</port>\n"},
        SettingCase{"LeadingSpaceNeverCut",
                    "<config><port>" + std::string(300, ' ') + "9</port></config>",
                    "\t\t<port>9</port>\n"},
        SettingCase{"Saturates", "<config><viewto>99999999999</viewto></config>",
                    "\t\t<viewto>2147483647</viewto>\n"}),
    [](const testing::TestParamInfo<SettingCase>& info) { return info.param.label; });

TEST(ConfigXmlTest, ValuesBeforeAParseErrorStay) {
    bool result = true;
    const cConfigXML config =
        parseText("<config><port>4</port>&<scale>2</scale></config>", &result);
    EXPECT_FALSE(result);
    EXPECT_EQ(config.port, 4);
    EXPECT_FLOAT_EQ(config.scale, -1.0f);
}

TEST(ConfigXmlTest, WriteReportsFilesThatCannotBeWritten) {
    TempDir folder;
    const cConfigXML config;
    EXPECT_FALSE(config.write(folder.file("no-such-folder/config.xml")));
    EXPECT_FALSE(config.write(folder.file("")));
    // The device accepts the open but every write fails for lack of space.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(config.write("/dev/full"));
    }
}

TEST(ConfigXmlTest, WriteReplacesALongerFile) {
    TempDir folder;
    const std::string path = folder.write("config.xml", std::string(4096, 'x'));
    EXPECT_TRUE(cConfigXML().write(path));
    EXPECT_EQ(test::readFile(path), kDefaultFile);
}

} // namespace
} // namespace tevo
