// The map view's construction, the map and the fit of the view to it, and
// the layout values.
#include "render/view/map_view.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {

constexpr float kFullTurn = 360.0f;
constexpr float kRadiansToDegrees = 1.0f / kDegreesToRadians;
constexpr float kNorth = 90.0f;
// The scale bar's default length, and the shortest one.
constexpr int32_t kDefaultScaleLength = 50;
constexpr int32_t kMinScaleLength = 2;
constexpr int kDepthBytes = 2;

PixelRect viewportOf(const SDL_Surface* video) {
    return video ? PixelRect{0, 0, video->w - 1, video->h - 1} : PixelRect{0, 0, 0, 0};
}

} // namespace

float eastLongitude(float degrees) {
    return degrees < 0 ? degrees + kFullTurn : degrees;
}

int32_t degreesToUnits(float degrees) {
    const double units = static_cast<double>(degrees) * kUnitsPerCircle / kFullTurn;
    if (!(units > INT32_MIN && units < INT32_MAX)) return units > 0 ? INT32_MAX : INT32_MIN;
    return static_cast<int32_t>(units);
}

float unitsToDegrees(int32_t units) {
    return static_cast<float>(units) / static_cast<float>(kUnitsPerCircle) * kFullTurn;
}

MapView::MapView(SDL_Surface* video, const std::string& folder)
    : video_(video), programFolder_(folder),
      viewport_(viewportOf(video)), ecoOrigin_{(viewport_.left + viewport_.right) / 2,
                                               (viewport_.top + viewport_.bottom) / 2},
      painter_(std::make_unique<cPainter>(video)),
      overlays_(std::make_unique<cViewOverlays>(video, *painter_, viewport_)),
      canvas_(*painter_, *overlays_) {
    // The style with the background colour, then the camera, which looks
    // from the viewport's centre.
    style_.load(programFolder_ + "tevo.skn");
    background_ = static_cast<uint32_t>(style_.areaStyle(kBackgroundAreaType).colour);
    const int32_t width = viewport_.right - viewport_.left + 1;
    const int32_t height = viewport_.bottom - viewport_.top + 1;
    camera_ =
        std::make_unique<Camera>(ecoOrigin_.x, ecoOrigin_.y, state_.freePoint.z, width, height);
    // The map font, the speed view and the display levels.
    overlays_->openFont(programFolder_ + "DejaVuSans.ttf", kMapTextSize);
    vsa_.parse(programFolder_ + "vsa.xml");
    levels_.parse(programFolder_ + "levels.xml");
    if (video_) painter_->depth().create(width, height, kDepthBytes);
    // The steepest tilt keeps the horizon below the top of the screen.
    state_.maxTilt = 90.0f - std::atan(static_cast<float>(camera_->principalY) /
                                       static_cast<float>(camera_->focal)) *
                                 kRadiansToDegrees;
    layoutInto(frame_);
}

MapView::~MapView() {
    // The painter goes with the view and never draws again, so it is not
    // bound back to the video surface, which may be gone already.
    if (preview_) SDL_FreeSurface(preview_);
}

bool MapView::openMap(std::u16string_view path) {
    BoundsF start;
    if (!mapFile_.open(path, &start)) return false;
    mapOpen_ = true;
    overlays_->buildGlyphStrip(mapFile_.name());
    if (mapFile_.hasStartRect()) start = mapFile_.startRect();
    mapBounds_ = {degreesToUnits(start.minX), degreesToUnits(start.minY),
                  degreesToUnits(start.maxX), degreesToUnits(start.maxY)};
    mapExtent_ = dataExtent(mapFile_, mapBounds_);
    ViewPoint& free = state_.freePoint;
    if (!free.isSet()) {
        free.x = static_cast<int32_t>((int64_t{mapBounds_.minX} + mapBounds_.maxX) / 2);
        free.y = static_cast<int32_t>((int64_t{mapBounds_.minY} + mapBounds_.maxY) / 2);
    }
    return true;
}

void MapView::fitToMap() {
    ViewState& s = state_;
    // Metres per unit at the map's lower edge.
    const float phi0 = unitsToDegrees(mapBounds_.minY) * kDegreesToRadians;
    s.kx = std::cos(phi0) * kEarthCircumference / static_cast<float>(kUnitsPerCircle);
    s.ky = kEarthCircumference / static_cast<float>(kUnitsPerCircle);
    // The free view looks at the centre of the map.
    s.freePoint.x = static_cast<int32_t>((int64_t{mapBounds_.minX} + mapBounds_.maxX) / 2);
    s.freePoint.y = static_cast<int32_t>((int64_t{mapBounds_.minY} + mapBounds_.maxY) / 2);
    // The map fills the viewport in both directions.
    const float mw = static_cast<float>(int64_t{mapBounds_.maxX} - mapBounds_.minX) * s.kx;
    const float mh = static_cast<float>(int64_t{mapBounds_.maxY} - mapBounds_.minY) * s.ky;
    const float vw = static_cast<float>(viewport_.right - viewport_.left);
    const float vh = static_cast<float>(viewport_.bottom - viewport_.top);
    if (mw > 0 && mh > 0 && vw > 0) s.zoom = (vh / vw >= mh / mw) ? vh / mh : vw / mw;
    // The tilt of standstill.
    s.tilt = 90.0f - static_cast<float>(vsa_.lookup(0).angle);
    s.previousZoom = s.zoom;
}

void MapView::setOverlayPositions(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t length) {
    const int32_t width = viewport_.right - viewport_.left;
    if (length < kMinScaleLength || length > width) length = kDefaultScaleLength;
    overlays_->setPositions({cx, cy}, {sx, sy}, length);
}

void MapView::setPointerPositions(int32_t eco2DX, int32_t eco2DY, int32_t persp3DX,
                                  int32_t persp3DY, int32_t screenHeight) {
    ecoOrigin_ = {eco2DX, eco2DY};
    camera_->followedScreenX = persp3DX;
    camera_->followedScreenY = persp3DY;
    camera_->principalX = persp3DX;
    camera_->principalY = screenHeight / 2;
    layoutInto(frame_);
}

void MapView::setFollowedFromDegrees(float lon, float lat) {
    ViewState& s = state_;
    if (lon != kUnknownDegrees && lat != kUnknownDegrees) {
        s.longitude = eastLongitude(lon);
        s.latitude = lat;
        s.followed.x = degreesToUnits(s.longitude);
        s.followed.y = degreesToUnits(s.latitude);
    } else if (s.freePoint.isSet()) {
        s.followed = s.freePoint;
        s.longitude = unitsToDegrees(s.freePoint.x);
        s.latitude = unitsToDegrees(s.freePoint.y);
    }
}

void MapView::placeFollowed(float lon, float lat, float zoom, int32_t projection, int32_t style,
                            float yaw, float tilt) {
    setFollowedFromDegrees(lon, lat);
    followSwitch();
    state_.orientation = UserHeading;
    camera_->setYaw(yaw);
    state_.course = kNorth; // the pointer points up the screen's north
    state_.zoom = zoom;
    state_.zoomFactor = 1.0f;
    state_.tilt = tilt;
    state_.tiltOffset = 0;
    setProjection(projection);
    camera_->setPitch(tilt);
    state_.style = style;
}

float MapView::widestZoom() const {
    const float d = static_cast<float>(
        std::max(viewport_.right - viewport_.left, std::max(viewport_.bottom - viewport_.top, 1)));
    return d / kWidestMetres;
}

float MapView::usableZoom(float z) const {
    return (z > 0 && std::isfinite(z)) ? z : widestZoom();
}

} // namespace tevo
