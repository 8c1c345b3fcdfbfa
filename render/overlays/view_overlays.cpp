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
#include "render/overlays/stale_pointer.hpp"
#include "render/overlays/street_labels.hpp"
#include "render/overlays/tap_marker.hpp"
#include "render/raster/painter.hpp"
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

// The scale bar's default length and its distance from the bottom edge.
constexpr int32_t kDefaultScaleLength = 50;
constexpr int32_t kScaleBarLift = 8;
constexpr int32_t kDefaultCompassPlace = 32;

} // namespace

struct cViewOverlays::State {
    State(SDL_Surface* screen, cPainter& p, const PixelRect& viewport)
        : video(screen), painter(p), gridA(viewport), gridB(viewport),
          tap(screen, p), scaleBarAt{(viewport.right - viewport.left + 1 - kDefaultScaleLength) / 2,
                                     viewport.bottom - viewport.top + 1 - kScaleBarLift} {}
    SDL_Surface* video;
    cPainter& painter;
    TextStyle font;
    Picture pointer;
    OwnedSurface greyPointer; // the pointer of a stale fix
    Picture compass;
    Sprite poiSheet;
    cLabelGrid gridA; // POI and area names
    cLabelGrid gridB; // names of the raised areas
    cStreetLabels streets;
    cLabelSpace space; // keeps the names from writing over each other
    cTapMarker tap;
    ScreenPoint compassAt{kDefaultCompassPlace, kDefaultCompassPlace};
    ScreenPoint scaleBarAt;
    int32_t scaleLength = kDefaultScaleLength;
};

cViewOverlays::cViewOverlays(SDL_Surface* video, cPainter& painter, const PixelRect& viewport)
    : state_(std::make_unique<State>(video, painter, viewport)) {}
cViewOverlays::~cViewOverlays() = default;

bool cViewOverlays::openFont(const std::string& path, int32_t size) {
    TextStyle& font = state_->font;
    const bool ok = font.openFont(state_->video, path, size);
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
    state_->pointer.load(state_->video, path);
    state_->pointer.keyMagenta();
    state_->greyPointer = greyedCopy(state_->pointer.image.get());
    return state_->pointer.loaded();
}

bool cViewOverlays::loadCompass(const std::string& path) {
    state_->compass.load(state_->video, path);
    state_->compass.keyMagenta();
    return state_->compass.loaded();
}

bool cViewOverlays::loadPoiSheet(const std::string& path, int32_t iconWidth, int32_t iconHeight) {
    state_->poiSheet.load(state_->video, path, iconWidth, iconHeight);
    return state_->poiSheet.loaded();
}

bool cViewOverlays::hasCompass() const {
    return state_->compass.loaded();
}

void cViewOverlays::setPositions(ScreenPoint compass, ScreenPoint scaleBar, int32_t scaleLength) {
    state_->compassAt = compass;
    state_->scaleBarAt = scaleBar;
    state_->scaleLength = scaleLength;
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
    drawPoiIcon(state_->painter, state_->poiSheet, poi.type, at);
    if (!poi.name.empty())
        state_->gridA.addLabel(makePoiLabel(at, poi.name, poi.type, state_->font));
}

void cViewOverlays::addStreetName(const std::vector<ScreenPoint>& path,
                                  const std::u16string& name) {
    state_->streets.offer(path.data(), static_cast<int>(path.size()), name, state_->font);
}

void cViewOverlays::drawNames() {
    cPainter& painter = state_->painter;
    const int32_t iconHeight = state_->poiSheet.loaded() ? state_->poiSheet.frameHeight : 0;
    state_->space.clear();
    state_->streets.drawStreetLabels(painter, state_->font, &state_->space);
    state_->gridA.drawGrid(painter, state_->font, iconHeight, &state_->space);
    state_->gridB.drawGrid(painter, state_->font, iconHeight, &state_->space);
}

void cViewOverlays::drawPointer(ScreenPoint at, float angle, float hdop, float scale, bool stale,
                                const FixedMatrix& courseMatrix) {
    SDL_Surface* image = stale ? state_->greyPointer.get() : state_->pointer.image.get();
    tevo::drawPointer(state_->painter, image, angle, at, PointerLook{hdop, scale, stale},
                      std::span<const int32_t, 9>(courseMatrix));
}

void cViewOverlays::drawScaleBar(float scale) {
    tevo::drawScaleBar(state_->painter, state_->font, state_->scaleBarAt, state_->scaleLength,
                       scale);
}

void cViewOverlays::drawCompass(float yaw) {
    tevo::drawCompass(state_->painter, state_->compass.image.get(), yaw, state_->compassAt);
}

void cViewOverlays::drawOutOfMap(ScreenPoint principal) {
    tevo::drawOutOfMap(state_->font, principal);
}

void cViewOverlays::drawMapAbsent(ScreenPoint principal, const std::string& programFolder) {
    tevo::drawMapAbsent(state_->font, principal, programFolder);
}

void cViewOverlays::setTapMarker(ScreenPoint at, const ViewPoint& mapPoint, bool offGround) {
    state_->tap.setTapMarker(at, mapPoint, offGround);
}

bool cViewOverlays::tapMarkerActive() const {
    return state_->tap.active();
}

void cViewOverlays::resetTapMarkerAnimation() {
    state_->tap.resetAnimation();
}

void cViewOverlays::drawTapMarker(ScreenPoint at) {
    // Into the frame: the frame's flip shows it.
    cTapMarker& tap = state_->tap;
    tap.frameRedrawn();
    const bool toScreen = tap.drawToScreen();
    tap.setDrawToScreen(false);
    tap.drawTapMarker(ticks(), at);
    tap.setDrawToScreen(toScreen);
}

void cViewOverlays::followTapMarker(ScreenPoint at) {
    cTapMarker& tap = state_->tap;
    tap.setDrawToScreen(true);
    tap.drawTapMarker(ticks(), at);
}

void cViewOverlays::clearTapMarker() {
    state_->tap.clear();
}

ViewPoint cViewOverlays::tapMapPoint() const {
    return state_->tap.mapPoint();
}

ScreenPoint cViewOverlays::tapScreenPoint() const {
    return state_->tap.screenPoint();
}

} // namespace tevo
