// The menu file reader: sections, records, fonts and colours.
#include "config/menu_xml.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tevo {
namespace {

cMenuXML readMenu(const std::string& body) {
    test::TempDir folder;
    cMenuXML menu;
    menu.parse(folder.write("menu.xml", "<?xml version=\"1.0\"?><menu>" + body + "</menu>"));
    return menu;
}

TEST(MenuXml, ButtonTakesImageIconCaptionCommandAndPosition) {
    const cMenuXML menu =
        readMenu("<navigationscreen><button image=\"pictures/b.png\"><coord>10,20</coord>"
                 "<ico>pictures/i.png</ico><text>Zoom</text><callback>callBackPlus</callback>"
                 "</button></navigationscreen>");
    ASSERT_EQ(menu.navigation().size(), 1u);
    const MenuRecord& r = menu.navigation()[0];
    EXPECT_EQ(r.type, MenuRecord::Button);
    EXPECT_EQ(r.name, u"pictures/b.png");
    EXPECT_EQ(r.position, (std::array<int32_t, 4>{10, 20, 0, 0}));
    EXPECT_EQ(r.icon, u"pictures/i.png");
    EXPECT_EQ(r.text, u"Zoom");
    EXPECT_EQ(r.callback, u"callBackPlus");
}

TEST(MenuXml, RecordsGoToTheirScreenInFileOrder) {
    const cMenuXML menu = readMenu("<main><label><text>one</text></label>"
                                   "<button image=\"x.png\"/><label><text>two</text></label></main>"
                                   "<satellites><label><text>sat</text></label></satellites>");
    ASSERT_EQ(menu.main().size(), 3u);
    EXPECT_EQ(menu.main()[0].text, u"one");
    EXPECT_EQ(menu.main()[1].type, MenuRecord::Button);
    EXPECT_EQ(menu.main()[2].text, u"two");
    ASSERT_EQ(menu.satellites().size(), 1u);
    EXPECT_TRUE(menu.navigation().empty());
}

TEST(MenuXml, SkyTakesCentreAxesAndPictures) {
    const cMenuXML menu =
        readMenu("<satellites><sky><center>232,252</center><a>170</a><b>160</b>"
                 "<active>act.png</active><inactive>ina.png</inactive></sky></satellites>");
    ASSERT_EQ(menu.satellites().size(), 1u);
    const MenuRecord& r = menu.satellites()[0];
    EXPECT_EQ(r.type, MenuRecord::Sky);
    EXPECT_EQ(r.position[0], 232);
    EXPECT_EQ(r.position[1], 252);
    EXPECT_EQ(r.a, 170);
    EXPECT_EQ(r.b, 160);
    EXPECT_EQ(r.activePicture, u"act.png");
    EXPECT_EQ(r.inactivePicture, u"ina.png");
}

TEST(MenuXml, ButtonInsideAFontIsDropped) {
    const cMenuXML menu = readMenu("<fontlabel size=\"14\"><button image=\"x.png\"/></fontlabel>"
                                   "<main><button image=\"y.png\"/></main>");
    ASSERT_EQ(menu.main().size(), 1u);
    EXPECT_EQ(menu.main()[0].name, u"y.png");
    EXPECT_TRUE(menu.navigation().empty());
    EXPECT_TRUE(menu.satellites().empty());
}

TEST(MenuXml, FontSizesComeFromTheFirstAttributeWhateverItsName) {
    const cMenuXML menu = readMenu("<fontbutton pt=\"18\"/><fontlabel size=\"9\"/>");
    EXPECT_EQ(menu.buttonFontSize, 18);
    EXPECT_EQ(menu.labelFontSize, 9);
}

TEST(MenuXml, FontWithoutAttributesHasSizeZero) {
    EXPECT_EQ(readMenu("<fontbutton/>").buttonFontSize, 0);
    EXPECT_EQ(readMenu("").buttonFontSize, cMenuXML::kDefaultFontSize);
}

struct ColourCase {
    const char* element;
    const char* text;
    uint32_t button;
    uint32_t label;
};

class MenuColour : public testing::TestWithParam<ColourCase> {};

TEST_P(MenuColour, ReadsHexIntoTheFontOfItsSection) {
    const ColourCase& c = GetParam();
    const std::string body = std::string("<") + c.element + " s=\"12\"><color>" + c.text +
                             "</color></" + c.element + ">";
    const cMenuXML menu = readMenu(body);
    EXPECT_EQ(menu.buttonColour, c.button);
    EXPECT_EQ(menu.labelColour, c.label);
}

// The lowest byte is red: FF0000 is blue, 0000FF red.
INSTANTIATE_TEST_SUITE_P(Cases, MenuColour,
                         testing::Values(ColourCase{"fontbutton", "FF0000", 0xFF0000u, 0},
                                         ColourCase{"fontbutton", "0000FF", 0x0000FFu, 0},
                                         ColourCase{"fontlabel", "ffffff", 0, 0xFFFFFFu},
                                         ColourCase{"fontlabel", "0x12ab", 0, 0x12ABu},
                                         ColourCase{"fontlabel", "zz", 0, 0},
                                         ColourCase{"main", "FFFFFF", 0, 0}));

// The search screen's keyboard and list take four numbers: their rectangle.
// The screen's end closes it, so that a control after it goes to no screen;
// a rectangle off every screen is refused whole.
TEST(MenuXml, SearchScreenTakesKeyboardAndResultRectangles) {
    const cMenuXML menu = readMenu(
        "<search><keyboard image=\"k.png\"><coord>4,300,476,560</coord>"
        "<pressed>kp.png</pressed></keyboard><results image=\"r.png\"><coord>8,64,472</coord>"
        "</results><keyboard image=\"k.png\"><coord>1,2,3,99999</coord></keyboard></search>"
        "<label><text>after</text></label>");
    ASSERT_EQ(menu.search().size(), 3u);
    const MenuRecord& keys = menu.search()[0];
    EXPECT_EQ(keys.type, MenuRecord::Keyboard);
    EXPECT_EQ(keys.name, u"k.png");
    EXPECT_EQ(keys.pressedPicture, u"kp.png");
    EXPECT_EQ(keys.position, (std::array<int32_t, 4>{4, 300, 476, 560}));
    EXPECT_EQ(menu.search()[1].type, MenuRecord::Results);
    EXPECT_EQ(menu.search()[1].position, (std::array<int32_t, 4>{8, 64, 472, 0}));
    EXPECT_EQ(menu.search()[2].position, (std::array<int32_t, 4>{}));
    EXPECT_TRUE(menu.navigation().empty() && menu.main().empty() && menu.satellites().empty());
}

TEST(MenuXml, SecondSkyFollowsTheFirst) {
    const cMenuXML menu =
        readMenu("<satellites><sky><a>1</a></sky><sky><a>2</a></sky></satellites>");
    ASSERT_EQ(menu.satellites().size(), 2u);
    EXPECT_EQ(menu.satellites()[1].a, 2);
    EXPECT_EQ(menu.satellites()[1].b, 0); // a new record, nothing carried over
}

TEST(MenuXml, BrokenFileKeepsRecordsReadBeforeTheError) {
    test::TempDir folder;
    cMenuXML menu;
    EXPECT_FALSE(menu.parse(folder.write(
        "menu.xml", "<menu><main><label><text>kept</text></label><label><text>x</main>")));
    ASSERT_EQ(menu.main().size(), 1u);
    EXPECT_EQ(menu.main()[0].text, u"kept");
}

TEST(MenuXml, MissingFileGivesEmptyLists) {
    cMenuXML menu;
    EXPECT_FALSE(menu.parse("/nonexistent/menu.xml"));
    EXPECT_TRUE(menu.navigation().empty());
    EXPECT_TRUE(menu.main().empty());
    EXPECT_TRUE(menu.satellites().empty());
}

} // namespace
} // namespace tevo
