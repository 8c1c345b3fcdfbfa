// The view's overlays over the records of the text style, the pictures and
// the label, icon, pointer, scale bar and tap marker drawings.
#include "render/overlays/view_overlays.hpp"

#include "platform/clock.hpp"
#include "render/overlays/label.hpp"
#include "render/overlays/label_grid.hpp"
#include "render/overlays/label_space.hpp"
#include "render/overlays/map_absent.hpp"
#include "render/overlays/poi_icons.hpp"
#include "render/overlays/pointer_overlay.hpp"
#include "render/overlays/scale_bar.hpp"
#include "render/overlays/street_labels.hpp"
#include "render/overlays/tap_marker.hpp"
#include "render/view/map_view.hpp"
#include "ui/picture.hpp"
#include "ui/sprite.hpp"
#include "ui/text_style.hpp"

#include <algorithm>
#include <span>

namespace tevo {

namespace {

// The map text style: black, blended, and the alignment value the labels use.
constexpr int32_t kMapTextAlignment = 24;

// The characters every map may name things with, beside those of the map's
// own name: Latin with its accents, Cyrillic, and the common punctuation.
constexpr std::pair<char16_t, char16_t> kLabelCharacters[] = {
    {0x0020, 0x007E}, {0x00A0, 0x017F}, {0x0400, 0x045F}, {0x2013, 0x2014},
    {0x2018, 0x201E}, {0x2026, 0x2026}, {0x2116, 0x2116},
};

PixelRect rectOf(const IntRect& r) {
    return {r.x0, r.y0, r.x1, r.y1};
}

} // namespace

struct cViewOverlays::State {
    explicit State(MapView& view)
        : gridA(rectOf(view.viewport)), gridB(rectOf(view.viewport)),
          tap(view.video, *view.painter) {}
    TextStyle font;
    Picture pointer;
    Picture compass;
    Sprite poiSheet;
    cLabelGrid gridA; // POI and area names
    cLabelGrid gridB; // names of the raised areas
    cStreetLabels streets;
    cLabelSpace space; // keeps the names from writing over each other
    cTapMarker tap;
};

cViewOverlays::cViewOverlays(MapView& view) : view_(view), state_(std::make_unique<State>(view)) {}
cViewOverlays::~cViewOverlays() = default;

bool cViewOverlays::openFont(const std::string& path, int32_t size) {
    TextStyle& font = state_->font;
    const bool ok = font.openFont(view_.video, path, size);
    font.setColour(0, 0, 0);
    font.setBlended(true);
    font.setAlignment(kMapTextAlignment);
    return ok;
}

void cViewOverlays::buildGlyphStrip(const std::u16string& text) {
    std::u16string characters = text;
    for (auto [first, last] : kLabelCharacters)
        for (char16_t c = first; c <= last; ++c) characters.push_back(c);
    std::sort(characters.begin(), characters.end());
    characters.erase(std::unique(characters.begin(), characters.end()), characters.end());
    state_->font.buildGlyphStrip(characters);
}

bool cViewOverlays::loadPointer(const std::string& path) {
    state_->pointer.load(view_.video, path);
    state_->pointer.keyMagenta();
    return state_->pointer.loaded();
}

bool cViewOverlays::loadCompass(const std::string& path) {
    state_->compass.load(view_.video, path);
    state_->compass.keyMagenta();
    return state_->compass.loaded();
}

bool cViewOverlays::loadPoiSheet(const std::string& path, int32_t iconWidth, int32_t iconHeight) {
    state_->poiSheet.load(view_.video, path, iconWidth, iconHeight);
    return state_->poiSheet.loaded();
}

bool cViewOverlays::hasCompass() const {
    return state_->compass.loaded();
}

void cViewOverlays::beginFrame() {
    state_->gridA.clear();
    state_->gridB.clear();
    state_->streets.clear();
}

void cViewOverlays::addAreaName(ScreenPoint anchor, const std::u16string& name, int32_t type,
                                bool upper) {
    (upper ? state_->gridB : state_->gridA).addLabel(makeAreaLabel(anchor, name, type));
}

void cViewOverlays::drawPoi(const cPOI& poi, ScreenPoint at) {
    drawPoiIcon(*view_.painter, state_->poiSheet, poi.type, at);
    if (!poi.name.empty())
        state_->gridA.addLabel(makePoiLabel(at, poi.name, poi.type, state_->font));
}

void cViewOverlays::addStreetName(const std::vector<ScreenPoint>& path,
                                  const std::u16string& name) {
    state_->streets.offer(path.data(), static_cast<int>(path.size()), name, state_->font);
}

void cViewOverlays::drawNames() {
    cPainter& painter = *view_.painter;
    const int32_t iconHeight = state_->poiSheet.loaded() ? state_->poiSheet.frameHeight : 0;
    state_->space.clear();
    state_->streets.drawStreetLabels(painter, state_->font, &state_->space);
    state_->gridA.drawGrid(painter, state_->font, iconHeight, &state_->space);
    state_->gridB.drawGrid(painter, state_->font, iconHeight, &state_->space);
}

void cViewOverlays::drawPointer(float angle) {
    if (!view_.followed.isSet()) return;
    const ScreenHit at = view_.mapToScreen(view_.followed.x, view_.followed.y);
    if (!at.visible) return;
    tevo::drawPointer(*view_.painter, state_->pointer.image.get(), angle, {at.x, at.y},
                      view_.lastFix.hdop, view_.S, std::span<const int32_t, 9>(view_.courseMatrix));
}

void cViewOverlays::drawScaleBar() {
    tevo::drawScaleBar(*view_.painter, state_->font, {view_.scaleX, view_.scaleY},
                       view_.scaleLength, view_.S);
}

void cViewOverlays::drawCompass(float yaw, float) {
    tevo::drawCompass(*view_.painter, state_->compass.image.get(), yaw,
                      {view_.compassX, view_.compassY});
}

void cViewOverlays::drawOutOfMap(int32_t centreX, int32_t centreY) {
    tevo::drawOutOfMap(state_->font, {centreX, centreY});
}

void cViewOverlays::drawMapAbsent() {
    tevo::drawMapAbsent(state_->font, {view_.camera->principalX, view_.camera->principalY},
                        view_.programFolder);
}

void cViewOverlays::setTapMarker(int32_t sx, int32_t sy) {
    const GroundHit hit = view_.screenToMap(sx, sy);
    state_->tap.setTapMarker({sx, sy}, {hit.x, hit.y, kGroundHeight}, hit.offGround);
}

bool cViewOverlays::tapMarkerActive() const {
    return state_->tap.active();
}

void cViewOverlays::resetTapMarkerAnimation() {
    state_->tap.resetAnimation();
}

// The marker shows where the user browses: in the free view, and while
// there is no position to follow.
static bool markerShown(const MapView& view) {
    return view.freeView || !view.followed.isSet();
}

void cViewOverlays::drawTapMarker() {
    cTapMarker& tap = state_->tap;
    if (!tap.active() || !markerShown(view_)) return;
    const TapMapPoint& p = tap.mapPoint();
    if (p.x == kUnsetCoordinate || p.y == kUnsetCoordinate) return;
    const ScreenHit at = view_.mapToScreen(p.x, p.y);
    if (!at.visible) return;
    const bool toScreen = tap.drawToScreen();
    tap.setDrawToScreen(false);
    tap.drawTapMarker(ticks(), {at.x, at.y});
    tap.setDrawToScreen(toScreen);
}

void cViewOverlays::followTapMarker() {
    cTapMarker& tap = state_->tap;
    if (!tap.active() || !markerShown(view_) || view_.previewOn) return;
    const TapMapPoint& p = tap.mapPoint();
    const ScreenHit at = view_.mapToScreen(p.x, p.y);
    if (!at.visible) return;
    tap.setDrawToScreen(true);
    tap.drawTapMarker(ticks(), {at.x, at.y});
}

void cViewOverlays::eraseTapMarker() {
    state_->tap.eraseTapMarker();
}

void cViewOverlays::clearTapMarker() {
    state_->tap.clear();
}

ViewPoint cViewOverlays::tapMapPoint() const {
    const TapMapPoint& p = state_->tap.mapPoint();
    return {p.x, p.y, p.z};
}

ScreenPoint cViewOverlays::tapScreenPoint() const {
    return state_->tap.screenPoint();
}

} // namespace tevo
