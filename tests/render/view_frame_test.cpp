// The frame: the level choice with its zoom correction, the passes on a
// real map, the preview and the cases that replace the map.
#include "render/view_support.hpp"

#include <cmath>
#include <set>

namespace tevo::test {
namespace {

constexpr double kLon = 37.61, kLat = 55.75;
const std::vector<uint32_t> kCells = {60, 300, 1800, 7200};

struct LevelChoice : ViewFixture {
    void SetUp() override {
        path = writeMap("levels.tvm", levelsAround(kLon, kLat, kCells));
        ASSERT_TRUE(view->openMap(wide(path)));
        view->fitToMap();
        state.freePoint = {unitsOf(kLon), unitsOf(kLat), kGroundHeight};
    }
    void TearDown() override { std::remove(path.c_str()); }
    // Pixels per metre that make the viewport `degrees` of longitude wide.
    float zoomFor(double degrees) const {
        const double g = kMetresPerDegree * state.kx / state.ky;
        return static_cast<float>((kViewWidth - 1) / (degrees * g));
    }
    // -1 off the map, 1 when the level choice corrected the zoom, else 0.
    int choose(int32_t kind) {
        state.levelChoiceKind = kind;
        const float zoom = state.zoom, factor = state.zoomFactor;
        if (view->setUpFrame().offMap) return -1;
        return state.zoom != zoom || state.zoomFactor != factor ? 1 : 0;
    }
    uint32_t wantedSeconds() const {
        return view->frame().level ? view->frame().level->cellSeconds() : 0;
    }
    std::string path;
};

// A view wider than every cell comes back to one cell x 1.05, or the whole map.
float snappedZoom(const MapView& view, const ViewState& s, double cellDegrees) {
    const double g = kMetresPerDegree * s.kx / s.ky;
    const double cellZoom = (kViewWidth - 1) * 1.05 / (g * cellDegrees);
    return static_cast<float>(std::min(cellZoom, double{MapViewAccess::wholeMapZoom(view)}));
}

TEST_F(LevelChoice, TheFinestLevelWhoseCellIsWiderThanTheView) {
    struct Case {
        double viewDegrees;
        uint32_t seconds;
    };
    const Case cases[] = {{0.005, 60}, {0.05, 300}, {0.3, 1800}, {1.0, 7200}};
    for (const Case& c : cases) {
        state.zoom = zoomFor(c.viewDegrees);
        EXPECT_EQ(choose(ChoiceOther), 0) << c.viewDegrees;
        EXPECT_EQ(wantedSeconds(), c.seconds) << c.viewDegrees;
    }
}

TEST_F(LevelChoice, ZoomingOutPastTheCoarsestCellSnapsTheZoomBack) {
    state.zoom = zoomFor(5.0);
    EXPECT_EQ(choose(ChoiceZoomOut), 1);
    EXPECT_EQ(wantedSeconds(), 7200u);
    // One coarsest cell now spans the viewport width x 1.05, or the whole map
    // the viewport, whichever is wider.
    EXPECT_NEAR(state.zoom, snappedZoom(*view, state, 2.0), 1e-6);
}

TEST_F(LevelChoice, TheFollowViewCorrectsTheFactorInstead) {
    state.freeView = false;
    state.followed = state.freePoint;
    state.zoom = 2 * zoomFor(5.0);
    state.zoomFactor = 0.5f;
    EXPECT_EQ(choose(ChoiceZoomOut), 1);
    EXPECT_NEAR(state.zoom * state.zoomFactor, snappedZoom(*view, state, 2.0), 1e-6);
}

TEST_F(LevelChoice, OffTheMapNothingIsVisible) {
    state.freePoint = {unitsOf(10.0), unitsOf(20.0), kGroundHeight};
    state.zoom = zoomFor(0.005);
    for (int32_t kind : {ChoiceZoomIn, ChoiceOther}) {
        EXPECT_EQ(choose(kind), -1) << kind;
        EXPECT_EQ(view->frame().level, nullptr);
    }
}

TEST_F(LevelChoice, AFinerLevelWithCellsHereIsZoomedInTo) {
    // Only the two finest levels have a cell here.
    const std::string two = writeMap("two.tvm", levelsAround(kLon, kLat, {60, 300}));
    MapView other(surface.get(), distFolder());
    ViewState& s = MapViewAccess::state(other);
    ASSERT_TRUE(other.openMap(wide(two)));
    other.fitToMap();
    s.freePoint = {unitsOf(kLon), unitsOf(kLat), kGroundHeight};
    // A view two degrees wide: wider than every cell, no level fits.
    const double g = kMetresPerDegree * s.kx / s.ky;
    const float zoom = static_cast<float>((kViewWidth - 1) / (2.0 * g));
    s.zoom = zoom;
    const FrameView& frame = other.setUpFrame();
    EXPECT_NE(s.zoom, zoom);
    ASSERT_NE(frame.level, nullptr);
    EXPECT_EQ(frame.level->cellSeconds(), 300u);
    EXPECT_NEAR(s.zoom, snappedZoom(other, s, 300 / 3600.0), 1e-6);
    std::remove(two.c_str());
}

TEST_F(LevelChoice, OutOfMapFrameStillDrawsAndLeavesTheKindAtOther) {
    state.freePoint = {unitsOf(10.0), unitsOf(20.0), kGroundHeight};
    view->zoomStep(0);
    view->drawFrame();
    EXPECT_EQ(state.levelChoiceKind, ChoiceOther);
    EXPECT_EQ(state.lastAction, ActionNone);
}

// Distinct pixel values inside the viewport.
size_t colours(const SDL_Surface* s) {
    std::set<uint32_t> seen;
    for (int y = 0; y < s->h; y += 3)
        for (int x = 0; x < s->w; x += 3) seen.insert(pixelAt(s, x, y));
    return seen.size();
}

struct DemoMap : ViewFixture {
    void SetUp() override {
        ASSERT_TRUE(view->openMap(wide(distFolder() + "map.tvm")));
        view->fitToMap();
    }
};

// A stored view or vehicle is kept wherever the map has data, not only in
// its start cell; off the data the view starts on the whole map.
TEST_F(DemoMap, AStoredPositionIsKeptWhereTheMapHasData) {
    struct Case {
        double lon, lat;
        bool kept;
    };
    const Case cases[] = {{37.59, 55.81, true},     // the start cell
                          {37.6167, 55.8082, true}, // another cell of the data
                          {1.52, 42.51, false}};    // another region
    for (const Case& c : cases) {
        const ViewPoint p{unitsOf(c.lon), unitsOf(c.lat), kGroundHeight};
        state.freePoint = state.followed = p;
        view->startOnMap();
        EXPECT_EQ(state.followed.isSet(), c.kept) << c.lon;
        EXPECT_EQ(state.freePoint.x == p.x && state.freePoint.y == p.y, c.kept) << c.lon;
        EXPECT_TRUE(view->onMap(state.freePoint)) << c.lon;
    }
}

TEST_F(DemoMap, EveryModeDrawsTheMap) {
    const std::pair<int32_t, int32_t> modes[] = {{ProjectionEco, Style3D},
                                                 {ProjectionPerspective, Style2D},
                                                 {ProjectionPerspective, Style3D}};
    for (auto [projection, style] : modes) {
        view->setProjection(projection);
        state.style = style;
        state.tilt = 40;
        MapViewAccess::camera(*view).setPitch(40);
        view->drawFrame();
        EXPECT_GT(colours(surface.get()), 4u) << projection << "/" << style;
        EXPECT_NE(view->frame().level, nullptr);
    }
}

TEST_F(DemoMap, ACorrectedFrameKeepsTheCacheToVisibleBlocks) {
    state.zoom *= 8;
    view->drawFrame();
    ASSERT_NE(view->frame().level, nullptr);
    for (const auto& block : view->frame().level->indexBlocks()) {
        const CellRange& r = block->visibleRange();
        const auto cells = (int64_t{r.colMax} - r.colMin + 1) * (int64_t{r.rowMax} - r.rowMin + 1);
        EXPECT_LE(block->loaded().size(), static_cast<size_t>(std::max<int64_t>(cells, 0)));
    }
}

TEST_F(DemoMap, ThePreviewShowsTheLastFrameShiftedWithoutARedraw) {
    ASSERT_TRUE(view->setPreview(true));
    const uint32_t before = pixelAt(view->preview(), 100, 100);
    view->dragBy(-20, -10); // the pointer moved right and down
    view->drawFrame();
    EXPECT_EQ(pixelAt(surface.get(), 120, 110), before);
    // The uncovered strip shows the background.
    const uint32_t bg = backgroundPixel(*view, surface.get());
    EXPECT_EQ(pixelAt(surface.get(), 5, 5), bg);
    EXPECT_TRUE(view->setPreview(false));
}

TEST_F(DemoMap, ATrackIsDrawnWithoutItsLastPoint) {
    state.zoom *= 4;
    view->setUpFrame();
    const ViewPoint c = view->frame().centre;
    auto track = std::make_unique<cPolyLine>();
    const int32_t step = static_cast<int32_t>(40 / view->frame().scaleX); // 40 pixels
    for (int i = 0; i < 5; ++i) track->points.push_back({c.x + i * step, c.y});
    view->tracks().append(std::move(track));
    view->drawFrame();
    const uint32_t red = SDL_MapRGB(surface->format, 0xFF, 0x00, 0xFE);
    EXPECT_EQ(pixelAt(surface.get(), view->frame().ecoOrigin.x + 100, view->frame().ecoOrigin.y),
              red);
    EXPECT_NE(pixelAt(surface.get(), view->frame().ecoOrigin.x + 140, view->frame().ecoOrigin.y),
              red);
}

TEST(MapViewAbsent, NoMapDrawsNoMapAndNeverCrashes) {
    auto surface = makeSurface(kViewWidth, kViewHeight, 32);
    MapView view(surface.get(), "/nonexistent/");
    EXPECT_FALSE(view.openMap(u"/nonexistent/map.tvm"));
    view.drawFrame();
    view.zoomStep(1);
    view.drawFrame();
    EXPECT_FALSE(view.mapOpen());
}

} // namespace
} // namespace tevo::test

namespace tevo::test {
namespace {

TEST(MapViewWithoutPictures, MissingFontPointerCompassAndIconsDrawNothing) {
    auto surface = makeSurface(kViewWidth, kViewHeight, 16);
    const std::string empty = tempMapPath("empty") + "/";
    MapView view(surface.get(), empty); // no font, style or levels there
    ASSERT_TRUE(view.openMap(wide(distFolder() + "map.tvm")));
    EXPECT_FALSE(view.overlays().loadPointer(empty + "pointer.png"));
    EXPECT_FALSE(view.overlays().loadCompass(empty + "compass.png"));
    EXPECT_FALSE(view.overlays().loadPoiSheet(empty + "poi.png", 16, 16));
    view.fitToMap();
    view.setFollowedFromDegrees(kUnknownDegrees, kUnknownDegrees);
    for (int mode = 0; mode < 4; ++mode) {
        view.cycleProjection();
        view.drawFrame();
        view.markTap(240, 500);
        view.drawFrame();
        view.animateTapMarker();
    }
    EXPECT_FALSE(view.overlays().hasCompass());
}

} // namespace
} // namespace tevo::test

namespace tevo::test {
namespace {

// Two 6 x 6 pixel squares: a minor area type (20) and another (80).
TEST(MapViewSmallAreas, MinorTypesUnderTenPixelsAreLeftOut) {
    constexpr double f = 60 / 3600.0;
    constexpr float zoom = 2.0f; // pixels per metre
    const int32_t col = static_cast<int32_t>(kLon / f), row = static_cast<int32_t>(kLat / f);
    const double lon = (col + 0.5) * f, lat = (row + 0.5) * f;
    const float kx =
        std::cos(static_cast<float>(row * f) * kDegreesToRadians) * 40000000.0f / 67108864.0f;
    const float ky = 40000000.0f / 67108864.0f;
    const int32_t sx = static_cast<int32_t>(6 / (kx * zoom)),
                  sy = static_cast<int32_t>(6 / (ky * zoom));
    const auto square = [&](uint16_t type, int32_t x0) {
        const int32_t y0 = unitsOf(lat);
        return TvmObject{type, {{x0, y0}, {x0 + sx, y0}, {x0 + sx, y0 + sy}, {x0, y0 + sy}}, u""};
    };
    const int32_t a = unitsOf(lon), b = unitsOf(lon) + 20 * sx;
    TvmIndexBlock ib;
    ib.cellSeconds = 60;
    ib.blocks.push_back(
        {row * static_cast<int32_t>(360 / f + 0.5) + col, {}, {}, {square(20, a), square(80, b)}});
    const std::string path = writeMap("small.tvm", {ib});
    auto surface = makeSurface(kViewWidth, kViewHeight, 32);
    MapView view(surface.get(), distFolder());
    ASSERT_TRUE(view.openMap(wide(path)));
    view.fitToMap();
    MapViewAccess::state(view).freePoint = {a, unitsOf(lat), kGroundHeight};
    MapViewAccess::state(view).zoom = zoom;
    view.drawFrame();
    const uint32_t bg = backgroundPixel(view, surface.get());
    const ScreenHit pa = view.mapToScreen(a + sx / 2, unitsOf(lat) + sy / 2);
    const ScreenHit pb = view.mapToScreen(b + sx / 2, unitsOf(lat) + sy / 2);
    EXPECT_EQ(pixelAt(surface.get(), pa.x, pa.y), bg);
    EXPECT_NE(pixelAt(surface.get(), pb.x, pb.y), bg);
    std::remove(path.c_str());
}

} // namespace
} // namespace tevo::test

namespace tevo::test {
namespace {

// A street across the view with the given name; the frame as pixels.
std::vector<uint32_t> streetFrame(const std::u16string& name) {
    constexpr double f = 60 / 3600.0;
    const int32_t col = static_cast<int32_t>(kLon / f), row = static_cast<int32_t>(kLat / f);
    const double lon = (col + 0.5) * f, lat = (row + 0.5) * f;
    TvmIndexBlock ib;
    ib.cellSeconds = 60;
    TvmBlock b;
    b.key = row * static_cast<int32_t>(360 / f + 0.5) + col;
    b.polylines.push_back(
        {0x06, {{unitsOf(lon - 0.003), unitsOf(lat)}, {unitsOf(lon + 0.003), unitsOf(lat)}}, name});
    ib.blocks.push_back(b);
    const std::string path = writeMap("street.tvm", {ib});
    auto surface = makeSurface(kViewWidth, kViewHeight, 32);
    MapView view(surface.get(), distFolder());
    EXPECT_TRUE(view.openMap(wide(path)));
    view.fitToMap();
    MapViewAccess::state(view).freePoint = {unitsOf(lon), unitsOf(lat), kGroundHeight};
    MapViewAccess::state(view).zoom = 1;
    view.drawFrame();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < kViewHeight; ++y)
        for (int x = 0; x < kViewWidth; ++x) pixels.push_back(pixelAt(surface.get(), x, y));
    std::remove(path.c_str());
    return pixels;
}

TEST(MapViewNames, StreetNamesInCyrillicAndAccentedLatinAreWritten) {
    const std::vector<uint32_t> bare = streetFrame(u"");
    EXPECT_NE(streetFrame(u"Тверская улица"), bare);
    EXPECT_NE(streetFrame(u"Bühlstraße"), bare);
}

} // namespace
} // namespace tevo::test
