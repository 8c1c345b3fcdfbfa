// The map view: the one object that owns what the map screen needs, keeps
// the view's state, takes the input and the fixes, and draws the frames.
//
// It owns the map file with its block cache, the style, the speed view
// (vsa.xml) and display levels (levels.xml), the painter with its depth
// buffer, the camera, the overlays, the tracks, the preview surface, the
// state of the view (ViewState), the description of the last frame
// (FrameView) and the glide between fixes. Frames are drawn only when the
// main loop asks: startTransition and stepTransition say when a frame is
// due, and the loop draws it, shows it and waits.
#pragma once

#include "config/levels_xml.hpp"
#include "config/vsa.hpp"
#include "map/level_choice.hpp"
#include "map/map_file.hpp"
#include "map/map_objects.hpp"
#include "map/map_style.hpp"
#include "plugin-api/plugin_api.hpp"
#include "render/frame/frame.hpp"
#include "render/frame/frame_view.hpp"
#include "render/overlays/view_overlays.hpp"
#include "render/raster/camera.hpp"
#include "render/raster/painter.hpp"
#include "render/view/course_filter.hpp"
#include "render/view/transition_table.hpp"
#include "render/view/view_state.hpp"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tevo {

class cConfigXML;

// Where the map has data (map units): the cells of its finest level that has
// any, widened by the start rectangle `start`.
BoundsI dataExtent(const cMapFile& map, const BoundsI& start);

class MapView {
public:
    // Zoom limits: never more than this many metres across the larger
    // viewport side; never closer than the state's minimum metres per pixel.
    static constexpr float kWidestMetres = 19110000.0f;
    static constexpr float kPinchLimitDegrees = 85.0f;
    static constexpr int32_t kMapTextSize = 14;

    // `programFolder` ends with '/' or is empty. Reads tevo.skn, the font,
    // vsa.xml and levels.xml from it.
    MapView(SDL_Surface* video, const std::string& programFolder);
    ~MapView();
    MapView(const MapView&) = delete;
    MapView& operator=(const MapView&) = delete;

    // --- loading and layout (map_view.cpp)
    bool openMap(std::u16string_view path);
    void fitToMap();
    // The overlay positions of the layout; a bar length below 2 or wider than
    // the viewport becomes 50.
    void setOverlayPositions(int32_t compassX, int32_t compassY, int32_t scaleX, int32_t scaleY,
                             int32_t scaleLength);
    // The followed point's screen position in Eco and in perspective; the
    // camera's principal point becomes (pointer3D x, screenHeight / 2).
    void setPointerPositions(int32_t eco2DX, int32_t eco2DY, int32_t persp3DX, int32_t persp3DY,
                             int32_t screenHeight);
    void setFollowedFromDegrees(float longitude, float latitude);
    // The whole map in the free view, flat and north up, centred in the
    // viewport (whole_map.cpp).
    void showWholeMap();
    // A stored view that lies off the map (another region's map now) starts
    // on the whole map instead, and a vehicle last seen off it is forgotten
    // until the next fix.
    void startOnMap();
    bool onMap(const ViewPoint& p) const;
    // A still picture: follows (lon, lat) at `zoom` pixels per metre, turned
    // by `yaw` with the pointer up the screen, in the projection and style
    // given, tilted by `tilt`.
    void placeFollowed(float longitude, float latitude, float zoom, int32_t projection,
                       int32_t style, float yaw, float tilt);

    // --- input (view_input.cpp, view_tap.cpp)
    void zoomStep(int direction);
    void tiltBy(float delta);
    void rotateBy(float delta);
    void dragBy(int32_t dx, int32_t dy);
    void grabDrag(const ViewPoint& grabbed, int32_t sx, int32_t sy);
    bool setPreview(bool on);
    void setProjection(int32_t mode);
    void cycleProjection();
    void cycleOrientation();
    void setOrientation(int32_t mode);
    bool setZoomAndTilt(float newZoom, float newTilt);
    // True when the view changed.
    bool perspectiveTap(int32_t sx, int32_t sy);
    // Whether the position shown has no live fix; true when that changed.
    bool setFixStale(bool stale);
    // The follow and free switches.
    void followSwitch();
    void freeSwitch();
    // The free view, showing what the follow view showed: a drag or a tap
    // then moves the map the user sees, not a free point left from before.
    void freeInPlace();
    // Where the vehicle was last seen becomes the free point, or only the
    // free point of the saved view (where a return goes) when `returnOnly`.
    void freePointToVehicle(bool returnOnly);
    // A tap on the map at a pixel: the tap marker goes there, and the next
    // frame keeps the tapped point in place while the zoom changes.
    void markTap(int32_t sx, int32_t sy);
    void clearTapMarker();
    // Between frames the marker animates on the screen by itself.
    void animateTapMarker();
    // The free view looks at the map point (x, y) from a height that shows
    // about `metresAcross` across the viewport, with the tap marker on the
    // point (view_place.cpp).
    void showPlace(int32_t x, int32_t y, float metresAcross);

    // The route still to drive, in map units, drawn over the roads from the
    // next frame on; an empty line removes it.
    void setRouteLine(std::vector<MapPoint> line) { route_ = std::move(line); }
    const std::vector<MapPoint>& routeLine() const { return route_; }

    // --- saved view and settings (view_saved.cpp)
    void saveView();
    void restoreView();
    void applySettings(const cConfigXML& settings);
    void storeSettings(cConfigXML& settings) const;

    // --- the frame (view_frame.cpp, view_camera.cpp)
    // Draws one frame into the video surface (the flip is the caller's).
    void drawFrame();
    // Describes the next frame from the view's state: camera, scales,
    // footprint, level (its zoom correction applied), depth limits. The
    // frame's first stage; it also answers where things are until then.
    const FrameView& setUpFrame();
    const FrameView& frame() const { return frame_; }
    // Between the screen and the map, by the last frame's description.
    GroundHit screenToMap(int32_t sx, int32_t sy) const { return frame_.screenToMap(sx, sy); }
    ScreenHit mapToScreen(int32_t x, int32_t y) const { return frame_.mapToScreen(x, y); }

    // --- following the vehicle (view_follow.cpp, view_transition.cpp)
    void updateFromFix(const GpsData& record);
    // After updateFromFix: true when one frame is due now. In perspective a
    // changed position plans a glide instead, whose steps follow.
    bool startTransition();
    // One step of a running glide; true when its frame is due. After the
    // frame the caller waits stepPause() milliseconds.
    bool stepTransition();
    // How long a step waits after its frame: until its share of the
    // interval is over, at most the planned sleep; not after the last.
    uint32_t stepPause() const;
    // A new fix arrived while a glide runs.
    void finishTransition();
    bool transitionPending() const { return transitions_.animating; }
    const TransitionTable& transitions() const { return transitions_; }

    // --- what the view holds
    const ViewState& state() const { return state_; }
    const Camera& camera() const { return *camera_; }
    cViewOverlays& overlays() { return *overlays_; }
    cPtrArray<cPolyLine>& tracks() { return tracks_; }
    const cMapFile& mapFile() const { return mapFile_; }
    const cMapStyle& style() const { return style_; }
    SDL_Surface* preview() const { return preview_; }
    bool mapOpen() const { return mapOpen_; }
    // Map units: where the map has data ({-1, -1, -1, -1} without a map).
    const BoundsI& mapExtent() const { return mapExtent_; }
    bool perspective() const { return state_.projection == ProjectionPerspective; }
    // The zoom that the frame uses: a zoom of 0 or below (or not a number)
    // counts as the widest allowed one.
    float usableZoom(float z) const;
    float widestZoom() const;

private:
    friend struct MapViewAccess; // the tests' hand on the state

    // view_camera.cpp
    FrameView cameraFrame();
    void keepTapInPlace(FrameView& f);
    void footprintOf(FrameView& f) const;
    void correctZoom(float cellDegrees);
    float cellAtZoom(float z) const;
    void bulkScales(FrameView& f) const;
    void depthLimits(FrameView& f) const;
    // view_frame.cpp
    void composeMap();
    void showPreview();
    void finishFrame();
    void layoutInto(FrameView& f) const;
    // view_tap.cpp
    bool tapMarkerShown() const;
    void drawTapMarkerOverFrame();
    // view_follow.cpp, view_transition.cpp
    bool turnTowards(float longitude, float latitude, float kmh);
    void registerTransitionValues();
    // whole_map.cpp
    float wholeMapZoom() const;
    void placeOnWholeMap();

    SDL_Surface* video_ = nullptr;
    std::string programFolder_;
    PixelRect viewport_;
    ScreenPoint ecoOrigin_;
    std::unique_ptr<cPainter> painter_;
    std::unique_ptr<cViewOverlays> overlays_;
    FrameCanvas canvas_;
    std::unique_ptr<Camera> camera_;
    cMapFile mapFile_;
    bool mapOpen_ = false;
    BoundsI mapBounds_{-1, -1, -1, -1}; // map units: the start rectangle
    BoundsI mapExtent_{-1, -1, -1, -1}; // map units: where the map has data
    cMapStyle style_;
    uint32_t background_ = 0;
    cVSA vsa_;
    cLevelsXML levels_;
    cPtrArray<cPolyLine> tracks_;
    std::vector<MapPoint> route_;
    SDL_Surface* preview_ = nullptr; // owned
    ViewState state_;
    FrameView frame_;
    const cMapLevel* lastLevel_ = nullptr;
    CourseFilter courseFilter_;
    TransitionTable transitions_;
};

} // namespace tevo
