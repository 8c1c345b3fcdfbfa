#include "overlay_support.hpp"
#include "render/overlays/tap_marker.hpp"

namespace tevo::test {
namespace {

class TapMarker : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        paintPattern(canvas.surface.get());
        before = snapshot(canvas.surface.get());
    }
    uint32_t markerColour() const { return canvas.painter.mapColour(cTapMarker::kColour); }
    int markerPixels() const { return countPixels(canvas.surface.get(), markerColour()); }

    Canvas canvas{200, 150, GetParam()};
    cTapMarker marker{canvas.surface.get(), canvas.painter};
    std::vector<uint32_t> before;
    const ViewPoint where{1000, 2000, -500};
};

TEST_P(TapMarker, DisappearsEightSecondsAfterTheTapRestoringTheScreen) {
    marker.setTapMarker({100, 70}, where, false);
    ASSERT_TRUE(marker.active());
    marker.drawTapMarker(5000, {100, 70});
    EXPECT_GT(markerPixels(), 0);
    EXPECT_EQ(pixelAt(canvas.surface.get(), 100, 70), markerColour());
    marker.drawTapMarker(13000, {100, 70}); // 8000 ms: still there
    EXPECT_TRUE(marker.active());
    marker.drawTapMarker(13001, {100, 70});
    EXPECT_FALSE(marker.active());
    EXPECT_EQ(snapshot(canvas.surface.get()), before);
}

TEST_P(TapMarker, RingGrowsOverEachOneSecondCycle) {
    marker.setTapMarker({100, 70}, where, false);
    const struct {
        uint32_t tick;
        int32_t inner, outer;
    } steps[] = {
        {5000, 1, 4}, {5500, 15, 18}, {6000, 29, 32}, {6001, 1, 4}, {6251, 8, 11},
    };
    for (const auto& s : steps) {
        marker.drawTapMarker(s.tick, {100, 70});
        EXPECT_EQ(marker.innerRadius(), s.inner) << s.tick;
        EXPECT_EQ(marker.outerRadius(), s.outer) << s.tick;
    }
}

TEST_P(TapMarker, AnimatingOnScreenLeavesNoTrail) {
    marker.setTapMarker({100, 70}, where, false);
    marker.drawTapMarker(5000, {100, 70});
    marker.drawTapMarker(5900, {100, 70}); // a wide ring
    marker.drawTapMarker(6100, {100, 70}); // a small one: the wide ring is gone
    EXPECT_EQ(pixelAt(canvas.surface.get(), 100 + 28, 70), before[70 * 200 + 128]);
    marker.eraseTapMarker();
    EXPECT_FALSE(marker.active());
    EXPECT_EQ(snapshot(canvas.surface.get()), before);
}

TEST_P(TapMarker, TapsAboveTheHorizonAreIgnored) {
    marker.setTapMarker({100, 70}, where, true);
    EXPECT_FALSE(marker.active());
    marker.drawTapMarker(5000, {100, 70});
    EXPECT_EQ(snapshot(canvas.surface.get()), before);
}

TEST_P(TapMarker, ErasingBeforeTheFirstDrawLeavesTheScreenAlone) {
    marker.setTapMarker({100, 70}, where, false);
    marker.eraseTapMarker();
    EXPECT_FALSE(marker.active());
    EXPECT_EQ(snapshot(canvas.surface.get()), before);
}

TEST_P(TapMarker, ANewTapErasesTheOldMarker) {
    marker.setTapMarker({40, 40}, where, false);
    marker.drawTapMarker(5000, {40, 40});
    marker.setTapMarker({150, 100}, ViewPoint{7, 8, -500}, false);
    EXPECT_EQ(snapshot(canvas.surface.get()), before);
    EXPECT_EQ(marker.mapPoint().x, 7);
    EXPECT_EQ(marker.screenPoint().x, 150);
}

TEST_P(TapMarker, MarkersAtTheScreenEdgeRestoreExactly) {
    for (ScreenPoint at : {ScreenPoint{3, 2}, ScreenPoint{199, 149}, ScreenPoint{-20, 70}}) {
        marker.setTapMarker(at, where, false);
        marker.drawTapMarker(5000, at);
        marker.drawTapMarker(5600, at);
        marker.eraseTapMarker();
        EXPECT_EQ(snapshot(canvas.surface.get()), before) << at.x << "," << at.y;
    }
}

TEST_P(TapMarker, AfterUserActionTheNewFrameIsSavedAndTheLifeStartsAgain) {
    marker.setTapMarker({100, 70}, where, false);
    marker.drawTapMarker(5000, {100, 70});
    // A new frame after a drag: the map beneath is different now.
    fillSurface(canvas.surface.get(), canvas.painter.mapColour(kBlue));
    const std::vector<uint32_t> frame = snapshot(canvas.surface.get());
    marker.resetAnimation();
    marker.setDrawToScreen(false);
    marker.drawTapMarker(12000, {110, 80});
    marker.setDrawToScreen(true);
    marker.drawTapMarker(19000, {110, 80}); // 7000 ms into the new life
    EXPECT_TRUE(marker.active());
    marker.drawTapMarker(20001, {110, 80});
    EXPECT_FALSE(marker.active());
    EXPECT_EQ(snapshot(canvas.surface.get()), frame);
}

INSTANTIATE_TEST_SUITE_P(Depths, TapMarker, ::testing::Values(16, 32));

TEST(TapMarkerWithoutScreen, DrawsNothingAndDoesNotFail) {
    Canvas canvas(20, 20);
    cTapMarker marker(nullptr, canvas.painter);
    marker.setTapMarker({10, 10}, ViewPoint{}, false);
    marker.drawTapMarker(5000, {10, 10});
    marker.eraseTapMarker();
    EXPECT_EQ(countPixels(canvas.surface.get(), canvas.painter.mapColour(kPaper)), 400);
}

} // namespace
} // namespace tevo::test
