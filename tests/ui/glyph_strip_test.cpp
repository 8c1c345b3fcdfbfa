#include "ui/text_style.hpp"
#include "ui_support.hpp"

#include <vector>

namespace tevo::test {
namespace {

TEST(LabelSurfaceWidth, RoundsTheGlyphWidthsDownToFourAndAddsTwelve) {
    const struct {
        int32_t sum;
        int32_t width;
    } cases[] = {
        {7 + 8 + 9, 36},  // 24 is a multiple of 4 already
        {7 + 8 + 10, 36}, // 25 rounds down to 24
        {27, 36},         {28, 40}, {1, 12},
    };
    for (const auto& c : cases) EXPECT_EQ(labelSurfaceWidth(c.sum), c.width) << c.sum;
}

class GlyphStripTest : public VideoTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        surface = makeSurface(100, 40, GetParam());
        ASSERT_TRUE(style.openFont(surface.get(), kFontPath, 14));
        style.setColour(0, 0, 0);
        style.buildGlyphStrip(u"ABCabc\u0436");
    }
    OwnedSurface surface;
    TextStyle style;
};

TEST_P(GlyphStripTest, RecordsLieSideBySideInCharacterOrder) {
    ASSERT_EQ(style.glyphCount(), 7);
    ASSERT_NE(style.strip(), nullptr);
    int32_t x = 0;
    for (const GlyphRecord& g : style.glyphs()) {
        EXPECT_EQ(g.x, x);
        EXPECT_GT(g.width, 0);
        EXPECT_EQ(g.height, style.strip()->h);
        x += g.width;
    }
    EXPECT_EQ(style.strip()->w, x);
    EXPECT_EQ(style.strip()->format->BitsPerPixel, GetParam());
}

TEST_P(GlyphStripTest, LookupFindsMembersOnly) {
    for (char16_t c : std::u16string(u"ABCabc\u0436")) {
        const GlyphRecord* g = style.findGlyph(c);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->character, c);
    }
    EXPECT_EQ(style.findGlyph(u'D'), nullptr);
    EXPECT_EQ(style.findGlyph(u' '), nullptr);
    EXPECT_EQ(style.findGlyph(0xFFFF), nullptr);
}

TEST_P(GlyphStripTest, MeasureSkipsUnknownCharacters) {
    int32_t w = -1, h = -1;
    style.measureWithStrip(u"AxB?", &w, &h);
    EXPECT_EQ(w, style.findGlyph(u'A')->width + style.findGlyph(u'B')->width);
    EXPECT_EQ(h, style.strip()->h);
    int32_t onlyWidth = -1;
    style.measureWithStrip(u"cc", &onlyWidth, nullptr);
    EXPECT_EQ(onlyWidth, 2 * style.findGlyph(u'c')->width);
    w = h = -1;
    style.measureWithStrip(u"", &w, &h);
    EXPECT_EQ(w, -1);
    style.measureWithStrip(u"xyz", &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST_P(GlyphStripTest, LabelCopiesTheGlyphColumnsBehindAKeyedMargin) {
    OwnedSurface label = style.renderWithStrip(u"bA?");
    ASSERT_NE(label, nullptr);
    const GlyphRecord* b = style.findGlyph(u'b');
    const GlyphRecord* a = style.findGlyph(u'A');
    const int32_t sum = b->width + a->width;
    EXPECT_EQ(label->w, labelSurfaceWidth(sum));
    EXPECT_EQ(label->h, style.strip()->h);
    ASSERT_TRUE(label->flags & SDL_SRCCOLORKEY);
    const uint32_t key = style.strip()->format->colorkey;
    EXPECT_EQ(label->format->colorkey, key);
    for (int y = 0; y < label->h; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixelAt(label.get(), x, y), key);
        for (int x = 0; x < b->width; ++x)
            ASSERT_EQ(pixelAt(label.get(), 4 + x, y), pixelAt(style.strip(), b->x + x, y));
        for (int x = 0; x < a->width; ++x)
            ASSERT_EQ(pixelAt(label.get(), 4 + b->width + x, y),
                      pixelAt(style.strip(), a->x + x, y));
        for (int x = 4 + sum; x < label->w; ++x) EXPECT_EQ(pixelAt(label.get(), x, y), key);
    }
}

TEST_P(GlyphStripTest, StripShowsInkAndHaloOnATransparentGround) {
    const SDL_Surface* strip = style.strip();
    const uint32_t key = strip->format->colorkey;
    int ink = 0, halo = 0, ground = 0;
    for (int y = 0; y < strip->h; ++y) {
        for (int x = 0; x < strip->w; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(pixelAt(strip, x, y), strip->format, &r, &g, &b);
            if (pixelAt(strip, x, y) == key)
                ++ground;
            else if (r < 64)
                ++ink;
            else if (r > 200)
                ++halo;
        }
    }
    EXPECT_GT(ink, 20);
    EXPECT_GT(halo, 20);
    EXPECT_GT(ground, 20);
}

TEST_P(GlyphStripTest, TextsWithoutKnownCharactersGiveNoLabel) {
    EXPECT_EQ(style.renderWithStrip(u"xyz?"), nullptr);
    EXPECT_EQ(style.renderWithStrip(u""), nullptr);
}

TEST_P(GlyphStripTest, RebuildingReplacesTheStrip) {
    style.buildGlyphStrip(u"Z");
    EXPECT_EQ(style.glyphCount(), 1);
    EXPECT_EQ(style.findGlyph(u'A'), nullptr);
    EXPECT_NE(style.findGlyph(u'Z'), nullptr);
}

TEST_P(GlyphStripTest, CharactersGivenOutOfOrderAreStillFound) {
    style.buildGlyphStrip(u"cab");
    ASSERT_EQ(style.glyphCount(), 3);
    for (char16_t c : std::u16string(u"abc")) EXPECT_NE(style.findGlyph(c), nullptr) << char(c);
    OwnedSurface label = style.renderWithStrip(u"c");
    ASSERT_NE(label, nullptr);
    const GlyphRecord* g = style.findGlyph(u'c');
    for (int x = 0; x < g->width; ++x)
        EXPECT_EQ(pixelAt(label.get(), 4 + x, 5), pixelAt(style.strip(), g->x + x, 5));
}

INSTANTIATE_TEST_SUITE_P(Depths, GlyphStripTest, ::testing::Values(16, 32));

TEST(GlyphStripWithoutTarget, NothingIsBuiltOrRendered) {
    TextStyle style;
    EXPECT_FALSE(style.openFont(nullptr, kFontPath, 14) && style.target());
    style.buildGlyphStrip(u"abc");
    EXPECT_EQ(style.glyphCount(), 0);
    EXPECT_EQ(style.renderWithStrip(u"abc"), nullptr);
    int32_t w = -1;
    style.measureWithStrip(u"abc", &w, nullptr);
    EXPECT_EQ(w, -1);
}

} // namespace
} // namespace tevo::test
