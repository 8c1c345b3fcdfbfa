#include "ui/text_style.hpp"
#include "ui_support.hpp"

#include <SDL_ttf.h>

namespace tevo::test {
namespace {

class TextStyleTest : public VideoTest {
protected:
    void SetUp() override {
        surface = makeSurface(200, 60, 32);
        SDL_FillRect(surface.get(), nullptr, rgb(surface.get(), 255, 255, 255));
        ASSERT_TRUE(style.openFont(surface.get(), kFontPath, 14));
    }
    int textWidth(const char16_t* text) {
        int w = 0, h = 0;
        TTF_SizeUNICODE(style.font(), reinterpret_cast<const Uint16*>(text), &w, &h);
        return w;
    }
    int textHeight(const char16_t* text) {
        int w = 0, h = 0;
        TTF_SizeUNICODE(style.font(), reinterpret_cast<const Uint16*>(text), &w, &h);
        return h;
    }

    OwnedSurface surface;
    TextStyle style;
};

TEST_F(TextStyleTest, AlignmentPlacesTheBoxAndRightWinsOverCentre) {
    const char16_t* text = u"Tverskaya";
    const int w = textWidth(text);
    const int h = textHeight(text);
    ASSERT_GT(w, 0);
    const struct {
        int32_t alignment;
        int left;
        int top;
    } cases[] = {
        {0, 100, 10},
        {TextStyle::kAlignCentre, 100 - w / 2, 10},
        {TextStyle::kAlignRight, 100 - w, 10},
        {TextStyle::kAlignRight | TextStyle::kAlignCentre, 100 - w, 10},
        {TextStyle::kAlignMiddle, 100, 10 - h / 2},
        {TextStyle::kAlignCentre | TextStyle::kAlignMiddle, 100 - w / 2, 10 - h / 2},
    };
    for (const auto& c : cases) {
        style.setAlignment(c.alignment);
        style.drawText(text, 100, 10);
        EXPECT_EQ(style.lastBox().x, c.left) << "alignment " << c.alignment;
        EXPECT_EQ(style.lastBox().y, c.top) << "alignment " << c.alignment;
        EXPECT_EQ(style.lastBox().width, w);
        EXPECT_EQ(style.lastBox().height, h);
    }
}

TEST_F(TextStyleTest, FortyPixelTextCentredAt100StartsAt80AndRightAlignedAt60) {
    // Find a prefix of a long text that is exactly 40 pixels wide.
    std::u16string text;
    for (char16_t c : std::u16string(u"iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii")) {
        text += c;
        if (textWidth(text.c_str()) >= 40) break;
    }
    const int w = textWidth(text.c_str());
    style.setAlignment(4);
    style.drawText(text, 100, 10);
    EXPECT_EQ(style.lastBox().x, 100 - w / 2);
    style.setAlignment(6);
    style.drawText(text, 100, 10);
    EXPECT_EQ(style.lastBox().x, 100 - w);
    if (w == 40) {
        EXPECT_EQ(style.lastBox().x, 60);
    }
}

TEST_F(TextStyleTest, DrawnTextInksTheTargetInTheStyleColour) {
    style.setBlended(false);
    style.setColour(255, 0, 0);
    style.drawText(u"HHH", 10, 10);
    EXPECT_GT(countPixels(surface.get(), rgb(surface.get(), 255, 0, 0)), 10);
}

TEST_F(TextStyleTest, AColourChangeRendersTheSameTextAgain) {
    style.setColour(255, 0, 0);
    style.drawText(u"HHH", 10, 10);
    SDL_FillRect(surface.get(), nullptr, rgb(surface.get(), 255, 255, 255));
    style.setColour(0, 0, 255);
    style.drawText(u"HHH", 10, 10);
    EXPECT_EQ(countPixels(surface.get(), rgb(surface.get(), 255, 0, 0)), 0);
    EXPECT_GT(countPixels(surface.get(), rgb(surface.get(), 0, 0, 255)), 10);
}

TEST_F(TextStyleTest, ManyDifferentTextsAllDrawCorrectly) {
    // More texts than are kept rendered: each must still show its own text.
    for (int i = 0; i < 60; ++i) {
        const std::u16string text =
            u"N" + std::u16string(static_cast<std::size_t>(i % 7 + 1), u'W');
        style.drawText(text, 0, 0);
        EXPECT_EQ(style.lastBox().width, textWidth(text.c_str())) << i;
    }
}

TEST_F(TextStyleTest, EmptyTextDrawsNothingAndKeepsTheLastBox) {
    style.drawText(u"A", 5, 6);
    const TextBox before = style.lastBox();
    style.drawText(u"", 50, 50);
    EXPECT_EQ(style.lastBox().x, before.x);
    EXPECT_EQ(style.lastBox().y, before.y);
}

TEST_F(TextStyleTest, TextFarOutsideTheSurfaceIsSkipped) {
    style.drawText(u"A", 100000, -100000);
    EXPECT_EQ(countPixels(surface.get(), rgb(surface.get(), 255, 255, 255)), 200 * 60);
}

TEST(TextStyleWithoutFont, AMissingFontFileDrawsNothing) {
    OwnedSurface surface = makeSurface(50, 20, 32);
    SDL_FillRect(surface.get(), nullptr, 0x00FFFFFF);
    TextStyle style;
    EXPECT_FALSE(style.openFont(surface.get(), "/nonexistent/font.ttf", 14));
    EXPECT_EQ(style.font(), nullptr);
    style.drawText(u"Text", 0, 0);
    style.buildGlyphStrip(u"Tetx");
    EXPECT_EQ(style.glyphCount(), 0);
    EXPECT_EQ(style.renderWithStrip(u"Text"), nullptr);
    EXPECT_EQ(countPixels(surface.get(), 0x00FFFFFF), 50 * 20);
}

TEST(TextStyleWithoutFont, ANewStyleHasTheDocumentedDefaults) {
    TextStyle style;
    EXPECT_EQ(style.colour().r, 0);
    EXPECT_EQ(style.secondColour().r, 255);
    EXPECT_EQ(style.secondColour().b, 255);
    EXPECT_FALSE(style.blended());
    EXPECT_EQ(style.alignment(), 0);
    style.drawText(u"Text", 0, 0); // no target: nothing, no crash
}

} // namespace
} // namespace tevo::test
