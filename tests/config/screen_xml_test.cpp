#include "config/screen_xml.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tevo {
namespace {

using test::TempDir;

struct Parsed {
    cScreenXML screen;
    bool result = false;
};

// Parses `text` as screen.xml (console output of a parse error swallowed).
std::unique_ptr<Parsed> parseText(const std::string& text) {
    TempDir folder;
    auto parsed = std::make_unique<Parsed>();
    testing::internal::CaptureStdout();
    parsed->result = parsed->screen.parse(folder.write("screen.xml", text));
    testing::internal::GetCapturedStdout();
    return parsed;
}

TEST(ScreenXmlTest, ReadsEveryFieldOfAnEntry) {
    const auto parsed = parseText("<?xml version=\"1.0\"?>\n"
                                  "<screens>\n"
                                  " <resolution name=\"defaultWindows\">\n"
                                  "  <windowMode/>\n"
                                  "  <width>480</width><height>640</height><bpp>16</bpp>\n"
                                  "  <menu>menu.xml</menu>\n"
                                  "  <splashscreen>splash.png</splashscreen>\n"
                                  "  <pointer>pointer.png</pointer><compas>compass.png</compas>\n"
                                  "  <poi>poi.png</poi><poisize>16,16</poisize>\n"
                                  "  <coord>10,20,30,40</coord><textcoord>240,600</textcoord>\n"
                                  "  <pointer2Dcoord>240,480</pointer2Dcoord>\n"
                                  "  <pointer3Dcoord>240,560</pointer3Dcoord>\n"
                                  "  <compascoord>5,6</compascoord><scalecoord>7,8</scalecoord>\n"
                                  "  <scalelength>100</scalelength>\n"
                                  " </resolution>\n"
                                  "</screens>\n");
    ASSERT_TRUE(parsed->result);
    ResolutionEntry expected;
    expected.name = u"defaultWindows";
    expected.fullScreen = false;
    expected.width = 480;
    expected.height = 640;
    expected.bpp = 16;
    expected.menu = u"menu.xml";
    expected.splash = u"splash.png";
    expected.pointer = u"pointer.png";
    expected.compass = u"compass.png";
    expected.poi = u"poi.png";
    expected.poisize = {16, 16, 0, 0};
    expected.coord = {10, 20, 0, 0};
    expected.textcoord = {240, 600, 0, 0};
    expected.pointer2Dcoord = {240, 480};
    expected.pointer3Dcoord = {240, 560};
    expected.compascoord = {5, 6};
    expected.scalecoord = {7, 8};
    expected.scalelength = 100;
    EXPECT_EQ(parsed->screen.lookup(u"defaultWindows"), expected);
}

TEST(ScreenXmlTest, WindowModeAffectsItsOwnEntryOnly) {
    const auto parsed =
        parseText("<s><resolution name=\"a\"><windowMode/></resolution>"
                  "<resolution name=\"b\"><width>1</width></resolution>"
                  "<resolution name=\"c\"><windowMode></windowMode></resolution></s>");
    const cScreenXML& screen = parsed->screen;
    ASSERT_EQ(screen.entries().size(), 3u);
    EXPECT_FALSE(screen.lookup(u"a").fullScreen);
    EXPECT_TRUE(screen.lookup(u"b").fullScreen);
    EXPECT_FALSE(screen.lookup(u"c").fullScreen);
    // Each entry starts afresh: nothing of b leaks into c.
    EXPECT_EQ(screen.lookup(u"c").width, 0);
}

struct LookupCase {
    const char* label;
    std::string file;
    std::u16string name;
    bool found;
    int32_t width; // of the entry returned
};

class ScreenXmlLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(ScreenXmlLookupTest, FindsFirstEntryWithExactName) {
    const auto parsed = parseText(GetParam().file);
    const ResolutionEntry entry = parsed->screen.lookup(GetParam().name);
    if (GetParam().found) {
        EXPECT_EQ(entry.name, GetParam().name);
        EXPECT_TRUE(entry.fullScreen);
        EXPECT_EQ(entry.width, GetParam().width);
    } else {
        EXPECT_EQ(entry, ResolutionEntry{});
        EXPECT_FALSE(entry.fullScreen);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScreenXmlLookupTest,
    testing::Values(
        LookupCase{"Plain", "<s><resolution name=\"w\"><width>9</width></resolution></s>", u"w",
                   true, 9},
        LookupCase{"FirstDuplicateWins",
                   "<s><resolution name=\"w\"><width>1</width></resolution>"
                   "<resolution name=\"w\"><width>2</width></resolution></s>",
                   u"w", true, 1},
        // The first attribute is the name, whatever it is called.
        LookupCase{"AnyAttributeName",
                   "<s><resolution id=\"w\" name=\"x\"><width>3</width></resolution></s>", u"w",
                   true, 3},
        LookupCase{"SecondAttributeIsNotTheName",
                   "<s><resolution id=\"w\" name=\"x\"><width>3</width></resolution></s>", u"x",
                   false, 0},
        LookupCase{"NoAttribute", "<s><resolution><width>3</width></resolution></s>",
                   u"defaultWindows", false, 0},
        LookupCase{"CaseSensitive", "<s><resolution name=\"W\"><width>3</width></resolution></s>",
                   u"w", false, 0},
        LookupCase{"NonAsciiName",
                   "<s><resolution name=\"\xC3\xA9\"><width>4</width></resolution></s>", u"\u00E9",
                   true, 4},
        LookupCase{"EmptyFile", "", u"w", false, 0},
        // An entry cut by a parse error is not listed; the ones before it are.
        LookupCase{"BrokenEntryNotListed",
                   "<s><resolution name=\"a\"><width>1</width></resolution>"
                   "<resolution name=\"w\"><width>2</width><oops></resolution></s>",
                   u"w", false, 0},
        LookupCase{"EntryBeforeBrokenOneListed",
                   "<s><resolution name=\"a\"><width>1</width></resolution>"
                   "<resolution name=\"w\"><width>2</width><oops></resolution></s>",
                   u"a", true, 1}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.label; });

TEST(ScreenXmlTest, TextFieldKeepsEveryPiece) {
    // A character reference makes Expat deliver the text in several pieces.
    const auto parsed =
        parseText("<s><resolution name=\"w\"><menu>first&#x41;second</menu></resolution></s>");
    EXPECT_EQ(parsed->screen.lookup(u"w").menu, u"firstAsecond");
}

TEST(ScreenXmlTest, TextFieldIsCutTo255Units) {
    const auto parsed = parseText("<s><resolution name=\"w\"><splashscreen>" +
                                  std::string(300, 'p') + "</splashscreen></resolution></s>");
    EXPECT_EQ(parsed->screen.lookup(u"w").splash, std::u16string(255, u'p'));
}

TEST(ScreenXmlTest, ChildOutsideAnyEntryWritesIntoTheEntryBeingFilled) {
    // After a's end tag, width still goes into the entry being filled; it shows
    // only once another resolution end tag lists that entry again.
    const auto parsed = parseText("<s><resolution name=\"outer\">"
                                  "<resolution name=\"a\"><width>1</width></resolution>"
                                  "<width>7</width></resolution>"
                                  "<height>5</height></s>");
    const auto& entries = parsed->screen.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, u"a");
    EXPECT_EQ(entries[0].width, 1);
    EXPECT_EQ(entries[1].name, u"a");
    EXPECT_EQ(entries[1].width, 7);
    EXPECT_EQ(entries[1].height, 0);
}

TEST(ScreenXmlTest, TextOfContainersIsIgnored) {
    const auto parsed = parseText("<s>junk<resolution name=\"w\">12<windowMode>34</windowMode>"
                                  "<menu>m</menu>56<unknown>u</unknown></resolution></s>");
    ResolutionEntry expected;
    expected.name = u"w";
    expected.menu = u"m";
    EXPECT_EQ(parsed->screen.lookup(u"w"), expected);
}

TEST(ScreenXmlTest, UnknownChildKeepsTheValueKind) {
    const auto parsed = parseText("<s><resolution name=\"w\"><width><b/>800</width>"
                                  "<menu><i>x</i>m.xml</menu></resolution></s>");
    EXPECT_EQ(parsed->screen.lookup(u"w").width, 800);
    EXPECT_EQ(parsed->screen.lookup(u"w").menu, u"m.xml");
}

TEST(ScreenXmlTest, ShippedLayoutHasTheDefaultWindow) {
    cScreenXML screen;
    const std::string path = std::string(TEVO_SOURCE_DIR) + "/data/screen.xml";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no data/screen.xml yet";
    ASSERT_TRUE(screen.parse(path));
    const ResolutionEntry entry = screen.lookup(u"defaultWindows");
    EXPECT_EQ(entry.name, u"defaultWindows");
    EXPECT_GT(entry.width, 0);
    EXPECT_GT(entry.height, 0);
}

} // namespace
} // namespace tevo
