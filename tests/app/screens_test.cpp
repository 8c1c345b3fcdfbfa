// The screens: switching, commands, the return button, label tokens.
#include "app/screen_set.hpp"
#include "app/screen_steps.hpp"

#include "ui/button.hpp"
#include "ui/label.hpp"

#include <gtest/gtest.h>

namespace tevo {
namespace {

std::unique_ptr<cPanel> panel() {
    return std::make_unique<cPanel>(0, 0, 480, 640, nullptr);
}

// A control with a rectangle, as a button whose image loaded would have.
std::unique_ptr<cControl> control(ControlCallback callback) {
    auto c = std::make_unique<cControl>(10, 10, 50, 50, nullptr);
    c->setCallback(callback);
    return c;
}

void otherCommand(int32_t) {}
void returnCommand(int32_t) {}

struct CycleCase {
    int32_t from;
    bool mainMenu;
    bool satellites;
    int32_t to;
};

class F4Cycle : public testing::TestWithParam<CycleCase> {};

TEST_P(F4Cycle, GoesToTheNextBuiltScreen) {
    const CycleCase& c = GetParam();
    ScreenSet screens;
    screens.navigation = panel();
    if (c.mainMenu) screens.mainMenu = panel();
    if (c.satellites) screens.satellites = panel();
    screens.currentScreen = c.from;
    screens.cycleScreen();
    EXPECT_EQ(screens.currentScreen, c.to);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, F4Cycle,
    testing::Values(CycleCase{ScreenNavigation, true, true, ScreenSatellites},
                    CycleCase{ScreenSatellites, true, true, ScreenMainMenu},
                    CycleCase{ScreenMainMenu, true, true, ScreenNavigation},
                    // Without a satellites screen the key does nothing on the map.
                    CycleCase{ScreenNavigation, true, false, ScreenNavigation},
                    // Without a main menu it alternates between map and satellites.
                    CycleCase{ScreenSatellites, false, true, ScreenNavigation}));

TEST(ScreenCommands, ScreenSwitchSkipsScreensNotBuilt) {
    ScreenSet screens;
    screens.navigation = panel();
    screens.showScreen(ScreenMainMenu);
    EXPECT_EQ(screens.currentScreen, ScreenNavigation);
    screens.satellites = panel();
    screens.showScreen(ScreenSatellites);
    EXPECT_EQ(screens.currentScreen, ScreenSatellites);
    // A menu file of before the search screen has none to show.
    screens.showScreen(ScreenSearch);
    EXPECT_EQ(screens.currentScreen, ScreenSatellites);
}

struct NameCase {
    const char16_t* name;
    bool bound;
};

class CommandNames : public testing::TestWithParam<NameCase> {};

TEST_P(CommandNames, BindExactlyTheirNames) {
    ScreenSet screens;
    screens.commands.fill(otherCommand);
    cControl c(0, 0, 1, 1, nullptr);
    EXPECT_EQ(screens.lookupCommand(GetParam().name, c), GetParam().bound);
    EXPECT_EQ(c.callback() != nullptr, GetParam().bound);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandNames,
    testing::Values(NameCase{u"callBackExit", true}, NameCase{u"callBackPlus", true},
                    NameCase{u"callBackMinus", true}, NameCase{u"callBackNavigation", true},
                    NameCase{u"callBackMainMenu", true}, NameCase{u"callBackSatellites", true},
                    NameCase{u"callBackReturnPosition", true}, NameCase{u"callBackSearch", true},
                    NameCase{u"callbackexit", false}, NameCase{u"callBackExit ", false},
                    NameCase{u"", false}));

TEST(ReturnButton, AbsentWithoutAControlBoundToIt) {
    ScreenSet screens;
    screens.commands[CommandReturnPosition] = returnCommand;
    screens.navigation = panel();
    screens.navigation->add(control(otherCommand));
    EXPECT_EQ(screens.returnButtonState(), ReturnButton::Absent);
    screens.hideReturnButton(); // nothing to hide, nothing happens
}

TEST(ReturnButton, FoundOnTheMainMenuWhenOnlyThere) {
    ScreenSet screens;
    screens.commands[CommandReturnPosition] = returnCommand;
    screens.navigation = panel();
    screens.mainMenu = panel();
    screens.mainMenu->add(control(returnCommand));
    EXPECT_EQ(screens.returnButtonState(), ReturnButton::Shown);
    screens.hideReturnButton();
    EXPECT_EQ(screens.returnButtonState(), ReturnButton::Hidden);
    EXPECT_FALSE(screens.mainMenu->control(0)->active());
}

TEST(ReturnButton, OnlyTheFirstOfTwoIsHiddenAndShown) {
    ScreenSet screens;
    screens.commands[CommandReturnPosition] = returnCommand;
    screens.navigation = panel();
    screens.navigation->add(control(returnCommand));
    screens.navigation->add(control(returnCommand));
    screens.hideReturnButton();
    EXPECT_FALSE(screens.navigation->control(0)->active());
    EXPECT_TRUE(screens.navigation->control(1)->active());
    screens.showReturnButton();
    EXPECT_EQ(screens.returnButtonState(), ReturnButton::Shown);
}

TEST(ReturnButton, HiddenButtonTakesNoTouch) {
    ScreenSet screens;
    screens.commands[CommandReturnPosition] = returnCommand;
    screens.navigation = panel();
    screens.navigation->add(control(returnCommand));
    screens.hideReturnButton();
    EXPECT_FALSE(screens.currentPanel()->press(20, 20));
}

TEST(LabelTokens, TokenMakesTheLabelFollowTheStatusText) {
    ScreenSet screens;
    cLabel label(0, 0, 0, 0, nullptr);
    screens.bindLabelText(label, u"@SPEED@");
    EXPECT_TRUE(label.sharedText());
    screens.setStatusText(TextSpeed, u"42 км/ч");
    ASSERT_NE(label.text(), nullptr);
    EXPECT_EQ(*label.text(), u"42 км/ч");
}

TEST(LabelTokens, OtherTextsAreCopied) {
    ScreenSet screens;
    for (const char16_t* text : {u"@speed@", u"@SPEED@ ", u"Скорость"}) {
        cLabel label(0, 0, 0, 0, nullptr);
        screens.bindLabelText(label, text);
        EXPECT_FALSE(label.sharedText());
        ASSERT_NE(label.text(), nullptr);
        EXPECT_EQ(*label.text(), text);
    }
}

TEST(LabelTokens, EveryTokenHasItsText) {
    ScreenSet screens;
    for (int32_t i = 0; i < kStatusTextCount; ++i) {
        cLabel label(0, 0, 0, 0, nullptr);
        screens.bindLabelText(label, ScreenSet::kTokens[i]);
        screens.setStatusText(static_cast<StatusText>(i), u"x");
        EXPECT_EQ(label.text(), &screens.statusText(static_cast<StatusText>(i)));
    }
}

TEST(StatusTexts, AreCutToTheirBuffer) {
    ScreenSet screens;
    screens.setStatusText(TextMode, u"abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(screens.statusText(TextMode).size(), ScreenSet::kStatusTextLimit);
}

} // namespace
} // namespace tevo
