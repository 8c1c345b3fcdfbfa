// The glide between fixes: its plan, its steps, and the limits it keeps.
#include "platform/clock.hpp"
#include "render/view_support.hpp"

namespace tevo::test {
namespace {

struct PlanCase {
    int32_t drawMs, intervalMs;
    int32_t steps, sleepMs;
};
class PlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanTest, StepsAndSleepFillTheInterval) {
    const PlanCase& c = GetParam();
    const TransitionPlan plan = planTransition(c.drawMs, c.intervalMs, TransitionTable::kMaxSteps);
    EXPECT_EQ(plan.steps, c.steps);
    if (c.steps > 0) {
        EXPECT_EQ(plan.sleepMs, c.sleepMs);
    }
}
INSTANTIATE_TEST_SUITE_P(Plans, PlanTest,
                         ::testing::Values(PlanCase{30, 1000, 25, 10}, // 33 capped to 25
                                           PlanCase{0, 1000, 25, 30},  // 0 counts as 10 ms
                                           PlanCase{100, 1000, 10, 1}, // never below 1 ms
                                           PlanCase{300, 1000, 3, 33},
                                           PlanCase{1500, 1000, 0, 0}, // one frame only
                                           PlanCase{-5, 1000, 25, 30}));

TEST(TransitionTableTest, RegistersOnlyTheKnownKinds) {
    TransitionTable t;
    float f = 0, pf = 0;
    int32_t i = 0, pi = 0;
    ViewPoint p, pp;
    EXPECT_TRUE(t.add("float", &pf, &f));
    EXPECT_TRUE(t.add("int", &pi, &i));
    EXPECT_TRUE(t.add("_T3DPoint<int>", &pp, &p));
    EXPECT_FALSE(t.add("double", &pf, &f));
    EXPECT_EQ(t.entries().size(), 3u);
}

TEST(TransitionTableTest, IntegersWalkThroughAnAccumulatorAndSnapToTheirEnd) {
    TransitionTable t;
    int32_t value = 10, previous = 0;
    t.add("int", &previous, &value);
    t.prepare(4);
    EXPECT_EQ(value, 0);
    t.advance();
    EXPECT_EQ(value, 2); // a fractional step truncates toward zero
    t.advance();
    EXPECT_EQ(value, 5);
    t.snapToEnd();
    EXPECT_EQ(value, 10);
}

// A perspective follow view; the frames it asks for are counted.
struct TransitionFixture : ViewFixture {
    int frames = 0;
    void SetUp() override {
        ViewFixture::SetUp();
        view->setProjection(ProjectionPerspective);
        state.freeView = false;
        state.noFix = false;
        state.positionChanged = true;
        state.drawTimeMs = 30;
        state.previousFollowed = {1000, 2000, kGroundHeight};
        state.followed = {1250, 2500, kGroundHeight};
    }
    int runToEnd() {
        int steps = 0;
        while (view->transitionPending() && steps < 100) {
            frames += view->stepTransition();
            ++steps;
        }
        return steps;
    }
};

TEST_F(TransitionFixture, GlidesInTheSteppedCountAndEndsAtTheNewPosition) {
    frames += view->startTransition();
    EXPECT_TRUE(view->transitionPending());
    EXPECT_EQ(view->transitions().stepCount, 25);
    EXPECT_EQ(view->transitions().sleepMs, 10);
    EXPECT_EQ(state.followed, state.previousFollowed);
    frames += view->stepTransition();
    EXPECT_EQ(state.followed.x, 1010);
    EXPECT_EQ(state.followed.y, 2020);
    EXPECT_EQ(runToEnd(), 25); // 24 more steps, then the end
    EXPECT_FALSE(view->transitionPending());
    EXPECT_EQ(state.followed.x, 1250);
    EXPECT_EQ(state.followed.y, 2500);
    EXPECT_EQ(frames, 25);
}

TEST_F(TransitionFixture, AStepSleepsOnlyUntilItsShareOfTheIntervalIsOver) {
    state.fixInterval = 1000;
    frames += view->startTransition();
    ASSERT_EQ(view->transitions().stepCount, 25);
    ASSERT_EQ(view->transitions().sleepMs, 10);
    MapViewAccess::transitions(*view).stepIndex = 1; // due 40 ms after the start
    // Early: the planned sleep, no more.
    EXPECT_EQ(view->stepPause(), 10u);
    // The frame and the flip took 35 ms: what is left of the share.
    MapViewAccess::transitions(*view).startTick = ticks() - 35;
    EXPECT_LE(view->stepPause(), 5u);
    // Behind the plan: no sleep at all.
    MapViewAccess::transitions(*view).startTick = ticks() - 500;
    EXPECT_EQ(view->stepPause(), 0u);
    // After the last frame the transition just ends.
    MapViewAccess::transitions(*view).stepIndex = 25;
    MapViewAccess::transitions(*view).startTick = ticks();
    EXPECT_EQ(view->stepPause(), 0u);
}

TEST_F(TransitionFixture, NeverTurnsTheCourseMoreThanSixtyDegrees) {
    state.previousCourse = 0;
    state.course = 100;
    frames += view->startTransition();
    runToEnd();
    EXPECT_NEAR(state.course, 60, 1e-3);
    state.previousCourse = 0;
    state.course = -170;
    frames += view->startTransition();
    runToEnd();
    EXPECT_NEAR(state.course, -60, 1e-3);
}

TEST_F(TransitionFixture, TheFreeViewKeepsItsZoom) {
    state.freeView = true;
    state.previousZoom = 1;
    state.zoom = 2;
    frames += view->startTransition();
    EXPECT_FLOAT_EQ(state.zoom, 2);
    frames += view->stepTransition();
    EXPECT_FLOAT_EQ(state.zoom, 2);
    runToEnd();
    EXPECT_FLOAT_EQ(state.zoom, 2);
}

TEST_F(TransitionFixture, TheFollowViewZoomsFromThePreviousZoom) {
    state.previousZoom = 1;
    state.zoom = 2;
    frames += view->startTransition();
    EXPECT_FLOAT_EQ(state.zoom, 1);
    runToEnd();
    EXPECT_NEAR(state.zoom, 2, 1e-4);
}

TEST_F(TransitionFixture, TiltEndsAsTheCameraPitch) {
    state.previousTilt = 10;
    state.tilt = 40;
    frames += view->startTransition();
    runToEnd();
    EXPECT_NEAR(state.tilt, 40, 1e-3);
    EXPECT_NEAR(view->camera().pitch(), 40, 1e-3);
}

TEST_F(TransitionFixture, ACutShortTransitionStaysWhereItsLastStepLeftIt) {
    frames += view->startTransition();
    frames += view->stepTransition();
    view->finishTransition();
    EXPECT_EQ(view->transitions().stepIndex, -1);
    EXPECT_EQ(state.followed.x, 1010);
}

TEST_F(TransitionFixture, AStepAcrossTheZeroLineJumpsInsteadOfGlidingRoundTheEarth) {
    state.previousFollowed = {static_cast<int32_t>(kUnitsPerCircle) - 10, 2000, kGroundHeight};
    state.followed = {5, 2000, kGroundHeight};
    frames += view->startTransition();
    frames += view->stepTransition();
    EXPECT_EQ(state.followed.x, 5);
}

TEST_F(TransitionFixture, TheFlatViewDrawsOneFrameAndDoesNotAnimate) {
    view->setProjection(ProjectionEco);
    frames += view->startTransition();
    EXPECT_FALSE(view->transitionPending());
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(state.followed.x, 1250);
}

TEST_F(TransitionFixture, NothingIsDrawnWithoutAFix) {
    state.noFix = true;
    frames += view->startTransition();
    EXPECT_EQ(frames, 0);
    EXPECT_FALSE(view->transitionPending());
}

TEST_F(TransitionFixture, AnUnchangedPositionDrawsOnceAndWaitsOutTheInterval) {
    state.positionChanged = false;
    frames += view->startTransition();
    EXPECT_EQ(frames, 1);
    MapViewAccess::transitions(*view).animating = true;
    frames += view->stepTransition();
    EXPECT_TRUE(view->transitionPending());
    EXPECT_EQ(frames, 1);
}

} // namespace
} // namespace tevo::test
