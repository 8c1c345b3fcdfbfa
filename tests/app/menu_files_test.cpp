// The menu files of the program folder built into screens, one per layout:
// every button has its picture and command, and nothing leaves the window
// or overlaps another button, the search screen's keyboard or its list.
#include "app/menu_builder.hpp"
#include "app/screen_steps.hpp"

#include "support/process.hpp"
#include "ui/button.hpp"
#include "ui/keyboard.hpp"
#include "ui/label.hpp"
#include "ui/list_view.hpp"

#include <gtest/gtest.h>

#include <SDL.h>

namespace tevo {
namespace {

void command(int32_t) {}

struct LayoutCase {
    const char* menu;
    int32_t width;
    int32_t height;
};

class MenuFile : public testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        video = SDL_SetVideoMode(GetParam().width, GetParam().height, 32, SDL_SWSURFACE);
        ASSERT_NE(video, nullptr);
        screens.commands.fill(command);
        buildMenus(screens, video, std::string(TEVO_DIST_DIR) + "/",
                   std::string(TEVO_DIST_DIR) + "/" + GetParam().menu,
                   ControlRect{0, 0, GetParam().width, GetParam().height});
    }
    void TearDown() override {
        screens = ScreenSet{};
        SDL_Quit();
    }
    SDL_Surface* video = nullptr;
    ScreenSet screens;
};

// Buttons that cover the whole window (backgrounds) or carry no command
// (the sky plot) lie under the others by design; a keyboard or a result
// list takes every touch on it.
bool isCommandButton(const cControl* c) {
    if (dynamic_cast<const cKeyboard*>(c) || dynamic_cast<const cListView*>(c)) return true;
    return dynamic_cast<const cButton*>(c) != nullptr && c->callback() != nullptr;
}

bool overlap(const ControlRect& a, const ControlRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST_P(MenuFile, BuildsAllThreeScreens) {
    ASSERT_NE(screens.navigation, nullptr);
    ASSERT_NE(screens.mainMenu, nullptr);
    ASSERT_NE(screens.satellites, nullptr);
    ASSERT_NE(screens.search, nullptr);
    EXPECT_EQ(screens.returnButtonState(), ReturnButton::Shown);
    EXPECT_NE(screens.navigation->findReturnButton(command), nullptr);
    EXPECT_TRUE(screens.activeSatellite && screens.activeSatellite->loaded());
    EXPECT_TRUE(screens.inactiveSatellite && screens.inactiveSatellite->loaded());
    EXPECT_GT(screens.sky.a, 0);
    EXPECT_NE(screens.buttonFont->font(), nullptr);
    EXPECT_NE(screens.labelFont->font(), nullptr);
}

TEST_P(MenuFile, EveryButtonHasItsPictureInsideTheWindow) {
    for (cPanel* panel : {screens.navigation.get(), screens.mainMenu.get(),
                          screens.satellites.get(), screens.search.get()}) {
        for (std::size_t i = 0; i < panel->count(); ++i) {
            const auto* button = dynamic_cast<const cButton*>(panel->control(i));
            if (button == nullptr) continue;
            EXPECT_TRUE(button->hasImage()) << i;
            const ControlRect& r = button->rect();
            EXPECT_GE(r.left, 0);
            EXPECT_GE(r.top, 0);
            EXPECT_LE(r.right, GetParam().width);
            EXPECT_LE(r.bottom, GetParam().height);
        }
    }
}

TEST_P(MenuFile, CommandButtonsDoNotOverlap) {
    for (cPanel* panel : {screens.navigation.get(), screens.mainMenu.get(),
                          screens.satellites.get(), screens.search.get()}) {
        for (std::size_t i = 0; i < panel->count(); ++i) {
            for (std::size_t j = i + 1; j < panel->count(); ++j) {
                const cControl* a = panel->control(i);
                const cControl* b = panel->control(j);
                if (!isCommandButton(a) || !isCommandButton(b)) continue;
                EXPECT_FALSE(overlap(a->rect(), b->rect())) << i << " and " << j;
            }
        }
    }
}

TEST_P(MenuFile, LabelTextsStayInsideTheWindowAndOffTheButtons) {
    // Texts as wide as the widest status texts can be.
    GpsData widest{};
    widest.fix = Fix3D;
    widest.longitude = -179.9f;
    widest.latitude = -89.9f;
    widest.altitude = -10000;
    widest.speed = 1000;
    updatePositionTexts(screens, widest);
    screens.setStatusText(TextDrawTime, u"1000 мс");
    screens.setStatusText(TextMode, u"Eco");
    for (cPanel* panel : {screens.navigation.get(), screens.mainMenu.get(),
                          screens.satellites.get(), screens.search.get()}) {
        for (std::size_t i = 0; i < panel->count(); ++i) {
            auto* label = dynamic_cast<cLabel*>(panel->control(i));
            if (label == nullptr) continue;
            label->draw();
            const TextBox box = label->font()->lastBox();
            const ControlRect text{box.x, box.y, box.x + box.width, box.y + box.height};
            EXPECT_GT(box.width, 0) << i;
            EXPECT_LE(text.right, GetParam().width) << i;
            EXPECT_LE(text.bottom, GetParam().height) << i;
            for (std::size_t j = 0; j < panel->count(); ++j) {
                const cControl* other = panel->control(j);
                if (!isCommandButton(other)) continue;
                EXPECT_FALSE(overlap(text, other->rect())) << "label " << i << ", button " << j;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, MenuFile,
                         testing::Values(LayoutCase{"menu.xml", 480, 640},
                                         LayoutCase{"menu_landscape.xml", 800, 480}));

} // namespace
} // namespace tevo
