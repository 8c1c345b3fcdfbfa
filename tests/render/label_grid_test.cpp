#include "overlay_support.hpp"
#include "render/overlays/label_grid.hpp"
#include "render/raster/rotated_blit.hpp"

#include <vector>

namespace tevo::test {
namespace {

constexpr PixelRect kViewport{0, 0, 299, 299}; // cells of 100 x 100

Label poi(std::u16string_view name, int32_t type, ScreenPoint at = {50, 50}) {
    Label l;
    l.anchor = at;
    l.name = name;
    l.priority = type;
    l.type = type;
    l.kind = kLabelPoi;
    return l;
}

Label area(std::u16string_view name, ScreenPoint at = {50, 50}) {
    return makeAreaLabel(at, name, 80);
}

std::vector<std::u16string> namesIn(const cLabelGrid& grid, int cell) {
    std::vector<std::u16string> names;
    for (int i = 0; i < cLabelGrid::kSlots; ++i)
        if (const Label* l = grid.slot(cell, i)) names.emplace_back(l->name);
    return names;
}

TEST(LabelGrid, AnchorsOutsideTheGridAndNegativePrioritiesAreRejected) {
    cLabelGrid grid(kViewport);
    EXPECT_FALSE(grid.addLabel(poi(u"A", 5, {-1, 10})));
    EXPECT_FALSE(grid.addLabel(poi(u"A", 5, {300, 10})));
    EXPECT_FALSE(grid.addLabel(poi(u"A", 5, {10, 300})));
    EXPECT_FALSE(grid.addLabel(poi(u"A", -1, {10, 10})));
    EXPECT_TRUE(grid.addLabel(poi(u"A", 5, {299, 299})));
    EXPECT_NE(grid.slot(8, 0), nullptr);
    EXPECT_TRUE(grid.addLabel(poi(u"B", 5, {0, 0})));
    EXPECT_NE(grid.slot(0, 0), nullptr);
    EXPECT_TRUE(grid.addLabel(poi(u"C", 5, {100, 199})));
    EXPECT_NE(grid.slot(4, 0), nullptr);
}

TEST(LabelGrid, TheSameNameInTwoNinthsIsShownOnce) {
    cLabelGrid grid(kViewport);
    EXPECT_TRUE(grid.addLabel(poi(u"Cafe", 0x2A00, {50, 50})));
    EXPECT_FALSE(grid.addLabel(poi(u"Cafe", 0x2A00, {250, 250})));
    EXPECT_FALSE(grid.addLabel(area(u"Cafe", {150, 50})));
    EXPECT_EQ(grid.count(), 1);
}

TEST(LabelGrid, AMoreImportantLowerKindNameElsewhereIsStillAccepted) {
    cLabelGrid grid(kViewport);
    EXPECT_TRUE(grid.addLabel(area(u"Park", {50, 50})));
    EXPECT_TRUE(grid.addLabel(poi(u"Park", 0, {250, 250}))); // priority 0 < 1, kind 0 < 1
    EXPECT_EQ(grid.count(), 2);
}

// One cell: offers in order, whether each is accepted, the names kept.
struct SlotCase {
    const char* what;
    std::vector<Label> offers;
    std::vector<bool> accepted;
    std::vector<std::u16string> kept;
};

class LabelGridSlots : public ::testing::TestWithParam<SlotCase> {};

TEST_P(LabelGridSlots, KeepTheRightNamesInOrder) {
    const SlotCase& c = GetParam();
    cLabelGrid grid(kViewport);
    for (std::size_t i = 0; i < c.offers.size(); ++i)
        EXPECT_EQ(grid.addLabel(c.offers[i]), c.accepted[i]) << c.what << ", offer " << i;
    EXPECT_EQ(namesIn(grid, 0), c.kept) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LabelGridSlots,
    ::testing::Values(
        SlotCase{"names sort within a cell",
                 {poi(u"F", 5), poi(u"D", 5), poi(u"B", 5)},
                 {true, true, true},
                 {u"B", u"D", u"F"}},
        SlotCase{"an insert pushes the last name out",
                 {poi(u"B", 5), poi(u"D", 5), poi(u"F", 5), poi(u"A", 5)},
                 {true, true, true, true},
                 {u"A", u"B", u"D"}},
        SlotCase{"a name after three kept ones finds no slot",
                 {poi(u"B", 5), poi(u"D", 5), poi(u"F", 5), poi(u"G", 5)},
                 {true, true, true, false},
                 {u"B", u"D", u"F"}},
        SlotCase{"an equal label is rejected", {poi(u"B", 5), poi(u"B", 5)}, {true, false}, {u"B"}},
        SlotCase{"a more important label replaces its namesake",
                 {poi(u"B", 9), poi(u"B", 5)},
                 {true, true},
                 {u"B"}},
        SlotCase{"a less important namesake is not shown twice",
                 {poi(u"B", 5), poi(u"B", 9)},
                 {true, false},
                 {u"B"}},
        SlotCase{"a less important label goes after names it precedes",
                 {poi(u"D", 5), poi(u"B", 9)},
                 {true, true},
                 {u"D", u"B"}},
        SlotCase{"a more important label goes before names that sort after it",
                 {poi(u"D", 9), poi(u"B", 5)},
                 {true, true},
                 {u"B", u"D"}},
        SlotCase{"a POI name replaces the area of its name",
                 {area(u"Park"), poi(u"Park", 7)},
                 {true, true},
                 {u"Park"}},
        SlotCase{"an area name loses to the POI of its name",
                 {poi(u"Park", 7), area(u"Park")},
                 {true, false},
                 {u"Park"}},
        SlotCase{"POI names go before area names",
                 {area(u"A"), poi(u"Z", 7)},
                 {true, true},
                 {u"Z", u"A"}},
        SlotCase{"area names go after POI names",
                 {poi(u"Z", 7), area(u"A")},
                 {true, true},
                 {u"Z", u"A"}},
        SlotCase{"names compare as unsigned code units",
                 {poi(u"\u0416", 5), poi(u"z", 5)},
                 {true, true},
                 {u"z", u"\u0416"}}));

TEST(LabelGrid, ClearEmptiesEveryCell) {
    cLabelGrid grid(kViewport);
    grid.addLabel(poi(u"A", 5, {10, 10}));
    grid.addLabel(poi(u"B", 5, {250, 250}));
    grid.clear();
    EXPECT_EQ(grid.count(), 0);
    EXPECT_TRUE(grid.addLabel(poi(u"A", 5, {250, 10})));
}

TEST(CompareNames, UnsignedUnitsAndShorterFirst) {
    EXPECT_LT(compareNames(u"ab", u"abc"), 0);
    EXPECT_EQ(compareNames(u"abc", u"abc"), 0);
    EXPECT_GT(compareNames(u"\uFFFF", u"a"), 0);
    EXPECT_GT(compareNames(u"\u0430", u"z"), 0);
    EXPECT_LT(compareNames(u"", u"a"), 0);
}

class LabelDrawing : public ::testing::Test {
protected:
    void SetUp() override { openMapFont(font, drawn.surface.get()); }
    Canvas drawn{300, 300};
    Canvas expected{300, 300};
    TextStyle font;
};

TEST_F(LabelDrawing, PoiNamesSitCentredAboveTheirIconAndAreasAtTheirAnchor) {
    cLabelGrid grid(kViewport);
    const std::u16string cafe = u"Cafe";
    const std::u16string park = u"Park";
    Label poiLabel = makePoiLabel({150, 150}, cafe, 0x2A00, font);
    ASSERT_TRUE(grid.addLabel(poiLabel));
    ASSERT_TRUE(grid.addLabel(makeAreaLabel({40, 40}, park, 80)));
    grid.drawGrid(drawn.painter, font, 16);

    int32_t w = 0;
    font.measureWithStrip(cafe, &w, nullptr);
    const int32_t lift = 16 / 2 + kMapFontSize / 2;
    OwnedSurface cafeText = font.renderWithStrip(cafe);
    OwnedSurface parkText = font.renderWithStrip(park);
    blitToPainter(expected.painter, cafeText.get(), nullptr, {150 - ((w + 10) >> 1), 150 - lift});
    blitToPainter(expected.painter, parkText.get(), nullptr, {40, 40});
    EXPECT_EQ(snapshot(drawn.surface.get()), snapshot(expected.surface.get()));
    EXPECT_NE(snapshot(drawn.surface.get()),
              std::vector<uint32_t>(300 * 300, drawn.painter.mapColour(kPaper)));
}

TEST_F(LabelDrawing, PoiLabelTextRectangleSitsAboveThePoint) {
    const std::u16string name = u"Cafe";
    const Label l = makePoiLabel({100, 80}, name, 0x2A00, font);
    int32_t w = 0, h = 0;
    font.measureWithStrip(name, &w, &h);
    EXPECT_EQ(l.left, 100 - (w >> 1));
    EXPECT_EQ(l.right, l.left + w);
    EXPECT_EQ(l.top, 80 - h / 2 - kMapFontSize);
    EXPECT_EQ(l.bottom, l.top + h);
    EXPECT_EQ(l.priority, 0x2A00);
    EXPECT_EQ(l.kind, kLabelPoi);
}

} // namespace
} // namespace tevo::test
