#include "ui/button.hpp"
#include "ui/label.hpp"
#include "ui/panel.hpp"
#include "ui/text_style.hpp"
#include "ui_support.hpp"

#include <unistd.h>

#include <cstdio>
#include <vector>

namespace tevo::test {
namespace {

// Callbacks record their arguments in the order they run.
std::vector<int32_t> calls;
void record(int32_t argument) {
    calls.push_back(argument);
}
void goBack(int32_t argument) {
    calls.push_back(1000 + argument);
}

// Picture files of the given size: grey with a magenta corner pixel.
class ControlsTest : public VideoTest {
protected:
    void SetUp() override {
        calls.clear();
        screen = makeSurface(200, 100, 32);
        SDL_FillRect(screen.get(), nullptr, rgb(screen.get(), 0, 128, 0));
        imagePath = writePicture("button", 100, 40, 128);
        iconPath = writePicture("icon", 16, 16, 30);
    }
    void TearDown() override {
        for (const std::string& p : written) std::remove(p.c_str());
    }
    std::string writePicture(const char* name, int w, int h, Uint8 grey) {
        const std::string path =
            ::testing::TempDir() + name + "_" + std::to_string(getpid()) + ".bmp";
        OwnedSurface s = makeSurface(w, h, 32);
        SDL_FillRect(s.get(), nullptr, rgb(s.get(), grey, grey, grey));
        SDL_Rect corner{0, 0, 1, 1};
        SDL_FillRect(s.get(), &corner, rgb(s.get(), 255, 0, 255));
        SDL_SaveBMP(s.get(), path.c_str());
        written.push_back(path);
        return path;
    }
    std::unique_ptr<cButton> button(int32_t l, int32_t t, int32_t r, int32_t b,
                                    ControlCallback cb = record, int32_t arg = 0) {
        auto button = std::make_unique<cButton>(l, t, r, b, screen.get(), imagePath);
        button->setCallback(cb, arg);
        return button;
    }

    OwnedSurface screen;
    std::string imagePath;
    std::string iconPath;
    std::vector<std::string> written;
};

TEST_F(ControlsTest, ButtonTakesItsSizeFromTheImageAndCentresIconAndCaption) {
    cButton b(10, 20, 0, 0, screen.get(), imagePath);
    ASSERT_TRUE(b.hasImage());
    EXPECT_EQ(b.rect().left, 10);
    EXPECT_EQ(b.rect().top, 20);
    EXPECT_EQ(b.rect().right, 110);
    EXPECT_EQ(b.rect().bottom, 60);
    EXPECT_EQ(b.captionX(), 60);
    EXPECT_EQ(b.captionY(), 40);
    b.setIcon(iconPath);
    ASSERT_NE(b.icon(), nullptr);
    EXPECT_EQ(b.icon()->x, 52);
    EXPECT_EQ(b.icon()->y, 32);
    EXPECT_EQ(b.captionX(), 60);
    EXPECT_EQ(b.captionY(), 54); // (16 + 20 + 60) / 4 + 60 / 2
}

TEST_F(ControlsTest, ButtonWithAGivenRectangleKeepsIt) {
    cButton b(10, 20, 50, 30, screen.get(), imagePath);
    EXPECT_EQ(b.rect().right, 50);
    EXPECT_EQ(b.rect().bottom, 30);
    EXPECT_EQ(b.frame().right, 50);
}

TEST_F(ControlsTest, AMissingIconLeavesTheCaptionAtTheImageCentre) {
    cButton b(10, 20, 0, 0, screen.get(), imagePath);
    b.setIcon("/nonexistent/icon.png");
    EXPECT_EQ(b.icon(), nullptr);
    EXPECT_EQ(b.captionY(), 40);
}

TEST_F(ControlsTest, AButtonWithoutImageDrawsNothingAndCannotBeHit) {
    cPanel panel(0, 0, 200, 100, screen.get());
    auto b = std::make_unique<cButton>(10, 20, 0, 0, screen.get(), "/nonexistent/b.png");
    b->setCallback(record);
    b->setIcon(iconPath);
    b->setCaption(u"Menu");
    EXPECT_FALSE(b->hasImage());
    EXPECT_EQ(b->icon(), nullptr);
    EXPECT_FALSE(b->caption().has_value());
    panel.add(std::move(b));
    EXPECT_FALSE(panel.press(15, 25));
    panel.draw();
    EXPECT_EQ(countPixels(screen.get(), rgb(screen.get(), 0, 128, 0)), 200 * 100);
}

TEST_F(ControlsTest, CaptionsAreCutTo49Units) {
    cButton b(0, 0, 0, 0, screen.get(), imagePath);
    b.setCaption(std::u16string(60, u'x'));
    ASSERT_TRUE(b.caption().has_value());
    EXPECT_EQ(b.caption()->size(), 49u);
}

TEST_F(ControlsTest, ButtonDrawsImageThenIconThenCaption) {
    TextStyle font;
    ASSERT_TRUE(font.openFont(screen.get(), kFontPath, 12));
    font.setColour(255, 0, 0);
    font.setAlignment(TextStyle::kAlignCentre | TextStyle::kAlignMiddle);
    cButton b(10, 20, 0, 0, screen.get(), imagePath);
    b.setIcon(iconPath);
    b.setCaption(u"OK");
    b.setFont(&font);
    b.draw();
    const SDL_Surface* s = screen.get();
    EXPECT_EQ(pixelAt(s, 10, 20), rgb(s, 0, 128, 0)); // magenta corner left out
    EXPECT_EQ(pixelAt(s, 11, 21), rgb(s, 128, 128, 128));
    EXPECT_EQ(pixelAt(s, 60, 40), rgb(s, 30, 30, 30));    // the icon
    EXPECT_EQ(pixelAt(s, 52, 32), rgb(s, 128, 128, 128)); // its magenta corner: the image
    EXPECT_GT(countPixels(s, rgb(s, 255, 0, 0)), 5);      // the caption
    EXPECT_EQ(font.lastBox().x + font.lastBox().width / 2, 60);
}

TEST_F(ControlsTest, InactiveButtonsAreNotDrawn) {
    cButton b(10, 20, 0, 0, screen.get(), imagePath);
    b.setActive(false);
    b.draw();
    EXPECT_EQ(countPixels(screen.get(), rgb(screen.get(), 0, 128, 0)), 200 * 100);
}

struct TouchCase {
    int32_t x, y;
    bool hit;
};

class ButtonEdges : public ControlsTest, public ::testing::WithParamInterface<TouchCase> {};

TEST_P(ButtonEdges, OnlyPointsStrictlyInsideHit) {
    cPanel panel(0, 0, 200, 100, screen.get());
    panel.add(button(10, 20, 0, 0)); // (10, 20, 110, 60)
    const TouchCase& c = GetParam();
    EXPECT_EQ(panel.press(c.x, c.y), c.hit) << c.x << "," << c.y;
    EXPECT_EQ(panel.control(0)->pressed(), c.hit ? 1 : 0);
    EXPECT_EQ(calls.size(), c.hit ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Touches, ButtonEdges,
                         ::testing::Values(TouchCase{10, 30, false}, TouchCase{11, 30, true},
                                           TouchCase{50, 20, false}, TouchCase{50, 21, true},
                                           TouchCase{110, 30, false}, TouchCase{109, 59, true},
                                           TouchCase{50, 60, false}));

TEST_F(ControlsTest, OverlappingButtonsAllRunInListOrder) {
    cPanel panel(0, 0, 200, 100, screen.get());
    panel.add(button(10, 20, 0, 0, record, 1));
    panel.add(button(40, 30, 0, 0, record, 2));
    panel.add(button(150, 30, 190, 90, record, 3));
    EXPECT_TRUE(panel.press(50, 40));
    EXPECT_EQ(calls, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(panel.control(2)->pressed(), 0);
    panel.releaseAll();
    EXPECT_EQ(panel.control(0)->pressed(), 0);
    EXPECT_EQ(panel.control(1)->pressed(), 0);
}

TEST_F(ControlsTest, InactiveButtonsAreSkipped) {
    cPanel panel(0, 0, 200, 100, screen.get());
    panel.add(button(10, 20, 0, 0));
    panel.control(0)->setActive(false);
    EXPECT_FALSE(panel.press(50, 40));
    EXPECT_TRUE(calls.empty());
}

TEST_F(ControlsTest, PanelRunsItsOwnCallbackForTouchesInsideIt) {
    cPanel panel(0, 0, 200, 100, screen.get());
    panel.setCallback(record, 7);
    EXPECT_FALSE(panel.press(0, 50)); // on the edge
    EXPECT_EQ(panel.pressed(), 0);
    EXPECT_FALSE(panel.press(100, 50)); // inside, no control
    EXPECT_EQ(panel.pressed(), 1);
    EXPECT_EQ(calls, (std::vector<int32_t>{7}));
    panel.setActive(false);
    EXPECT_FALSE(panel.press(100, 50));
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(ControlsTest, ReturnButtonIsFoundByItsCallback) {
    cPanel panel(0, 0, 200, 100, screen.get());
    panel.add(std::make_unique<cLabel>(0, 0, 0, 0, screen.get()));
    panel.add(button(10, 20, 0, 0, record));
    panel.add(button(10, 20, 0, 0, goBack));
    panel.add(button(10, 20, 0, 0, goBack));
    EXPECT_EQ(panel.findReturnButton(goBack), panel.control(2));
    EXPECT_EQ(panel.findReturnButton(nullptr), nullptr);
    cPanel empty(0, 0, 200, 100, screen.get());
    EXPECT_EQ(empty.findReturnButton(goBack), nullptr);
}

TEST_F(ControlsTest, APanelHoldsAtMostTwentyControls) {
    cPanel panel(0, 0, 200, 100, screen.get());
    for (std::size_t i = 0; i < cPanel::kControlLimit; ++i)
        EXPECT_TRUE(panel.add(std::make_unique<cLabel>(0, 0, 0, 0, screen.get())));
    EXPECT_FALSE(panel.add(std::make_unique<cLabel>(0, 0, 0, 0, screen.get())));
    EXPECT_FALSE(panel.add(nullptr));
    EXPECT_EQ(panel.count(), cPanel::kControlLimit);
}

TEST_F(ControlsTest, PanelDrawsControlsInListOrder) {
    cPanel panel(0, 0, 200, 100, screen.get());
    panel.add(button(10, 20, 0, 0));
    auto top = std::make_unique<cButton>(30, 20, 0, 0, screen.get(), iconPath);
    panel.add(std::move(top));
    panel.draw();
    EXPECT_EQ(pixelAt(screen.get(), 35, 25), rgb(screen.get(), 30, 30, 30));
    EXPECT_EQ(pixelAt(screen.get(), 60, 50), rgb(screen.get(), 128, 128, 128));
}

TEST_F(ControlsTest, LabelsAreNeverHitWithTheirMenuRectangle) {
    cPanel panel(0, 0, 200, 100, screen.get());
    auto label = std::make_unique<cLabel>(20, 20, 0, 0, screen.get());
    label->setCallback(record);
    panel.add(std::move(label));
    EXPECT_FALSE(panel.press(20, 20));
    EXPECT_FALSE(panel.press(21, 21));
    EXPECT_TRUE(calls.empty());
}

TEST_F(ControlsTest, LabelShowsOwnOrSharedText) {
    TextStyle font;
    ASSERT_TRUE(font.openFont(screen.get(), kFontPath, 12));
    cLabel label(5, 6, 0, 0, screen.get());
    EXPECT_EQ(label.textX(), 5);
    EXPECT_EQ(label.textY(), 6);
    label.draw(); // no font, no text: nothing
    label.setFont(&font);
    label.draw();
    EXPECT_EQ(countPixels(screen.get(), rgb(screen.get(), 0, 128, 0)), 200 * 100);

    label.setText(std::u16string(70, u'y'));
    EXPECT_EQ(label.text()->size(), 49u);
    EXPECT_FALSE(label.sharedText());

    std::u16string status = u"12";
    label.setSharedText(&status);
    label.draw();
    const int32_t narrow = font.lastBox().width;
    status = u"12345";
    label.draw();
    EXPECT_GT(font.lastBox().width, narrow);
    EXPECT_EQ(font.lastBox().x, 5);
    EXPECT_TRUE(label.sharedText());

    label.setText(u"own");
    EXPECT_FALSE(label.sharedText());
    EXPECT_EQ(*label.text(), u"own");
}

} // namespace
} // namespace tevo::test
