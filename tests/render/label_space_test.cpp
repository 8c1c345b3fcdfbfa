#include "overlay_support.hpp"
#include "render/overlays/label_grid.hpp"
#include "render/overlays/label_space.hpp"
#include "render/overlays/street_labels.hpp"

#include <algorithm>

namespace tevo::test {
namespace {

struct Extent {
    double left, top, right, bottom;
};

Extent extentOf(const LabelBox& box) {
    Extent e{1e9, 1e9, -1e9, -1e9};
    for (const LabelBox::Corner& c : box.corners) {
        e.left = std::min(e.left, c.x);
        e.right = std::max(e.right, c.x);
        e.top = std::min(e.top, c.y);
        e.bottom = std::max(e.bottom, c.y);
    }
    return e;
}

TEST(TextBoxes, TurnCounterClockwiseAboutTheirPivotAsTheBlitDoes) {
    // 100 x 20 text resting on (50, 200), read upwards.
    const Extent up = extentOf(labelBox(100, 20, {0, 20}, {50, 200}, 90));
    EXPECT_NEAR(up.left, 30, 1e-6);
    EXPECT_NEAR(up.right, 50, 1e-6);
    EXPECT_NEAR(up.top, 100, 1e-6);
    EXPECT_NEAR(up.bottom, 200, 1e-6);
    const Extent flat = extentOf(labelBox(100, 20, {0, 0}, {5, 7}));
    EXPECT_NEAR(flat.left, 5, 1e-6);
    EXPECT_NEAR(flat.right, 105, 1e-6);
    EXPECT_NEAR(flat.bottom, 27, 1e-6);
}

struct OverlapCase {
    const char* what;
    LabelBox a;
    LabelBox b;
    bool overlap;
};

class TextBoxOverlap : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(TextBoxOverlap, FollowsTheTurnedOutlines) {
    const OverlapCase& c = GetParam();
    EXPECT_EQ(overlaps(c.a, c.b), c.overlap) << c.what;
    EXPECT_EQ(overlaps(c.b, c.a), c.overlap) << c.what << ", the other way";
}

const LabelBox kFlat = labelBox(100, 20, {0, 0}, {0, 0});

INSTANTIATE_TEST_SUITE_P(
    Boxes, TextBoxOverlap,
    ::testing::Values(
        OverlapCase{"crossing", kFlat, labelBox(100, 20, {0, 0}, {50, 10}), true},
        OverlapCase{"one inside the other", kFlat, labelBox(10, 5, {0, 0}, {40, 5}), true},
        OverlapCase{"side by side", kFlat, labelBox(100, 20, {0, 0}, {100, 0}), false},
        OverlapCase{"touching by a pixel", kFlat, labelBox(100, 20, {0, 0}, {0, 19}), false},
        OverlapCase{"two pixels in", kFlat, labelBox(100, 20, {0, 0}, {0, 18}), true},
        // Their extents overlap, the turned text does not reach the other.
        OverlapCase{"turned, beside a corner", kFlat, labelBox(100, 10, {0, 10}, {60, 80}, 45),
                    false},
        OverlapCase{"turned, across", kFlat, labelBox(100, 10, {0, 10}, {20, 60}, 45), true}));

TEST(LabelSpace, KeepsWhatItGrantsAndRefusesWhatWouldOverlap) {
    cLabelSpace space;
    EXPECT_TRUE(space.claim(kFlat));
    EXPECT_FALSE(space.claim(labelBox(100, 20, {0, 0}, {30, 5})));
    EXPECT_TRUE(space.claim(labelBox(100, 20, {0, 0}, {0, 40})));
    EXPECT_EQ(space.count(), 2);
    space.clear();
    EXPECT_EQ(space.count(), 0);
    EXPECT_TRUE(space.claim(labelBox(100, 20, {0, 0}, {30, 5})));
}

class LabelSpaceDrawing : public ::testing::Test {
protected:
    void SetUp() override { openMapFont(font, canvas.surface.get()); }
    Canvas canvas{300, 300};
    TextStyle font;
};

TEST_F(LabelSpaceDrawing, NamesThatWouldWriteOverAStreetNameAreLeftOut) {
    cStreetLabels streets;
    const ScreenPoint road[2] = {{10, 100}, {290, 100}};
    ASSERT_TRUE(streets.offer(road, 2, u"Tverskaya", font));
    cLabelSpace space;
    streets.drawStreetLabels(canvas.painter, font, &space);
    ASSERT_EQ(space.count(), 1);

    // Two names on the street's text, one well below it.
    cLabelGrid grid({0, 0, 299, 299});
    ASSERT_TRUE(grid.addLabel(makeAreaLabel({120, 90}, u"Park", 80)));
    ASSERT_TRUE(grid.addLabel(makeAreaLabel({20, 200}, u"Pond", 80)));
    ASSERT_TRUE(grid.addLabel(makeAreaLabel({130, 95}, u"Garden", 80)));
    grid.drawGrid(canvas.painter, font, 0, &space);
    EXPECT_EQ(space.count(), 2);
}

} // namespace
} // namespace tevo::test
