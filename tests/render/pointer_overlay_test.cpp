#include "overlay_support.hpp"
#include "render/overlays/pointer_overlay.hpp"
#include "render/overlays/stale_pointer.hpp"

#include <array>
#include <cmath>
#include <limits>

namespace tevo::test {
namespace {

constexpr std::array<int32_t, 9> kEast{1024, 0, 0, 0, 1024, 0, 0, 0, 1024};
constexpr uint32_t kAccuracy = 0x00D9C8B7;

TEST(AccuracyRadius, FollowsHdopAndZoom) {
    const struct {
        float hdop, zoom;
        int32_t radius;
    } cases[] = {
        {60.0f, 1.0f, 0}, // outside 0.5..50: a dot
        {0.4f, 2.0f, 0},
        {1.0f, 2.0f, 20},
        {0.5f, 1.0f, 7},
        {50.0f, 1.0f, 255},
        {1.0f, 0.0f, 0},
        {1.0f, -3.0f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 1.0f, 0},
        {1.0f, std::numeric_limits<float>::infinity(), 1 << 20},
    };
    for (const auto& c : cases)
        EXPECT_EQ(accuracyRadius(c.hdop, c.zoom), c.radius) << c.hdop << " " << c.zoom;
}

// A 9 x 9 pointer picture, magenta but for a blue tip at the top centre.
SurfacePtr pointerImage() {
    SurfacePtr s = makeSurface(9, 9, 32);
    const uint32_t magenta = SDL_MapRGB(s->format, 255, 0, 255);
    fillSurface(s.get(), magenta);
    SDL_Rect tip{4, 0, 1, 1};
    SDL_FillRect(s.get(), &tip, SDL_MapRGB(s->format, 0, 0, 255));
    SDL_SetColorKey(s.get(), SDL_SRCCOLORKEY, magenta);
    return s;
}

TEST(Pointer, HdopOutsideTheRangeShowsOnlyADot) {
    Canvas canvas(100, 100);
    SurfacePtr image = pointerImage();
    drawPointer(canvas.painter, image.get(), 0.0f, {50, 50}, PointerLook{60.0f, 1.0f}, kEast);
    const uint32_t accuracy = canvas.painter.mapColour(kAccuracy);
    EXPECT_EQ(countPixels(canvas.surface.get(), accuracy), 1);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 50, 50), accuracy);
}

TEST(Pointer, AccuracyRingAndImageTurnedByTheAngle) {
    Canvas canvas(100, 100);
    SurfacePtr image = pointerImage();
    drawPointer(canvas.painter, image.get(), 90.0f, {50, 50}, PointerLook{1.0f, 2.0f}, kEast);
    const uint32_t accuracy = canvas.painter.mapColour(kAccuracy);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 70, 50), accuracy);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 50, 30), accuracy);
    EXPECT_NE(pixelAt(canvas.surface.get(), 60, 50), accuracy);
    // The tip, up in the image, points left after a quarter turn.
    EXPECT_EQ(pixelAt(canvas.surface.get(), 46, 50), canvas.painter.mapColour(kBlue));
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kBlue)), 1);
}

TEST(Pointer, AStaleFixIsGreyWithoutTheAccuracyRing) {
    for (const bool withImage : {true, false}) {
        Canvas canvas(100, 100);
        SurfacePtr image = pointerImage();
        OwnedSurface grey = greyedCopy(image.get());
        ASSERT_TRUE(grey);
        drawPointer(canvas.painter, withImage ? grey.get() : nullptr, 0.0f, {50, 50},
                    PointerLook{1.0f, 2.0f, true}, kEast);
        SDL_Surface* s = canvas.surface.get();
        EXPECT_EQ(countPixels(s, canvas.painter.mapColour(kAccuracy)), 0) << withImage;
        EXPECT_EQ(countPixels(s, canvas.painter.mapColour(kBlue)), 0) << withImage;
        EXPECT_EQ(countPixels(s, canvas.painter.mapColour(kRed)), 0) << withImage;
        // The picture's key stays transparent: only the tip is drawn.
        if (withImage) {
            EXPECT_EQ(pixelAt(s, 50, 46), canvas.painter.mapColour(greyOf(kBlue)));
            EXPECT_EQ(countPixels(s, canvas.painter.mapColour(kPaper)), 100 * 100 - 1);
        }
    }
}

TEST(Pointer, WithoutAnImageARedTrianglePointsAlongTheCourse) {
    Canvas canvas(100, 100);
    const uint32_t ink = canvas.painter.mapColour(kInk);
    canvas.painter.setFillColour(ink);
    drawPointer(canvas.painter, nullptr, 0.0f, {50, 50}, PointerLook{60.0f, 1.0f}, kEast);
    const uint32_t red = canvas.painter.mapColour(kRed);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 50, 50), red);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 56, 50), red);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 43, 50), red);
    EXPECT_NE(pixelAt(canvas.surface.get(), 59, 50), red);
    EXPECT_NE(pixelAt(canvas.surface.get(), 50, 54), red);
    EXPECT_NE(pixelAt(canvas.surface.get(), 41, 50), red);
    EXPECT_FALSE(
        touchedOutside(canvas.surface.get(), {42, 46, 58, 54}, canvas.painter.mapColour(kPaper)));
    // The painter's own colours are left as they were.
    EXPECT_EQ(canvas.painter.fillColour(), ink);
}

TEST(Pointer, TriangleFollowsTheCourseMatrix) {
    Canvas canvas(100, 100);
    // d = (0, 1): the triangle points down the screen.
    const std::array<int32_t, 9> south{0, -1024, 0, 1024, 0, 0, 0, 0, 1024};
    drawPointer(canvas.painter, nullptr, 0.0f, {50, 50}, PointerLook{60.0f, 1.0f}, south);
    const uint32_t red = canvas.painter.mapColour(kRed);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 50, 56), red);
    EXPECT_NE(pixelAt(canvas.surface.get(), 50, 59), red);
    EXPECT_NE(pixelAt(canvas.surface.get(), 56, 50), red);
}

TEST(Pointer, ZeroZoomDrawsWithoutFailing) {
    Canvas canvas(40, 40);
    drawPointer(canvas.painter, nullptr, 0.0f, {20, 20}, PointerLook{3.0f, 0.0f}, kEast);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 20, 20), canvas.painter.mapColour(kRed));
}

TEST(Compass, TurnsByTheYawAboutItsCentre) {
    Canvas canvas(100, 100);
    SurfacePtr image = pointerImage();
    drawCompass(canvas.painter, image.get(), -90.0f, {32, 32});
    EXPECT_EQ(pixelAt(canvas.surface.get(), 36, 32), canvas.painter.mapColour(kBlue));
    drawCompass(canvas.painter, nullptr, 10.0f, {32, 32}); // no image: nothing
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 100 * 100 - 1);
}

} // namespace
} // namespace tevo::test
