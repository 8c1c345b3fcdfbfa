#include "overlay_support.hpp"
#include "render/overlays/map_absent.hpp"

#include <SDL_ttf.h>

namespace tevo::test {
namespace {

TEST(MapAbsent, ThreeLinesCentredOnThePrincipalPoint) {
    Canvas canvas(400, 300);
    TextStyle font;
    ASSERT_TRUE(font.openFont(canvas.surface.get(), kMapFontPath, kMapFontSize));
    font.setAlignment(TextStyle::kAlignRight);
    drawMapAbsent(font, {200, 100}, "/opt/tevo/");
    EXPECT_EQ(font.alignment(), TextStyle::kAlignRight);
    // The last line is the path, centred on x = 200.
    int w = 0, h = 0;
    TTF_SizeUNICODE(font.font(), reinterpret_cast<const Uint16*>(u"/opt/tevo/map.tvm"), &w, &h);
    EXPECT_EQ(font.lastBox().x, 200 - w / 2);
    EXPECT_EQ(font.lastBox().width, w);
    const uint32_t paper = canvas.painter.mapColour(kPaper);
    EXPECT_TRUE(anyOtherThan(canvas.surface.get(), {150, 100 - h / 2, 250, 100 + h / 2}, paper));
    EXPECT_FALSE(anyOtherThan(canvas.surface.get(), {0, 0, 399, 100 - h / 2 - 1}, paper));
}

TEST(MapAbsent, WithoutAFontNothingIsDrawn) {
    Canvas canvas(100, 100);
    TextStyle font;
    font.openFont(canvas.surface.get(), "/nonexistent.ttf", 14);
    drawMapAbsent(font, {50, 50}, "");
    drawOutOfMap(font, {50, 50});
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 100 * 100);
}

TEST(OutOfMap, TextIsCentredOnThePrincipalPoint) {
    Canvas canvas(400, 300);
    TextStyle font;
    ASSERT_TRUE(font.openFont(canvas.surface.get(), kMapFontPath, kMapFontSize));
    drawOutOfMap(font, {200, 150});
    EXPECT_NEAR(font.lastBox().x + font.lastBox().width / 2, 200, 1);
    EXPECT_NEAR(font.lastBox().y + font.lastBox().height / 2, 150, 1);
}

} // namespace
} // namespace tevo::test
