#include "overlay_support.hpp"
#include "render/raster/rotated_blit.hpp"

#include <cmath>

namespace tevo::test {
namespace {

// A 5 x 5 source with a magenta key, blank but for one blue pixel.
SurfacePtr markedSource(int bpp, int markX, int markY) {
    SurfacePtr s = makeSurface(5, 5, bpp);
    const uint32_t magenta = SDL_MapRGB(s->format, 255, 0, 255);
    fillSurface(s.get(), magenta);
    SDL_Rect r{static_cast<Sint16>(markX), static_cast<Sint16>(markY), 1, 1};
    SDL_FillRect(s.get(), &r, SDL_MapRGB(s->format, 0, 0, 255));
    SDL_SetColorKey(s.get(), SDL_SRCCOLORKEY, magenta);
    return s;
}

struct TurnCase {
    float angle;
    ScreenPoint expected; // where the mark right of the centre lands
};

class RotatedBlitTurn : public ::testing::TestWithParam<TurnCase> {};

TEST_P(RotatedBlitTurn, MarkLandsWhereTheTurnPutsIt) {
    Canvas canvas(100, 100);
    SurfacePtr source = markedSource(32, 4, 2); // 2 right of the anchor (2, 2)
    ASSERT_TRUE(rotatedBlit(canvas.painter, source.get(), GetParam().angle, {50, 50}, {2, 2}));
    const uint32_t blue = canvas.painter.mapColour(kBlue);
    EXPECT_EQ(countPixels(canvas.surface.get(), blue), 1);
    EXPECT_EQ(pixelAt(canvas.surface.get(), GetParam().expected.x, GetParam().expected.y), blue);
    // The keyed background is not drawn anywhere.
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 100 * 100 - 1);
}

INSTANTIATE_TEST_SUITE_P(Angles, RotatedBlitTurn,
                         ::testing::Values(TurnCase{0.0f, {52, 50}},
                                           TurnCase{90.0f, {50, 48}}, // counter-clockwise: up
                                           TurnCase{180.0f, {48, 50}}, TurnCase{-90.0f, {50, 52}},
                                           TurnCase{270.0f, {50, 52}}));

// Every target pixel takes the source pixel nearest to the inverse turn of
// its offset, when that lies inside the image: the same sampling, pixel by
// pixel, without the run bounds of the real thing.
void referenceTurn(SDL_Surface* target, const PixelRect& clip, SDL_Surface* source, float angle,
                   ScreenPoint at, ScreenPoint anchor) {
    const double radians = static_cast<double>(angle) * 3.14159265358979323846 / 180.0;
    const int64_t c = static_cast<int64_t>(std::cos(radians) * 1024);
    const int64_t s = static_cast<int64_t>(std::sin(radians) * 1024);
    const uint32_t key = source->format->colorkey;
    for (int y = clip.top; y <= clip.bottom; ++y)
        for (int x = clip.left; x <= clip.right; ++x) {
            const int64_t ox = x - at.x, oy = y - at.y;
            const int64_t sx = (c * ox - s * oy + (int64_t{anchor.x} << 10) + 512) >> 10;
            const int64_t sy = (s * ox + c * oy + (int64_t{anchor.y} << 10) + 512) >> 10;
            if (sx < 0 || sy < 0 || sx >= source->w || sy >= source->h) continue;
            const uint32_t v = pixelAt(source, static_cast<int>(sx), static_cast<int>(sy));
            if (v == key) continue;
            SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(target, &r, v);
        }
}

TEST(RotatedBlit, EveryAngleMatchesPixelByPixelSampling) {
    SurfacePtr source = makeSurface(23, 11, 32);
    paintPattern(source.get());
    const uint32_t key = pixelAt(source.get(), 5, 5);
    SDL_SetColorKey(source.get(), SDL_SRCCOLORKEY, key);
    for (float angle : {17.0f, 33.0f, 45.0f, 90.5f, 135.0f, 200.0f, 289.5f, -60.0f, 359.9f}) {
        for (ScreenPoint anchor : {ScreenPoint{0, 11}, ScreenPoint{11, 5}, ScreenPoint{-4, 20}}) {
            Canvas canvas(60, 50);
            Canvas expected(60, 50);
            const PixelRect clip{3, 4, 50, 45};
            canvas.painter.setClip(clip);
            rotatedBlit(canvas.painter, source.get(), angle, {30, 24}, anchor);
            referenceTurn(expected.surface.get(), clip, source.get(), angle, {30, 24}, anchor);
            ASSERT_EQ(snapshot(canvas.surface.get()), snapshot(expected.surface.get()))
                << angle << " about " << anchor.x << "," << anchor.y;
        }
    }
}

TEST(RotatedBlit, UnturnedCopyIsExact) {
    Canvas canvas(40, 40);
    SurfacePtr source = makeSurface(7, 5, 32);
    paintPattern(source.get());
    ASSERT_TRUE(rotatedBlit(canvas.painter, source.get(), 0.0f, {10, 20}, {0, 5}));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(pixelAt(canvas.surface.get(), 10 + x, 15 + y), pixelAt(source.get(), x, y));
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 40 * 40 - 35);
}

TEST(RotatedBlit, DrawsOnlyInsideTheClipRectangle) {
    Canvas canvas(60, 60);
    SurfacePtr source = makeSurface(30, 30, 32);
    fillSurface(source.get(), SDL_MapRGB(source->format, 0, 0, 255));
    const PixelRect clip{20, 25, 40, 35};
    canvas.painter.setClip(clip);
    ASSERT_TRUE(rotatedBlit(canvas.painter, source.get(), 33.0f, {30, 30}, {15, 15}));
    EXPECT_FALSE(touchedOutside(canvas.surface.get(), clip, canvas.painter.mapColour(kPaper)));
    EXPECT_EQ(pixelAt(canvas.surface.get(), 30, 30), canvas.painter.mapColour(kBlue));
}

TEST(RotatedBlit, ImagesFarOffTheSurfaceDrawNothing) {
    Canvas canvas(20, 20);
    SurfacePtr source = markedSource(32, 4, 2);
    EXPECT_FALSE(rotatedBlit(canvas.painter, source.get(), 45.0f, {-1000, 5}, {2, 2}));
    EXPECT_FALSE(rotatedBlit(canvas.painter, source.get(), 10.0f, {5, 2000000000}, {2, 2}));
    EXPECT_FALSE(rotatedBlit(canvas.painter, nullptr, 0.0f, {5, 5}, {0, 0}));
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 400);
}

TEST(RotatedBlit, SourceOfAnotherDepthIsConverted) {
    Canvas canvas(20, 20, 32);
    SurfacePtr source = markedSource(16, 0, 0);
    ASSERT_TRUE(rotatedBlit(canvas.painter, source.get(), 0.0f, {5, 5}, {0, 0}));
    Uint8 r, g, b;
    SDL_GetRGB(pixelAt(canvas.surface.get(), 5, 5), canvas.surface->format, &r, &g, &b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 0);
    EXPECT_GE(b, 248); // five bits of blue
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 399);
}

TEST(BlitToPainter, HonoursClipAndColourKey) {
    Canvas canvas(20, 20, 16);
    SurfacePtr source = markedSource(16, 1, 1);
    canvas.painter.setClip(PixelRect{0, 0, 9, 19});
    EXPECT_TRUE(blitToPainter(canvas.painter, source.get(), nullptr, {8, 8}));
    EXPECT_EQ(pixelAt(canvas.surface.get(), 9, 9), canvas.painter.mapColour(kBlue));
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 399);
    EXPECT_FALSE(blitToPainter(canvas.painter, source.get(), nullptr, {12, 8}));
    SDL_Rect sdlClip;
    SDL_GetClipRect(canvas.surface.get(), &sdlClip);
    EXPECT_EQ(sdlClip.w, 20); // the surface's own clip is left as it was
    EXPECT_EQ(sdlClip.h, 20);
}

} // namespace
} // namespace tevo::test
