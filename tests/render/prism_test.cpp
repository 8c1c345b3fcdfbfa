// Boxes drawn as prisms: which faces show, and the two drawing orders.
#include "render/raster/prism.hpp"
#include "render/raster/projection.hpp"
#include "render/raster_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace tevo {
namespace {

constexpr uint32_t kRoof = 0x00808080;
constexpr uint32_t kOdd = 0x000000C0;
constexpr uint32_t kEven = 0x0000C000;

struct Scene {
    explicit Scene(float yaw = 0)
        : surface(test::makeSurface(480, 640, 32)), painter(surface.get()),
          camera(240, 320, -500, 480, 640), matrix(worldToCameraFixed(yaw, 60)) {
        test::fillSurface(surface.get(), painter.mapColour(test::kPaper));
        painter.depth().create(480, 640, 2);
        painter.setFillColour(painter.mapColour(kRoof));
    }
    // The lift of a 40-pixel-high building along the view direction.
    CameraPoint lift(int32_t height = 40) const {
        return {(height * matrix[2]) >> 10, (height * matrix[5]) >> 10, (height * matrix[8]) >> 10};
    }
    Prism prism(const std::vector<GroundPoint>& ground) const {
        Prism p;
        p.matrix = &matrix;
        p.ground = ground.data();
        p.count = static_cast<int>(ground.size());
        p.lift = lift();
        p.nearZ = 10;
        p.farZ = 3000;
        p.oddWall = kOdd;
        p.evenWall = kEven;
        return p;
    }
    int count(uint32_t bgr) const {
        return test::countPixels(surface.get(), painter.mapColour(bgr));
    }

    test::SurfacePtr surface;
    cPainter painter;
    Camera camera;
    FixedMatrix matrix;
    PrismBuffers buffers;
};

// North-west, north-east, south-east, south-west in ground coordinates
// (v grows southward), and the same corners the other way round.
const std::vector<GroundPoint> kClockwise{{-100, -600}, {100, -600}, {100, -400}, {-100, -400}};
const std::vector<GroundPoint> kAnticlockwise{{-100, -600}, {-100, -400}, {100, -400}, {100, -600}};

TEST(Prisms, HeadOnBoxShowsRoofAndFrontWallOnly) {
    struct Case {
        const std::vector<GroundPoint>* ground;
        uint32_t front; // the south wall's colour in this winding
        uint32_t other;
    };
    const Case cases[] = {{&kClockwise, kOdd, kEven}, {&kAnticlockwise, kEven, kOdd}};
    for (const Case& k : cases) {
        Scene s;
        EXPECT_TRUE(drawPrism(s.painter, s.camera, s.prism(*k.ground), s.buffers));
        EXPECT_GT(s.count(kRoof), 1000);
        EXPECT_GT(s.count(k.front), 500);
        EXPECT_EQ(s.count(k.other), 0);
    }
}

TEST(Prisms, BoxOffToTheSideShowsTwoWalls) {
    for (bool clockwise : {true, false}) {
        std::vector<GroundPoint> ground = clockwise ? kClockwise : kAnticlockwise;
        for (GroundPoint& p : ground) p.u += 300;
        Scene s;
        EXPECT_TRUE(drawPrism(s.painter, s.camera, s.prism(ground), s.buffers));
        EXPECT_GT(s.count(kRoof), 500);
        EXPECT_GT(s.count(kOdd), 100);  // south and west walls are neighbours:
        EXPECT_GT(s.count(kEven), 100); // one of each parity
    }
}

TEST(Prisms, RoofFirstAndRoofLastDrawTheSameBox) {
    std::vector<GroundPoint> ground = kClockwise;
    for (GroundPoint& p : ground) p.u += 150;
    Scene first, last;
    EXPECT_TRUE(drawPrism(first.painter, first.camera, first.prism(ground), first.buffers));
    EXPECT_TRUE(drawPrismRoofLast(last.painter, last.camera, last.prism(ground), last.buffers));
    int differing = 0, drawn = 0;
    const uint32_t paper = first.painter.mapColour(test::kPaper);
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 480; ++x) {
            const uint32_t a = test::pixelAt(first.surface.get(), x, y);
            drawn += a != paper;
            differing += a != test::pixelAt(last.surface.get(), x, y);
        }
    // Only the shared edges, where roof and wall have the same depth and
    // the one drawn first keeps the pixel, may differ.
    EXPECT_GT(drawn, 2000);
    EXPECT_LT(differing, drawn / 20);
    // Roof last restores the roof colour; roof first leaves the last wall's.
    EXPECT_EQ(last.painter.fillColour(), last.painter.mapColour(kRoof));
    EXPECT_EQ(first.painter.fillColour(), first.painter.mapColour(kEven));
}

TEST(Prisms, BoxBehindTheCameraDrawsNothing) {
    std::vector<GroundPoint> behind = kClockwise;
    for (GroundPoint& p : behind) p.v = -p.v + 2000;
    Scene s;
    EXPECT_FALSE(drawPrism(s.painter, s.camera, s.prism(behind), s.buffers));
    EXPECT_FALSE(drawPrismRoofLast(s.painter, s.camera, s.prism(behind), s.buffers));
    EXPECT_EQ(s.count(test::kPaper), 480 * 640);
    const std::vector<GroundPoint> two{{0, -500}, {10, -500}};
    EXPECT_FALSE(drawPrism(s.painter, s.camera, s.prism(two), s.buffers));
}

} // namespace
} // namespace tevo
