// The readable things over the map: the map font and its glyph strip, names,
// POI icons, the pointer, compass, scale bar, tap marker and the texts that
// stand in for the map. The frame calls these in its order with the places
// it worked out; each one draws nothing when what it needs (font, picture)
// is missing.
#pragma once

#include "map/map_objects.hpp"
#include "render/raster/camera.hpp"
#include "render/raster/geometry.hpp"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tevo {

class cPainter;

class cViewOverlays {
public:
    // Over the video surface, drawing through the painter bound to it; the
    // label grids cover the viewport.
    cViewOverlays(SDL_Surface* video, cPainter& painter, const PixelRect& viewport);
    ~cViewOverlays();
    cViewOverlays(const cViewOverlays&) = delete;
    cViewOverlays& operator=(const cViewOverlays&) = delete;

    // Loading; each is silent on failure.
    bool openFont(const std::string& path, int32_t size);
    void buildGlyphStrip(const std::u16string& text);
    bool loadPointer(const std::string& path);
    bool loadCompass(const std::string& path);
    bool loadPoiSheet(const std::string& path, int32_t iconWidth, int32_t iconHeight);
    bool hasCompass() const;
    // Where the compass and the scale bar stand, and the bar's longest length.
    void setPositions(ScreenPoint compass, ScreenPoint scaleBar, int32_t scaleLength);

    // Labels of one frame.
    void beginFrame();
    void addAreaName(ScreenPoint anchor, const std::u16string& name, int32_t type, bool upper);
    void drawPoi(const cPOI& poi, ScreenPoint at);
    void addStreetName(const std::vector<ScreenPoint>& path, const std::u16string& name);
    void drawNames();

    // Overlays; `scale` is pixels per metre, `principal` the screen point of
    // the optical axis.
    // A `stale` pointer is grey and has no accuracy circle.
    void drawPointer(ScreenPoint at, float angle, float hdop, float scale, bool stale,
                     const FixedMatrix& courseMatrix);
    void drawScaleBar(float scale);
    void drawCompass(float yaw);
    void drawOutOfMap(ScreenPoint principal);
    void drawMapAbsent(ScreenPoint principal, const std::string& programFolder);

    // The tap marker, at the pixel `at` of its map point.
    void setTapMarker(ScreenPoint at, const ViewPoint& mapPoint, bool offGround);
    bool tapMarkerActive() const;
    void resetTapMarkerAnimation();
    // Into the frame just drawn, over a fresh copy of the pixels under it.
    void drawTapMarker(ScreenPoint at);
    // Straight onto the screen, to animate it between frames.
    void followTapMarker(ScreenPoint at);
    void clearTapMarker();
    ViewPoint tapMapPoint() const;
    ScreenPoint tapScreenPoint() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tevo
