// Camera, projection, near/far clipping, depth planes, facing and boxes.
#include "render/raster/projection.hpp"

#include <gtest/gtest.h>

#include <random>

namespace tevo {
namespace {

TEST(CameraRecord, AnglesAreNormalisedAndRebuildTheMatrix) {
    struct Case {
        float yaw, pitch, storedYaw, storedPitch;
    };
    const Case cases[] = {{-10, -5, 350, 0}, {370, 200, 10, 20}, {0, 65, 0, 65}, {720, 180, 0, 0}};
    for (const Case& k : cases) {
        Camera c(240, 320, -500, 480, 640);
        c.setYaw(k.yaw);
        c.setPitch(k.pitch);
        EXPECT_FLOAT_EQ(c.yaw(), k.storedYaw) << k.yaw;
        EXPECT_FLOAT_EQ(c.pitch(), k.storedPitch) << k.pitch;
        EXPECT_EQ(c.matrix(), worldToCameraFixed(k.storedYaw, k.storedPitch));
    }
}

TEST(CameraRecord, StartsAsTheViewCreatesIt) {
    const Camera c(239, 319, -500, 480, 641);
    EXPECT_EQ(c.principalX, 239);
    EXPECT_EQ(c.principalY, 319);
    EXPECT_EQ(c.focal, 500);
    EXPECT_EQ(c.followedScreenX, 240);
    EXPECT_EQ(c.followedScreenY, 480);
    EXPECT_FLOAT_EQ(c.pitch(), 65);
    EXPECT_EQ(c.height(), 500);
    // W(0, 90) turns ground v into depth -v and the height into y.
    const FixedMatrix w = worldToCameraFixed(0, 90);
    EXPECT_EQ(w, (FixedMatrix{1024, 0, 0, 0, 0, 1024, 0, -1024, 0}));
}

TEST(Projection, ToCameraAndProjectPoint) {
    const FixedMatrix identity = worldToCameraFixed(0, 0);
    EXPECT_EQ(toCamera(&identity, 30, -40, 500), (CameraPoint{30, -40, 500}));
    EXPECT_EQ(toCamera(nullptr, 30, -40, 500), (CameraPoint{30, -40, 500}));
    // Sums beyond 32 bits saturate instead of wrapping.
    FixedMatrix ones;
    ones.fill(1024);
    EXPECT_EQ(toCamera(&ones, INT32_MAX, INT32_MAX, INT32_MAX),
              (CameraPoint{INT32_MAX, INT32_MAX, INT32_MAX}));

    const Camera c(240, 320, -500, 480, 640);
    struct Case {
        CameraPoint p;
        bool ok;
        ScreenPoint s;
    };
    const Case cases[] = {{{100, 50, 500}, true, {340, 370}},
                          {{-7, 7, 1000}, true, {237, 323}}, // truncation toward zero
                          {{5, 5, 0}, false, {}},
                          {{5, 5, -10}, false, {}},
                          {{INT32_MAX, INT32_MIN, 1}, true, {1 << 30, -(1 << 30)}}};
    for (const Case& k : cases) {
        ScreenPoint s{-1, -1};
        EXPECT_EQ(projectPoint(k.p, c, s), k.ok);
        if (k.ok) {
            EXPECT_EQ(s, k.s);
        }
    }
}

TEST(DepthClipping, PolygonNearerThanNearVanishes) {
    const Camera c(240, 320, -500, 480, 640);
    const CameraPoint near[] = {{0, 0, 5}, {100, 0, 5}, {100, 100, 9}, {0, 100, 1}};
    std::vector<ScreenPoint> out{{1, 1}};
    EXPECT_FALSE(projectPolygonCamera(c, near, 4, 10, 3000, out));
    EXPECT_TRUE(out.empty());
}

TEST(DepthClipping, SquareAcrossNearGetsTheTwoCrossings) {
    const CameraPoint square[] = {{-100, -100, 5}, {100, -100, 5}, {100, 100, 50}, {-100, 100, 50}};
    std::vector<CameraPoint> clipped;
    clipDepth(square, 4, true, 10, 3000, clipped);
    // The cut-off edge is replaced by its two crossings at depth 10.
    ASSERT_EQ(clipped.size(), 4u);
    EXPECT_EQ(clipped[0], (CameraPoint{100, -78, 10}));
    EXPECT_EQ(clipped[1], square[2]);
    EXPECT_EQ(clipped[2], square[3]);
    EXPECT_EQ(clipped[3], (CameraPoint{-100, -77, 10}));
    const Camera c(240, 320, -500, 480, 640);
    std::vector<ScreenPoint> out;
    EXPECT_TRUE(projectPolygonCamera(c, square, 4, 10, 3000, out));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], (ScreenPoint{240 + 5000, 320 - 3900}));
}

TEST(DepthClipping, PolylineThroughFarLeavesAndReturnsOnTheLimit) {
    // Pitch 90: camera depth is -v, so the ground points below run 100 ->
    // 5000 -> 200 in depth.
    const Camera c(240, 320, -500, 480, 640);
    const FixedMatrix w = worldToCameraFixed(0, 90);
    const GroundPoint line[] = {{0, -100}, {300, -5000}, {600, -200}};
    std::vector<ScreenPoint> out;
    EXPECT_TRUE(projectPolyline(c, w, line, 3, 10, 3000, out));
    ASSERT_EQ(out.size(), 4u);

    CameraPoint cam[3];
    for (int i = 0; i < 3; ++i) cam[i] = toCamera(&w, line[i].u, line[i].v, 500);
    std::vector<CameraPoint> clipped;
    clipDepth(cam, 3, false, 10, 3000, clipped);
    ASSERT_EQ(clipped.size(), 4u);
    EXPECT_EQ(clipped[0].z, 100);
    EXPECT_EQ(clipped[1].z, 3000);
    EXPECT_EQ(clipped[2].z, 3000);
    EXPECT_EQ(clipped[3].z, 200);
    EXPECT_LT(clipped[1].x, clipped[2].x); // exit, then re-entry further on
}

TEST(DepthClipping, DuplicatePointsAreDroppedOnlyFromGroundPolygons) {
    const Camera c(240, 320, -500, 480, 640);
    const GroundPoint ground[] = {{0, 0}, {100, 0}, {100, 0}, {100, 100}};
    std::vector<ScreenPoint> out;
    EXPECT_TRUE(projectPolygon(c, nullptr, ground, 4, 10, 3000, out));
    EXPECT_EQ(out.size(), 3u);
    const CameraPoint cam[] = {{0, 0, 500}, {100, 0, 500}, {100, 0, 500}, {100, 100, 500}};
    EXPECT_TRUE(projectPolygonCamera(c, cam, 4, 10, 3000, out));
    EXPECT_EQ(out.size(), 4u);
    // One point: projected when it lies within the limits.
    EXPECT_TRUE(projectPolygon(c, nullptr, ground, 1, 10, 3000, out));
    EXPECT_FALSE(projectPolygon(c, nullptr, ground, 1, 600, 3000, out));
    EXPECT_TRUE(out.empty());
}

TEST(DepthClipping, NeverEmitsAPointOutsideNearAndFar) {
    std::mt19937 rng(3);
    const auto any = [&](int span) {
        if (rng() % 10 == 0) return static_cast<int32_t>(rng()); // anywhere in 32 bits
        return static_cast<int32_t>(static_cast<int>(rng() % (2 * span + 1)) - span);
    };
    std::vector<CameraPoint> points, out;
    for (int round = 0; round < 3000; ++round) {
        const int32_t nearZ = static_cast<int32_t>(rng() % 200) - 20;
        const int32_t farZ = nearZ + static_cast<int32_t>(rng() % 5000) - 10;
        points.clear();
        const int n = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < n; ++i) points.push_back({any(100000), any(100000), any(8000)});
        const bool closed = rng() % 2;
        clipDepth(points.data(), n, closed, nearZ, farZ, out);
        for (const CameraPoint& p : out) {
            ASSERT_GE(p.z, nearZ) << "round " << round;
            ASSERT_LE(p.z, farZ) << "round " << round;
        }
    }
}

TEST(DepthPlane, GivesScaleOverDepthAtEveryPixel) {
    const Camera c(240, 320, -500, 480, 640);
    const CameraPoint p[] = {{-300, 200, 400}, {250, 180, 900}, {40, -220, 650}};
    const float s = 65535;
    const DepthPlane plane = depthPlane(p[0], p[1], p[2], c, s);
    for (const CameraPoint& q : p) {
        ScreenPoint at;
        ASSERT_TRUE(projectPoint(q, c, at));
        const float depth = plane.a * at.x + plane.b * at.y + plane.c;
        EXPECT_NEAR(depth, s / q.z, s / q.z * 0.02f);
    }
    // Three points on one ray from the eye: no plane.
    const DepthPlane none = depthPlane({10, 10, 100}, {20, 20, 200}, {30, 30, 300}, c, s);
    EXPECT_EQ(none.a, 0);
    EXPECT_EQ(none.b, 0);
    EXPECT_EQ(none.c, 0);
}

TEST(FacesCamera, HugeCoordinatesKeepTheSign) {
    // Scaling all points by k > 0 scales the triple product by k^3: the sign
    // must not change even where 32-bit products would wrap.
    std::mt19937 rng(11);
    for (int round = 0; round < 500; ++round) {
        CameraPoint small[4], big[4];
        for (int i = 0; i < 4; ++i) {
            small[i] = {static_cast<int32_t>(rng() % 2001) - 1000,
                        static_cast<int32_t>(rng() % 2001) - 1000,
                        static_cast<int32_t>(rng() % 2001) - 1000};
            big[i] = {small[i].x << 20, small[i].y << 20, small[i].z << 20};
        }
        ASSERT_EQ(facesCamera(small), facesCamera(big)) << round;
    }
}

TEST(PointBounds, BoxesAndCentres) {
    const ScreenPoint pts[] = {{3, 9}, {-4, 2}, {10, -1}, {0, 0}};
    EXPECT_EQ(boundsOfPoints(pts, 4), (PixelRect{-4, -1, 10, 9}));
    EXPECT_EQ(boundsOfPoints(pts, 0), (PixelRect{0, 0, 0, 0}));
    EXPECT_EQ(centroid(pts, 4), (ScreenPoint{2, 2})); // 9/4 and 10/4, truncated
    EXPECT_EQ(centroid(pts, 0), (ScreenPoint{-1, -1}));
    const ScreenPoint far[] = {{INT32_MAX, INT32_MAX}, {INT32_MAX, INT32_MAX}};
    EXPECT_GT(centroid(far, 2).x, 0); // sums do not wrap
    const PointF corners[4] = {{1.5f, 2}, {-3, 4}, {0, -1}, {2, 0}};
    const BoundsF b = boundsOf4(corners);
    EXPECT_EQ(b.minX, -3);
    EXPECT_EQ(b.maxY, 4);
}

} // namespace
} // namespace tevo
