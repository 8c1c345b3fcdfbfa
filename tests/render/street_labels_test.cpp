#include "overlay_support.hpp"
#include "render/overlays/street_labels.hpp"

#include <cmath>

namespace tevo::test {
namespace {

class StreetLabels : public ::testing::Test {
protected:
    void SetUp() override { openMapFont(font, canvas.surface.get()); }
    int32_t widthOf(std::u16string_view name) {
        int32_t w = 0;
        font.measureWithStrip(name, &w, nullptr);
        return w;
    }
    Canvas canvas{300, 300};
    TextStyle font;
    const std::u16string name = u"Tverskaya";
};

TEST_F(StreetLabels, NoPathOrNameGivesNoLabel) {
    const ScreenPoint path[2] = {{0, 100}, {250, 100}};
    Label l;
    EXPECT_FALSE(placeStreetLabel(nullptr, 2, name, font, l));
    EXPECT_FALSE(placeStreetLabel(path, 1, name, font, l));
    EXPECT_FALSE(placeStreetLabel(path, 2, u"", font, l));
}

TEST_F(StreetLabels, ASegmentShorterThanThreeQuartersOfTheNameGetsNoName) {
    const int32_t w = widthOf(name);
    ASSERT_GT(w, 20);
    const int32_t c = ((w * 12) >> 4) + 1;
    const ScreenPoint tooShort[3] = {{10, 100}, {10 + c - 1, 100}, {10 + c - 1, 110}};
    const ScreenPoint justLong[2] = {{10, 100}, {10 + c, 100}};
    Label l;
    EXPECT_FALSE(placeStreetLabel(tooShort, 3, name, font, l));
    EXPECT_TRUE(placeStreetLabel(justLong, 2, name, font, l));
}

TEST_F(StreetLabels, LeftToRightNameIsCentredOnTheLongestSegment) {
    const int32_t w = widthOf(name);
    const ScreenPoint path[4] = {{0, 50}, {20, 50}, {20, 60}, {220, 60}};
    Label l;
    ASSERT_TRUE(placeStreetLabel(path, 4, name, font, l));
    EXPECT_EQ(l.angle, 0);
    EXPECT_EQ(l.anchor.x, 20 + ((200 - w) >> 1));
    EXPECT_EQ(l.anchor.y, 60);
    EXPECT_EQ(l.name, name);
}

TEST_F(StreetLabels, OfTwoLongestSegmentsTheLaterWins) {
    const ScreenPoint path[3] = {{0, 50}, {200, 50}, {200, 250}};
    Label l;
    ASSERT_TRUE(placeStreetLabel(path, 3, name, font, l));
    EXPECT_EQ(l.angle, -90); // downwards on the screen
    EXPECT_EQ(l.anchor.x, 200);
}

struct TurnCase {
    const char* what;
    ScreenPoint from, to;
    int32_t angle; // expected, truncated degrees
    bool fromFirstPoint;
};

class StreetLabelTurns : public StreetLabels, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(StreetLabelTurns, NamesNeverReadUpsideDown) {
    const TurnCase& c = GetParam();
    const ScreenPoint path[2] = {c.from, c.to};
    Label l;
    ASSERT_TRUE(placeStreetLabel(path, 2, name, font, l)) << c.what;
    EXPECT_EQ(l.angle, c.angle) << c.what;
    // The anchor lies on the half of the segment the text starts from.
    const ScreenPoint start = c.fromFirstPoint ? c.from : c.to;
    const ScreenPoint end = c.fromFirstPoint ? c.to : c.from;
    const double toStart = std::hypot(l.anchor.x - start.x, l.anchor.y - start.y);
    const double toEnd = std::hypot(l.anchor.x - end.x, l.anchor.y - end.y);
    EXPECT_LT(toStart, toEnd) << c.what;
}

// About 30 degrees from the horizontal: 150 degrees read the other way.
INSTANTIATE_TEST_SUITE_P(
    Segments, StreetLabelTurns,
    ::testing::Values(TurnCase{"right to left, rising", {200, 200}, {26, 100}, 330, false},
                      TurnCase{"right to left, falling", {200, 100}, {27, 200}, 30, false},
                      TurnCase{"left to right, rising", {27, 200}, {200, 100}, 30, true},
                      TurnCase{"near vertical up, leaning left", {100, 250}, {95, 50}, 91, true},
                      TurnCase{"near vertical down, leaning left", {100, 50}, {95, 250}, -91, true},
                      TurnCase{"steep but beyond ten degrees", {100, 250}, {50, 50}, 284, false}));

TEST_F(StreetLabels, EachStreetNameIsDrawnOnceAndOthersToo) {
    cStreetLabels list;
    const std::u16string other = u"Arbat";
    const ScreenPoint first[2] = {{10, 60}, {290, 60}};
    const ScreenPoint second[2] = {{10, 160}, {290, 160}};
    const ScreenPoint third[2] = {{10, 260}, {290, 260}};
    ASSERT_TRUE(list.offer(first, 2, name, font));
    ASSERT_TRUE(list.offer(second, 2, name, font));
    ASSERT_TRUE(list.offer(third, 2, other, font));
    list.drawStreetLabels(canvas.painter, font);
    const uint32_t paper = canvas.painter.mapColour(kPaper);
    EXPECT_TRUE(anyOtherThan(canvas.surface.get(), {0, 20, 299, 60}, paper));
    EXPECT_FALSE(anyOtherThan(canvas.surface.get(), {0, 120, 299, 160}, paper));
    EXPECT_TRUE(anyOtherThan(canvas.surface.get(), {0, 220, 299, 260}, paper));
    // Sorted by name: Arbat first.
    EXPECT_EQ(list.labels()[0].name, other);
    list.clear();
    EXPECT_TRUE(list.labels().empty());
}

TEST_F(StreetLabels, TextBottomRestsOnTheAnchor) {
    cStreetLabels list;
    const ScreenPoint path[2] = {{10, 100}, {290, 100}};
    ASSERT_TRUE(list.offer(path, 2, name, font));
    list.drawStreetLabels(canvas.painter, font);
    const uint32_t paper = canvas.painter.mapColour(kPaper);
    EXPECT_TRUE(anyOtherThan(canvas.surface.get(), {0, 80, 299, 99}, paper));
    EXPECT_FALSE(anyOtherThan(canvas.surface.get(), {0, 100, 299, 299}, paper));
}

} // namespace
} // namespace tevo::test
