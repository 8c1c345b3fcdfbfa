// The description of one frame: what every stage of a frame needs to know
// of the view, made once per frame by the view from its state
// (MapView::setUpFrame) and handed read-only to the passes and the
// overlays. Until the next frame it also answers where a map point lies on
// the screen and which map point lies under a pixel.
#pragma once

#include "map/bounds.hpp"
#include "map/map_level.hpp"
#include "map/map_objects.hpp"
#include "map/map_style.hpp"
#include "render/raster/camera.hpp"
#include "render/raster/geometry.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace tevo {

// The depth limit of the perspective view.
inline constexpr int32_t kFarLimit = 3000;
// The near limit lies this many metres (as pixels at the frame's scale)
// before the bottom edge's ground point.
inline constexpr int32_t kNearCoefficient = 40;

// The result of screenToMap.
struct GroundHit {
    int32_t x = 0;
    int32_t y = 0;
    bool offGround = false;
};

// The result of mapToScreen; `visible` is false when the point lies outside
// the depth range of the perspective view.
struct ScreenHit {
    int32_t x = 0;
    int32_t y = 0;
    bool visible = false;
};

struct FrameView {
    // The layout, the same in every frame: the viewport, the camera's focal
    // length, principal point and height, and where the centre lands in Eco.
    PixelRect viewport;
    const Camera* camera = nullptr;
    ScreenPoint ecoOrigin;
    int32_t farLimit = kFarLimit;

    // The projection: flat (Eco) or perspective, the "3D" style raising the
    // upper polygons; pixels per map unit (y negative: north is up) and per
    // metre; the turn and tilt with their world-to-camera matrix; the map
    // point at the Eco origin; the depth range and the view direction (the
    // matrix's last column).
    bool eco = true;
    bool raised = false;
    float scaleX = 0, scaleY = 0, scale = 0;
    float yaw = 0, pitch = 0;
    FixedMatrix matrix{};
    ViewPoint centre;
    int32_t nearZ = 1, farZ = kFarLimit;
    std::array<int32_t, 3> viewDirection{0, 0, 1};

    // The bulk projection of the passes: map units to ground pixels with the
    // scales as fixed point, `shift` fractional bits. No pass runs when the
    // scale cannot be held in 32 bits.
    bool scaleHeld = true;
    int32_t shift = kFixedShift;
    int32_t bulkX = 0, bulkY = 0;

    // What is drawn: the viewport's corners on the ground (degrees), the
    // level (none when the view is off the map) and the style.
    PointF footprint[4]{};
    bool offMap = false;
    const cMapLevel* level = nullptr;
    const cMapStyle* style = nullptr;
    // The route still to drive, in map units; none when there is no route.
    const std::vector<MapPoint>* route = nullptr;

    // The vehicle: where it is, the pointer's turn on the screen, the
    // accuracy of its fix, whether the fix is stale (lost or too old) and
    // the turn of the course alone.
    ViewPoint followed;
    float pointerAngle = 0;
    float hdop = 0;
    bool fixStale = false;
    FixedMatrix courseMatrix{};

    // --- single points (frame_view.cpp)
    // The pixel of a map point; in perspective only between the depth limits.
    ScreenHit mapToScreen(int32_t x, int32_t y) const;
    // The ground point under a pixel; above the horizon or beyond the far
    // limit the far limit's point, off the ground.
    GroundHit screenToMap(int32_t sx, int32_t sy) const;
    // The centre that puts map point p at pixel (h, l) of the viewport.
    ViewPoint centreFor(const ViewPoint& p, int32_t h, int32_t l) const;

    // --- the bulk projection (bulk.cpp)
    // View-centred ground pixels of a map point.
    GroundPoint ground(int32_t x, int32_t y) const;
    // The Eco screen position of a map point.
    ScreenPoint eco2D(int32_t x, int32_t y) const;
    void ecoPoints(const MapPoint* p, size_t n, std::vector<ScreenPoint>& out) const;
    void groundPoints(const MapPoint* p, size_t n, std::vector<GroundPoint>& out) const;
    // The four corners of an object's box, in Eco screen points or ground points.
    void boxEco(const cPolyLine& o, ScreenPoint out[4]) const;
    void boxGround(const cPolyLine& o, GroundPoint out[4]) const;
    // The projected corners of the object's box in perspective; false when
    // none is within the depth limits.
    bool boxPerspective(const cPolyLine& o, std::vector<ScreenPoint>& out) const;
};

// The fractional bits of the bulk projection for a scale in pixels per map
// unit, on a map `mapWidth` units wide; -1 when the scale cannot be held.
int32_t bulkShift(float scale, int64_t mapWidth);

} // namespace tevo
