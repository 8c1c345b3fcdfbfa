// What the follower does with the view: the replay, pausing it, and
// receiver records with and without a fix.
#include "app/follower.hpp"
#include "app/screen_steps.hpp"
#include "render/view_access.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tevo {
namespace {

GpsData fixAt(float lon, float lat, uint8_t fix = Fix3D) {
    GpsData g{};
    g.longitude = lon;
    g.latitude = lat;
    g.speed = 40;
    g.fix = fix;
    return g;
}

// The shell without a window: the view draws into a surface of its own and
// nothing is flipped.
struct ShellFixture : ::testing::Test {
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 480, 640, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    AppState app;
    void SetUp() override {
        ASSERT_NE(surface, nullptr);
        app.mapView = std::make_unique<MapView>(surface, std::string(TEVO_DIST_DIR) + "/");
        state().kx = 0.3422f;
        state().ky = 0.5960f;
    }
    void TearDown() override {
        app.mapView.reset();
        SDL_FreeSurface(surface);
    }
    MapView& view() { return *app.mapView; }
    ViewState& state() { return MapViewAccess::state(*app.mapView); }
    void receive(const GpsData& record) { followRecord(app, record, RecordSource::Receiver); }
};

TEST_F(ShellFixture, AFirstFixMakesTheViewFollow) {
    receive(fixAt(37.58f, 55.81f));
    EXPECT_FALSE(state().freeView);
    EXPECT_TRUE(app.follow.firstFixSeen);
    EXPECT_EQ(state().followed.x, degreesToUnits(37.58f));
}

TEST_F(ShellFixture, LosingTheFixFreesTheViewWhereTheVehicleWasAndTheNextFixReturnsIt) {
    receive(fixAt(37.58f, 55.81f));
    receive(fixAt(37.581f, 55.81f));
    const ViewPoint seen = state().followed;
    receive(fixAt(0, 0, FixNone));
    EXPECT_TRUE(state().freeView);
    EXPECT_TRUE(state().noFix);
    EXPECT_EQ(state().freePoint.x, seen.x);
    EXPECT_EQ(state().freePoint.y, seen.y);
    receive(fixAt(37.582f, 55.81f));
    EXPECT_FALSE(state().freeView);
    EXPECT_FALSE(state().noFix);
}

TEST_F(ShellFixture, AfterTheUserMovedTheMapALostFixOnlyMovesTheReturnPoint) {
    receive(fixAt(37.58f, 55.81f));
    view().saveView();
    view().freeSwitch();
    state().freePoint = {100, 200, kGroundHeight};
    app.viewMovedByUser = true;
    receive(fixAt(0, 0, FixNone));
    EXPECT_EQ(state().freePoint.x, 100);
    EXPECT_EQ(state().saved.freePoint, state().followed);
    // The fix comes back: the view stays where the user put it.
    receive(fixAt(37.581f, 55.81f));
    EXPECT_TRUE(state().freeView);
}

void returnCommand(int32_t) {}

TEST_F(ShellFixture, AFirstFixAfterTheUserMovedTheMapReturnsAsTheReturnButtonDoes) {
    // A map screen with a return button, hidden as at start.
    app.screens = std::make_unique<ScreenSet>();
    app.screens->commands[CommandReturnPosition] = returnCommand;
    app.screens->navigation = std::make_unique<cPanel>(0, 0, 480, 640, nullptr);
    auto button = std::make_unique<cControl>(272, 568, 368, 632, nullptr);
    button->setCallback(returnCommand);
    app.screens->navigation->add(std::move(button));
    app.screens->hideReturnButton();
    // The stored view of the last run; the user taps the map before any fix.
    view().setZoomAndTilt(1.0f, 20.0f);
    state().followed = {degreesToUnits(37.58f), degreesToUnits(55.81f), kGroundHeight};
    view().followSwitch();
    view().saveView();
    app.screens->showReturnButton();
    view().freeSwitch();
    app.viewMovedByUser = true;
    view().markTap(240, 500);
    ASSERT_TRUE(view().overlays().tapMarkerActive());
    receive(fixAt(37.581f, 55.81f));
    EXPECT_FALSE(state().freeView);
    EXPECT_FALSE(app.viewMovedByUser);
    EXPECT_TRUE(app.follow.firstFixSeen);
    EXPECT_EQ(app.screens->returnButtonState(), ReturnButton::Hidden);
    EXPECT_FALSE(view().overlays().tapMarkerActive());
    app.screens.reset();
}

// The speed-dependent view of the program folder's vsa.xml: zoom 1 / scale,
// tilt 90 - angle; the scale follows the speed between entries, the angle
// changes at an entry's speed.
struct SpeedView {
    float speed; // km/h
    float scale; // metres per pixel
    float tilt;  // degrees
};

class SpeedViewFixture : public ShellFixture, public testing::WithParamInterface<SpeedView> {};

TEST_P(SpeedViewFixture, ZoomAndTiltFollowTheSpeedOfTheReceiver) {
    const SpeedView& c = GetParam();
    view().setProjection(1);
    receive(fixAt(37.58f, 55.81f));
    GpsData moved = fixAt(37.581f, 55.81f);
    moved.speed = c.speed;
    receive(moved);
    // The view glides there within the second.
    while (view().transitionPending()) view().stepTransition();
    EXPECT_NEAR(state().zoom, 1.0f / c.scale, 1e-3f);
    EXPECT_NEAR(state().tilt, c.tilt, 1e-3f);
    EXPECT_NEAR(view().camera().pitch(), c.tilt, 1e-3f);
}

INSTANTIATE_TEST_SUITE_P(DataVsaXml, SpeedViewFixture,
                         testing::Values(SpeedView{0, 0.5f, 20}, SpeedView{15, 0.65f, 20},
                                         SpeedView{30, 0.8f, 25}, SpeedView{40, 1.0f, 25},
                                         SpeedView{50, 1.2f, 30}, SpeedView{95, 3.5f, 35},
                                         SpeedView{130, 6.0f, 45}, SpeedView{250, 9.0f, 45}),
                         [](const testing::TestParamInfo<SpeedView>& info) {
                             return "Kmh" + std::to_string(static_cast<int>(info.param.speed));
                         });

TEST_F(ShellFixture, TheReplayTakesAPointASecondAndSpacePausesIt) {
    app.demoTrack.points = {fixAt(37.58f, 55.81f), fixAt(37.581f, 55.81f), fixAt(37.582f, 55.81f)};
    app.demoTrack.loaded = true;
    app.demoMode = true;
    app.follow.lastRecordTick = SDL_GetTicks() - 2000;
    replayStep(app);
    EXPECT_EQ(app.demoTrack.readPosition, 1u);
    EXPECT_FALSE(state().freeView);
    EXPECT_EQ(state().orientation, CourseUp);
    // Within the second nothing new is taken.
    replayStep(app);
    EXPECT_EQ(app.demoTrack.readPosition, 1u);
    app.paused = true;
    app.follow.lastRecordTick = SDL_GetTicks() - 2000;
    replayStep(app);
    EXPECT_EQ(app.demoTrack.readPosition, 1u);
    app.paused = false;
    replayStep(app);
    EXPECT_EQ(app.demoTrack.readPosition, 2u);
}

} // namespace
} // namespace tevo
