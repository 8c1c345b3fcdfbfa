// The readable things over the map: the map font and its glyph strip, names,
// POI icons, the pointer, compass, scale bar, tap marker and the texts that
// stand in for the map. The frame calls these in its order; each one draws
// nothing when what it needs (font, picture) is missing.
#pragma once

#include "map/map_objects.hpp"
#include "render/raster/geometry.hpp"
#include "render/view/view_types.hpp"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tevo {

class MapView;

class cViewOverlays {
public:
    explicit cViewOverlays(MapView& view);
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

    // Labels of one frame.
    void beginFrame();
    void addAreaName(ScreenPoint anchor, const std::u16string& name, int32_t type, bool upper);
    void drawPoi(const cPOI& poi, ScreenPoint at);
    void addStreetName(const std::vector<ScreenPoint>& path, const std::u16string& name);
    void drawNames();

    // Overlays.
    void drawPointer(float angle);
    void drawScaleBar();
    void drawCompass(float yaw, float course);
    void drawOutOfMap(int32_t centreX, int32_t centreY);
    void drawMapAbsent();

    // The tap marker.
    void setTapMarker(int32_t sx, int32_t sy);
    bool tapMarkerActive() const;
    void resetTapMarkerAnimation();
    void drawTapMarker();
    void eraseTapMarker();
    // Animates the marker on the screen between frames.
    void followTapMarker();
    void clearTapMarker();
    ViewPoint tapMapPoint() const;
    ScreenPoint tapScreenPoint() const;

private:
    struct State;
    MapView& view_;
    std::unique_ptr<State> state_;
};

} // namespace tevo
