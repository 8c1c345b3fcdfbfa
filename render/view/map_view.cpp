// The map view's construction, the map and the fit of the view to it.
#include "render/view/map_view.hpp"

#include "platform/text.hpp"

#include <cmath>

namespace tevo {

namespace {

constexpr float kFullTurn = 360.0f;
constexpr float kRadiansToDegrees = 1.0f / kDegreesToRadians;
// The scale bar's default length and its distance from the bottom edge.
constexpr int32_t kDefaultScaleLength = 50;
constexpr int32_t kScaleBarLift = 8;
constexpr int32_t kMinScaleLength = 2;
// The full-screen bit of an SDL 1.2 surface's flags.
constexpr uint32_t kFullScreenBit = 0x80000000u;
constexpr int kDepthBytes = 2;

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

MapView::MapView(SDL_Surface* videoSurface, const std::string& folder)
    : video(videoSurface), programFolder(folder) {
    // 1. The surface, the painter and the viewport.
    fullScreen = video && (video->flags & kFullScreenBit) != 0;
    painter = std::make_unique<cPainter>(video);
    if (video) viewport = {0, 0, video->w - 1, video->h - 1};
    previewRect = viewport;
    // The tap marker's save surface and the label grids, over the viewport.
    overlays = std::make_unique<cViewOverlays>(*this);
    // 2. Modes and numbers keep the values of their declarations.
    pivot = &freePoint;
    // 3. The style and the background colour.
    style.load(programFolder + "tevo.skn");
    background = static_cast<uint32_t>(style.areaStyle(kBackgroundAreaType).colour);
    // 4. The camera looks at the free point from the viewport centre.
    const int32_t width = viewport.x1 - viewport.x0 + 1;
    const int32_t height = viewport.y1 - viewport.y0 + 1;
    camera =
        std::make_unique<Camera>((viewport.x0 + viewport.x1) / 2, (viewport.y0 + viewport.y1) / 2,
                                 freePoint.x, freePoint.y, freePoint.z, width, height);
    // 5. The map font.
    overlays->openFont(programFolder + "DejaVuSans.ttf", kMapTextSize);
    // 6. Speed view and display levels.
    vsa.parse(programFolder + "vsa.xml");
    levels.parse(programFolder + "levels.xml");
    maxHidePriority = levels.maxPriority();
    // 8. Point buffers and the depth buffer.
    points.reserve(kFirstPointCapacity);
    clipped.reserve(kSecondPointCapacity);
    ground.reserve(kFirstPointCapacity);
    if (video) painter->depth().create(width, height, kDepthBytes);
    // 9. Overlay positions and the followed point's place in Eco.
    scaleX = (width - kDefaultScaleLength) / 2;
    scaleY = height - kScaleBarLift;
    scaleLength = kDefaultScaleLength;
    ecoX = (viewport.x0 + viewport.x1) / 2;
    ecoY = (viewport.y0 + viewport.y1) / 2;
    programFolderWide = toWide(programFolder);
    // 10. The steepest tilt keeps the horizon below the top of the screen.
    maxTilt = 90.0f - std::atan(static_cast<float>(camera->principalY) /
                                static_cast<float>(camera->focal)) *
                          kRadiansToDegrees;
}

MapView::~MapView() {
    // The painter goes with the view and never draws again, so it is not
    // bound back to the video surface, which may be gone already.
    if (preview) SDL_FreeSurface(preview);
}

bool MapView::openMap(std::u16string_view path) {
    BoundsF start;
    if (!mapFile.open(path, &start)) return false;
    mapPath = std::u16string(path);
    overlays->buildGlyphStrip(mapFile.name());
    if (mapFile.hasStartRect()) start = mapFile.startRect();
    mapBounds = {degreesToUnits(start.minX), degreesToUnits(start.minY), degreesToUnits(start.maxX),
                 degreesToUnits(start.maxY)};
    if (!freePoint.isSet()) {
        freePoint.x = static_cast<int32_t>((int64_t{mapBounds.x0} + mapBounds.x1) / 2);
        freePoint.y = static_cast<int32_t>((int64_t{mapBounds.y0} + mapBounds.y1) / 2);
    }
    return true;
}

void MapView::fitToMap() {
    // 1. Metres per unit at the map's lower edge.
    const float phi0 = unitsToDegrees(mapBounds.y0) * kDegreesToRadians;
    kx = std::cos(phi0) * kEarthCircumference / static_cast<float>(kUnitsPerCircle);
    ky = kEarthCircumference / static_cast<float>(kUnitsPerCircle);
    // 2. The centre of the map.
    freePoint.x = static_cast<int32_t>((int64_t{mapBounds.x0} + mapBounds.x1) / 2);
    freePoint.y = static_cast<int32_t>((int64_t{mapBounds.y0} + mapBounds.y1) / 2);
    camera->targetX = freePoint.x;
    camera->targetY = freePoint.y;
    // 3. The map fills the viewport in both directions.
    const float mw = static_cast<float>(int64_t{mapBounds.x1} - mapBounds.x0) * kx;
    const float mh = static_cast<float>(int64_t{mapBounds.y1} - mapBounds.y0) * ky;
    const float vw = static_cast<float>(viewport.x1 - viewport.x0);
    const float vh = static_cast<float>(viewport.y1 - viewport.y0);
    if (mw > 0 && mh > 0 && vw > 0) zoom = (vh / vw >= mh / mw) ? vh / mh : vw / mw;
    // 4. The tilt of standstill.
    tilt = 90.0f - static_cast<float>(vsa.lookup(0).angle);
    previousZoom = zoom;
    zoomKyAtFit = zoom * ky;
}

void MapView::setOverlayPositions(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t length) {
    compassX = cx;
    compassY = cy;
    scaleX = sx;
    scaleY = sy;
    const int32_t width = viewport.x1 - viewport.x0;
    scaleLength = (length < kMinScaleLength || length > width) ? kDefaultScaleLength : length;
}

void MapView::setPointerPositions(int32_t eco2DX, int32_t eco2DY, int32_t persp3DX,
                                  int32_t persp3DY, int32_t screenHeight) {
    ecoX = eco2DX;
    ecoY = eco2DY;
    camera->followedScreenX = persp3DX;
    camera->followedScreenY = persp3DY;
    camera->principalX = camera->principalCopyX = persp3DX;
    camera->principalY = camera->principalCopyY = screenHeight / 2;
    camera->focalCopy = camera->focal;
}

void MapView::setFollowedFromDegrees(float lon, float lat) {
    if (lon != kUnknownDegrees && lat != kUnknownDegrees) {
        longitude = eastLongitude(lon);
        latitude = lat;
        followed.x = degreesToUnits(longitude);
        followed.y = degreesToUnits(latitude);
    } else if (freePoint.isSet()) {
        followed = freePoint;
        longitude = unitsToDegrees(freePoint.x);
        latitude = unitsToDegrees(freePoint.y);
    }
}

float MapView::widestZoom() const {
    const float d = static_cast<float>(
        std::max(viewport.x1 - viewport.x0, std::max(viewport.y1 - viewport.y0, 1)));
    return d / kWidestMetres;
}

float MapView::usableZoom(float z) const {
    return (z > 0 && std::isfinite(z)) ? z : widestZoom();
}

} // namespace tevo
