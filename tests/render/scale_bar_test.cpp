#include "overlay_support.hpp"
#include "render/overlays/scale_bar.hpp"

namespace tevo::test {
namespace {

struct BarCase {
    float zoom;
    int32_t maxLength;
    int32_t metres;
    const char16_t* text;
    int32_t length;
};

class ScaleBarValues : public ::testing::TestWithParam<BarCase> {};

TEST_P(ScaleBarValues, RoundDistanceUnitAndLength) {
    const BarCase& c = GetParam();
    ScaleBar bar;
    ASSERT_TRUE(scaleBarFor(c.zoom, c.maxLength, bar));
    EXPECT_EQ(bar.metres, c.metres);
    EXPECT_EQ(bar.text, c.text);
    EXPECT_EQ(bar.length, c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Zooms, ScaleBarValues,
    ::testing::Values(BarCase{0.11f, 50, 400, u"400 \u043C", 44},       // 454 m
                      BarCase{0.011f, 50, 4000, u"4 \u043A\u043C", 44}, // 4545 m
                      BarCase{0.5f, 50, 100, u"100 \u043C", 50},
                      BarCase{10.0f, 50, 5, u"5 \u043C", 50}, // below 10: kept
                      BarCase{2.5f, 50, 20, u"20 \u043C", 50},
                      BarCase{50.0f / 1999.0f, 50, 1000, u"1 \u043A\u043C", 25},
                      BarCase{1e-5f, 50, 5000000, u"5000 \u043A\u043C", 50},
                      BarCase{100.0f, 50, 0, u"0 \u043C", 0}));

TEST(ScaleBarValues, ZoomsThatCannotBeShownGiveNoBar) {
    ScaleBar bar;
    EXPECT_FALSE(scaleBarFor(0.0f, 50, bar));
    EXPECT_FALSE(scaleBarFor(-1.0f, 50, bar));
    EXPECT_FALSE(scaleBarFor(1e-12f, 50, bar));
    EXPECT_FALSE(scaleBarFor(std::numeric_limits<float>::quiet_NaN(), 50, bar));
    EXPECT_FALSE(scaleBarFor(1.0f, 0, bar));
}

class ScaleBarDrawing : public ::testing::Test {
protected:
    void SetUp() override { openMapFont(font, canvas.surface.get()); }
    Canvas canvas{200, 100};
    TextStyle font;
};

TEST_F(ScaleBarDrawing, FiveSegmentsOutlinedWithTicksAndTextAbove) {
    canvas.painter.setLineColour(canvas.painter.mapColour(kRed));
    fillSurface(canvas.surface.get(), canvas.painter.mapColour(kBlue));
    drawScaleBar(canvas.painter, font, {100, 80}, 50, 0.11f); // 44 px: left 78, segments of 8
    const SDL_Surface* s = canvas.surface.get();
    const uint32_t white = canvas.painter.mapColour(0x00FFFFFF);
    const uint32_t black = canvas.painter.mapColour(0);
    const uint32_t blue = canvas.painter.mapColour(kBlue);
    for (int x : {80, 96, 112}) EXPECT_EQ(pixelAt(s, x, 82), white) << x;
    for (int x : {90, 106}) EXPECT_EQ(pixelAt(s, x, 82), black) << x;
    for (int y = 77; y <= 84; ++y) EXPECT_EQ(pixelAt(s, 78, y), black) << y; // tick and side
    for (int y = 77; y <= 84; ++y) EXPECT_EQ(pixelAt(s, 118, y), black) << y;
    for (int x = 78; x <= 118; ++x) {
        EXPECT_EQ(pixelAt(s, x, 80), black) << x;
        EXPECT_EQ(pixelAt(s, x, 84), black) << x;
    }
    // Around the bar lies the plate of the mode line, bordered, over the map.
    const uint32_t plate = canvas.painter.mapColour(0x00F2F7F7);
    for (auto [x, y] : {std::pair{77, 82}, {119, 82}, {100, 85}})
        EXPECT_EQ(pixelAt(s, x, y), plate) << x << "," << y;
    EXPECT_EQ(pixelAt(s, 73, 82), canvas.painter.mapColour(0x002B2014));
    EXPECT_EQ(pixelAt(s, 72, 82), blue);
    // The text stands on the bar, on the plate; nothing above the plate.
    int32_t h = 0;
    font.measureWithStrip(u"400 \u043C", nullptr, &h);
    EXPECT_TRUE(anyOtherThan(s, {60, 80 - h, 140, 79}, blue));
    EXPECT_FALSE(anyOtherThan(s, {0, 0, 199, 80 - h - 3}, blue));
    EXPECT_EQ(canvas.painter.lineColour(), canvas.painter.mapColour(kRed));
}

TEST_F(ScaleBarDrawing, ZeroZoomDrawsNothing) {
    drawScaleBar(canvas.painter, font, {100, 80}, 50, 0.0f);
    drawScaleBar(canvas.painter, font, {100, 80}, 50, -2.0f);
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 200 * 100);
}

TEST(ScaleBarWithoutFont, BarIsDrawnWithoutText) {
    Canvas canvas(200, 100);
    TextStyle font; // never opened
    drawScaleBar(canvas.painter, font, {100, 80}, 50, 0.11f);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 90, 82), canvas.painter.mapColour(0));
    EXPECT_FALSE(
        anyOtherThan(canvas.surface.get(), {0, 0, 199, 76}, canvas.painter.mapColour(kPaper)));
}

} // namespace
} // namespace tevo::test
