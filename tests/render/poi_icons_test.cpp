#include "overlay_support.hpp"
#include "render/overlays/poi_icons.hpp"
#include "ui/sprite.hpp"

namespace tevo::test {
namespace {

TEST(PoiIconTable, TypesMapToTheirTablePositions) {
    const struct {
        int32_t type;
        int32_t icon;
    } cases[] = {
        {0x0100, 0},   {0x1200, 17},  {0x1400, 18},  {0x1F00, 21},  {0x2800, 22},  {0x1C00, 23},
        {0x1C0B, 34},  {0x1D00, 35},  {0x2000, 36},  {0x2100, 37},  {0x210F, 38},  {0x2200, 39},
        {0x2700, 44},  {0x2900, 45},  {0x2A00, 46},  {0x2A05, 51},  {0x2A12, 64},  {0x2B04, 69},
        {0x2F17, 129}, {0x3008, 138}, {0x4000, 139}, {0x5900, 164}, {0x5901, 165}, {0x5E00, 174},
        {0x6300, 178}, {0x6416, 201}, {0x6618, 246}, {0x1600, 247}, {0x1616, 269}, {0xF001, 270},
        {0xF106, 286}, {0xF30D, 303}, {0xF505, 314},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(poiIconIndex(c.type), c.icon) << std::hex << c.type;
        EXPECT_EQ(poiIconType(c.icon), c.type) << c.icon;
    }
}

TEST(PoiIconTable, OtherTypesHaveNoIcon) {
    for (int32_t type : {0, -1, 0x1300, 0x1C0C, 0x2A13, 0x5906, 0x5F00, 0xF00C, 0x10100, 0x12A05})
        EXPECT_EQ(poiIconIndex(type), -1) << std::hex << type;
    EXPECT_EQ(poiIconType(-1), -1);
    EXPECT_EQ(poiIconType(kPoiIconCount), -1);
}

// A sheet of 8 x 8 icons, 4 per row, each filled with a colour of its own
// and with a magenta pixel at (1, 1).
class PoiIconDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        SurfacePtr image = makeSurface(4 * kIcon + 3, 80 * kIcon, 32);
        for (int i = 0; i < 4 * 80; ++i) {
            SDL_Rect r{static_cast<Sint16>(i % 4 * kIcon), static_cast<Sint16>(i / 4 * kIcon),
                       kIcon, kIcon};
            SDL_FillRect(image.get(), &r, iconColour(image.get(), i));
            SDL_Rect key{static_cast<Sint16>(r.x + 1), static_cast<Sint16>(r.y + 1), 1, 1};
            SDL_FillRect(image.get(), &key, SDL_MapRGB(image->format, 255, 0, 255));
        }
        sheet.target = canvas.surface.get();
        sheet.fromSurface(image.get(), kIcon, kIcon);
        ASSERT_TRUE(sheet.loaded());
    }
    static uint32_t iconColour(const SDL_Surface* s, int i) {
        return SDL_MapRGB(s->format, static_cast<Uint8>(i), 100, 0);
    }
    static constexpr int kIcon = 8;
    Canvas canvas{100, 100};
    Sprite sheet;
};

TEST_F(PoiIconDrawing, IconIsCentredOnThePoiWithoutItsMagenta) {
    ASSERT_TRUE(drawPoiIcon(canvas.painter, sheet, 0x2A05, {50, 50}));
    const SDL_Surface* s = canvas.surface.get();
    EXPECT_EQ(pixelAt(s, 46, 46), iconColour(s, 51));
    EXPECT_EQ(pixelAt(s, 53, 53), iconColour(s, 51));
    EXPECT_EQ(pixelAt(s, 47, 47), canvas.painter.mapColour(kPaper)); // keyed
    EXPECT_EQ(countPixels(s, iconColour(s, 51)), 63);
    EXPECT_EQ(sheet.sourceX, 3 * kIcon); // 51 = row 12, column 3
    EXPECT_EQ(sheet.sourceY, 12 * kIcon);
}

TEST_F(PoiIconDrawing, TypesWithoutIconOrSheetDrawNothing) {
    EXPECT_FALSE(drawPoiIcon(canvas.painter, sheet, 0x1300, {50, 50}));
    Sprite empty;
    EXPECT_FALSE(drawPoiIcon(canvas.painter, empty, 0x2A05, {50, 50}));
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 100 * 100);
}

TEST_F(PoiIconDrawing, IconsBeyondASmallSheetDrawNothing) {
    SurfacePtr small = makeSurface(16, 16, 32);
    Sprite tiny;
    tiny.fromSurface(small.get(), kIcon, kIcon);
    EXPECT_FALSE(drawPoiIcon(canvas.painter, tiny, 0x2A05, {50, 50}));
    EXPECT_TRUE(drawPoiIcon(canvas.painter, tiny, 0x0200, {50, 50})); // icon 1
}

TEST_F(PoiIconDrawing, IconsAreClippedToThePainter) {
    canvas.painter.setClip(PixelRect{0, 0, 49, 99});
    drawPoiIcon(canvas.painter, sheet, 0x2A05, {50, 50});
    EXPECT_EQ(countPixels(canvas.surface.get(), iconColour(canvas.surface.get(), 51)), 4 * 8 - 1);
}

} // namespace
} // namespace tevo::test
