// The view's camera, both projections and the operations of the keys and
// the pointer.
#include "config/config_xml.hpp"
#include "render/view_support.hpp"

#include <cmath>

namespace tevo::test {
namespace {

using MapViewCamera = ViewFixture;

TEST_F(MapViewCamera, EcoPointEastLandsRightAndNorthLandsAbove) {
    view->setUpFrame();
    const ViewPoint c = view->frame().centre;
    const ScreenHit east = view->mapToScreen(c.x + 10, c.y);
    EXPECT_EQ(east.x, view->frame().ecoOrigin.x + static_cast<int32_t>(10 * view->frame().scaleX));
    EXPECT_EQ(east.y, view->frame().ecoOrigin.y);
    const ScreenHit north = view->mapToScreen(c.x, c.y + 100);
    EXPECT_LT(north.y, view->frame().ecoOrigin.y);
    EXPECT_LT(view->frame().scaleY, 0);
}

TEST_F(MapViewCamera, EcoPositionMapsBackToTheCentreExactly) {
    for (float yaw : {0.0f, 30.0f, 200.0f}) {
        MapViewAccess::camera(*view).setYaw(yaw);
        view->setUpFrame();
        const GroundHit hit =
            view->screenToMap(view->frame().ecoOrigin.x, view->frame().ecoOrigin.y);
        EXPECT_EQ(hit.x, view->frame().centre.x) << yaw;
        EXPECT_EQ(hit.y, view->frame().centre.y) << yaw;
        EXPECT_FALSE(hit.offGround);
    }
}

TEST_F(MapViewCamera, EcoScreenAndMapRoundTripWhenTurned) {
    state.zoom = 0.5f;
    MapViewAccess::camera(*view).setYaw(37);
    view->setUpFrame();
    for (auto [sx, sy] : {std::pair{10, 20}, {400, 600}, {240, 100}}) {
        const GroundHit hit = view->screenToMap(sx, sy);
        const ScreenHit back = view->mapToScreen(hit.x, hit.y);
        // The x1024 matrix and the truncations cost a few pixels.
        EXPECT_NEAR(back.x, sx, 4);
        EXPECT_NEAR(back.y, sy, 4);
    }
}

TEST_F(MapViewCamera, PerspectiveGroundPointsRoundTrip) {
    state.tilt = 50;
    view->setProjection(ProjectionPerspective);
    view->setUpFrame();
    for (auto [sx, sy] : {std::pair{240, 600}, {20, 500}, {460, 400}}) {
        const GroundHit hit = view->screenToMap(sx, sy);
        ASSERT_FALSE(hit.offGround) << sx << "," << sy;
        const ScreenHit back = view->mapToScreen(hit.x, hit.y);
        ASSERT_TRUE(back.visible);
        EXPECT_NEAR(back.x, sx, 3);
        EXPECT_NEAR(back.y, sy, 3);
    }
}

TEST_F(MapViewCamera, PerspectiveTapAboveTheHorizonIsOffGroundAtTheFarLimit) {
    view->setProjection(ProjectionPerspective);
    MapViewAccess::camera(*view).setPitch(80);
    view->setUpFrame();
    const GroundHit sky = view->screenToMap(240, 0);
    EXPECT_TRUE(sky.offGround);
    // The point lies on the ground at the far limit's depth, ahead (north).
    EXPECT_GT(sky.y, view->frame().centre.y);
}

TEST_F(MapViewCamera, ZoomLimitsHoldForEveryStep) {
    const float d = kViewHeight - 1;
    for (int i = 0; i < 200; ++i) view->zoomStep(1);
    EXPECT_LE(d / state.zoom, MapView::kWidestMetres * 1.0001f);
    for (int i = 0; i < 400; ++i) view->zoomStep(0);
    EXPECT_GE(1 / state.zoom, 0.1f * 0.9999f);
    EXPECT_EQ(state.lastAction, ActionZoom);
    EXPECT_EQ(state.levelChoiceKind, ChoiceZoomIn);
}

TEST_F(MapViewCamera, ZoomStepsInTheFreeView) {
    struct Case {
        float metresPerPixel;
        int direction;
        float expected;
    };
    const Case cases[] = {
        {1.0f, 0, 0.1f + 0.8f * 0.9f},    // in: toward the minimum
        {0.05f, 0, 0.1f},                 // in below the minimum: the minimum
        {1.0f, 1, 1.0f + 0.2f * 0.9f},    // out: a fifth of the distance
        {0.101f, 1, 0.101f + 0.05f},      // out by too little: half the minimum
        {40000.0f, 1, 19110000.0f / 639}, // out past the world: capped
    };
    for (const Case& c : cases) {
        state.zoom = 1 / c.metresPerPixel;
        view->zoomStep(c.direction);
        EXPECT_NEAR(1 / state.zoom, c.expected, c.expected * 1e-4f) << c.metresPerPixel;
    }
}

TEST_F(MapViewCamera, ZoomStepsInTheFollowViewScaleTheFactor) {
    state.freeView = false;
    state.zoom = 2;
    view->zoomStep(0);
    EXPECT_FLOAT_EQ(state.zoomFactor, 1.2f);
    view->zoomStep(1);
    EXPECT_FLOAT_EQ(state.zoomFactor, 1.0f);
    for (int i = 0; i < 100; ++i) view->zoomStep(0);
    EXPECT_FLOAT_EQ(state.zoom * state.zoomFactor, 10.0f); // 0.1 m per pixel
}

TEST_F(MapViewCamera, AZoomOfZeroNeverDividesByZero) {
    for (float z : {0.0f, -3.0f, NAN}) {
        state.zoom = z;
        view->setUpFrame();
        EXPECT_GT(view->frame().scale, 0) << z;
        EXPECT_TRUE(std::isfinite(view->frame().scaleX));
        const GroundHit hit = view->screenToMap(0, 0);
        EXPECT_NE(hit.x, view->frame().centre.x);
        view->dragBy(5, 5);
        view->zoomStep(0);
        EXPECT_TRUE(std::isfinite(state.zoom) && state.zoom > 0) << z;
    }
}

TEST_F(MapViewCamera, TiltOffsetStaysBetweenLevelAndTheSteepestTilt) {
    state.tilt = 30;
    struct Case {
        float delta, expected;
    };
    for (const Case c : {Case{1, 1}, {100, state.maxTilt - 30}, {-500, -30}, {2, -28}}) {
        view->tiltBy(c.delta);
        EXPECT_FLOAT_EQ(state.tiltOffset, c.expected) << c.delta;
    }
    EXPECT_EQ(state.lastAction, ActionTilt);
}

TEST_F(MapViewCamera, ProjectionCycleEcoTo2DTo3DAndBackWithStyle2D) {
    EXPECT_EQ(state.projection, ProjectionEco);
    view->cycleProjection();
    EXPECT_EQ(state.projection, ProjectionPerspective);
    EXPECT_EQ(state.style, Style2D);
    view->cycleProjection();
    EXPECT_EQ(state.projection, ProjectionPerspective);
    EXPECT_EQ(state.style, Style3D);
    view->cycleProjection();
    EXPECT_EQ(state.projection, ProjectionEco);
    EXPECT_EQ(state.style, Style2D);
}

TEST_F(MapViewCamera, OrientationCyclesThroughThreeModes) {
    const int32_t expected[] = {UserHeading, NorthUp, CourseUp};
    for (int32_t e : expected) {
        view->cycleOrientation();
        EXPECT_EQ(state.orientation, e);
    }
}

TEST_F(MapViewCamera, RotateTurnsTheCameraAndKeepsYawInRange) {
    view->rotateBy(-2);
    EXPECT_FLOAT_EQ(view->camera().yaw(), 358);
    view->rotateBy(4);
    EXPECT_FLOAT_EQ(view->camera().yaw(), 2);
    EXPECT_EQ(state.lastAction, ActionRotate);
}

TEST_F(MapViewCamera, EcoDragMovesTheFreePointAgainstThePointer) {
    view->setUpFrame();
    const ViewPoint before = state.freePoint;
    view->dragBy(10, 0); // the pointer moved left: the map follows it
    EXPECT_EQ(state.freePoint.x, before.x + static_cast<int32_t>(10 / view->frame().scaleX));
    view->dragBy(0, 10);
    EXPECT_LT(state.freePoint.y, before.y);
    EXPECT_EQ(state.lastAction, ActionDrag);
}

TEST_F(MapViewCamera, GrabDragKeepsTheGrabbedPointUnderThePointer) {
    view->setProjection(ProjectionPerspective);
    view->setUpFrame();
    const GroundHit grabbed = view->screenToMap(200, 500);
    view->grabDrag({grabbed.x, grabbed.y, -1}, 260, 450);
    view->setUpFrame();
    const ScreenHit now = view->mapToScreen(grabbed.x, grabbed.y);
    EXPECT_NEAR(now.x, 260, 3);
    EXPECT_NEAR(now.y, 450, 3);
}

TEST_F(MapViewCamera, PerspectiveTapLooksDownOnTheTappedPoint) {
    view->setProjection(ProjectionPerspective);
    view->setUpFrame();
    const GroundHit tapped = view->screenToMap(300, 450);
    EXPECT_TRUE(view->perspectiveTap(300, 450));
    EXPECT_EQ(state.projection, ProjectionEco);
    EXPECT_FLOAT_EQ(view->camera().yaw(), 0);
    EXPECT_EQ(state.lastAction, ActionPerspectiveTap);
    EXPECT_NEAR(state.freePoint.x, tapped.x, 40);
    EXPECT_NEAR(state.freePoint.y, tapped.y, 40);
}

TEST_F(MapViewCamera, PerspectiveTapOutsidePinchRangeDoesNothing) {
    view->setProjection(ProjectionPerspective);
    MapViewAccess::camera(*view).setPitch(89);
    EXPECT_FALSE(view->perspectiveTap(240, 500));
    EXPECT_EQ(state.projection, ProjectionPerspective);
}

TEST_F(MapViewCamera, PreviewOnlyInEco) {
    EXPECT_TRUE(view->setPreview(true));
    EXPECT_NE(view->preview(), nullptr);
    EXPECT_TRUE(view->setPreview(false));
    EXPECT_EQ(view->preview(), nullptr);
    view->setProjection(ProjectionPerspective);
    EXPECT_FALSE(view->setPreview(true));
}

TEST_F(MapViewCamera, NearAndFarStayOrderedAndWithinTheLimit) {
    for (float t : {0.0f, 30.0f, 60.0f, state.maxTilt}) {
        state.tilt = t;
        const FrameView& f = view->setUpFrame();
        EXPECT_GE(f.nearZ, 1) << t;
        EXPECT_LT(f.nearZ, f.farZ) << t;
        EXPECT_LE(f.farZ, f.farLimit) << t;
    }
}

TEST_F(MapViewCamera, SavedViewComesBack) {
    state.zoom = 3;
    state.tiltOffset = 7;
    view->setProjection(ProjectionPerspective);
    view->setUpFrame();
    view->saveView();
    state.zoom = 1;
    state.tiltOffset = 0;
    view->setProjection(ProjectionEco);
    state.freePoint.x += 1000;
    view->restoreView();
    EXPECT_FLOAT_EQ(state.zoom, 3);
    EXPECT_FLOAT_EQ(state.tiltOffset, 7);
    EXPECT_EQ(state.projection, ProjectionPerspective);
    EXPECT_EQ(state.freePoint.x, degreesToUnits(37.6f));
}

TEST(MapViewUnits, WesternLongitudesLieWhereTheMapKeepsThem) {
    struct Case {
        float degrees, east;
    };
    for (const Case c : {Case{-1.5f, 358.5f}, {-179.0f, 181.0f}, {37.5f, 37.5f}, {0, 0}})
        EXPECT_FLOAT_EQ(eastLongitude(c.degrees), c.east) << c.degrees;
    EXPECT_EQ(degreesToUnits(360), static_cast<int32_t>(kUnitsPerCircle));
    EXPECT_FLOAT_EQ(unitsToDegrees(degreesToUnits(90)), 90);
}

TEST_F(MapViewCamera, SettingsRestoreTheStoredView) {
    cConfigXML settings;
    settings.scale = 2.5f;
    settings.scaleuser = 0;
    settings.axy = 30;
    settings.ayz = 500;
    settings.ayzuser = 4;
    settings.viewpos = {1000, 2000};
    settings.mapposabs = {-1.5f, 51.0f};
    settings.minangle = 7;
    view->applySettings(settings);
    EXPECT_FLOAT_EQ(state.zoom, 2.5f);
    EXPECT_FLOAT_EQ(state.zoomFactor, 0.0001f);
    EXPECT_FLOAT_EQ(view->camera().yaw(), 30);
    EXPECT_FLOAT_EQ(state.course, 60);
    EXPECT_FLOAT_EQ(state.tilt, state.maxTilt);
    EXPECT_EQ(state.freePoint, (ViewPoint{1000, 2000, kGroundHeight}));
    EXPECT_FLOAT_EQ(state.longitude, 358.5f);
    EXPECT_EQ(state.followed.x, degreesToUnits(358.5f));
    EXPECT_FLOAT_EQ(state.minangle, 7);

    cConfigXML out;
    view->storeSettings(out);
    EXPECT_FLOAT_EQ(out.scale, 2.5f);
    EXPECT_FLOAT_EQ(out.mapposabs[0], 358.5f);
    EXPECT_EQ(out.viewto, 1);
}

TEST_F(MapViewCamera, SettingsWithoutAStoredViewOrWithZoomZero) {
    cConfigXML settings; // scale -1: nothing stored
    state.zoom = 0.7f;
    view->applySettings(settings);
    EXPECT_FLOAT_EQ(state.zoom, 0.7f);
    EXPECT_FLOAT_EQ(state.tilt, 0);
    settings.scale = 0; // stored, but no usable zoom: the fitted one stays
    view->applySettings(settings);
    EXPECT_FLOAT_EQ(state.zoom, 0.7f);
    EXPECT_FLOAT_EQ(state.tilt, 10);
}

TEST(MapViewFixedShift, ShiftGrowsAsTheScaleShrinks) {
    const int64_t mapWidth = unitsOf(38) - unitsOf(37);
    struct Case {
        float scale;
        int32_t shift;
    };
    const Case cases[] = {{1.0f, 10},   {0.0078125f, 10}, {0.001f, 13}, {1e-6f, 23},
                          {1e-12f, -1}, {0.0f, -1},       {NAN, -1}};
    for (const Case& c : cases) EXPECT_EQ(bulkShift(c.scale, mapWidth), c.shift) << c.scale;
}

} // namespace
} // namespace tevo::test

namespace tevo::test {
namespace {

TEST_F(MapViewCamera, AnUnknownPositionWithoutFreePointStaysUnknown) {
    state.freePoint = {};
    view->setFollowedFromDegrees(kUnknownDegrees, kUnknownDegrees);
    EXPECT_FALSE(state.followed.isSet());
    EXPECT_FLOAT_EQ(state.longitude, kUnknownDegrees);
}

} // namespace
} // namespace tevo::test
