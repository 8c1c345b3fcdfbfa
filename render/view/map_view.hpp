// The map view: the one object that owns what the map screen needs (the map
// file, the style, the level and speed readers, the painter with its depth
// buffer, the camera) and all view state; its camera, both projections, the
// operations the input handling calls, and the frame.
#pragma once

#include "config/levels_xml.hpp"
#include "map/map_file.hpp"
#include "map/map_objects.hpp"
#include "map/map_style.hpp"
#include "plugin-api/plugin_api.hpp"
#include "render/overlays/view_overlays.hpp"
#include "render/raster/camera.hpp"
#include "render/raster/geometry.hpp"
#include "render/raster/painter.hpp"
#include "render/raster/prism.hpp"
#include "render/view/course_filter.hpp"
#include "render/view/speed_view.hpp"
#include "render/view/transition_table.hpp"
#include "render/view/view_types.hpp"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tevo {

class cConfigXML;

// Map units per full turn and its base-2 logarithm.
inline constexpr int kUnitsLog = 26;
inline constexpr uint32_t kUnitsPerCircle = uint32_t{1} << kUnitsLog;
// The scale model's Earth circumference and metres per degree.
inline constexpr float kEarthCircumference = 40000000.0f;
inline constexpr double kMetresPerDegree = 111177.47249081731;
inline constexpr float kUnknownDegrees = -360.0f;

// Degrees (0..360 east; western longitudes given as negative degrees are
// moved into 180..360, where the map keeps them) to map units, truncated.
float eastLongitude(float degrees);
int32_t degreesToUnits(float degrees);
float unitsToDegrees(int32_t units);

enum ProjectionMode : int32_t { ProjectionEco = 0, ProjectionPerspective = 1 };
enum PerspectiveStyle : int32_t { Style2D = 0, Style3D = 1 };
enum OrientationMode : int32_t { NorthUp = 0, CourseUp = 1, UserHeading = 2 };
enum LastAction : int32_t {
    ActionNone = 0,
    ActionRotate = 1,
    ActionTilt = 2,
    ActionDrag = 3,
    ActionZoom = 4,
    ActionPerspectiveTap = 5,
};
// The level choice after a zoom in, a zoom out, or any other frame.
enum LevelChoiceKind : int32_t { ChoiceZoomIn = 0, ChoiceZoomOut = 1, ChoiceOther = 2 };

// What saveView keeps and restoreView brings back.
struct SavedView {
    ViewPoint freePoint;
    int32_t projection = ProjectionEco;
    int32_t style = Style3D;
    float yaw = 0;
    float tilt = 0;
    float tiltOffset = 0;
    float zoom = 1.0f;
    float zoomFactor = 1.0f;
};

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

class MapView {
public:
    // Zoom limits: never more than this many metres across the larger
    // viewport side, never below the minimum metres per pixel.
    static constexpr float kWidestMetres = 19110000.0f;
    static constexpr float kPinchLimitDegrees = 85.0f;
    static constexpr int32_t kInitialFar = 3000;
    static constexpr int32_t kNearCoefficient = 40;
    static constexpr uint32_t kWallOdd = 0xA4A0A0;
    static constexpr uint32_t kWallEven = 0xC0C0C0;
    static constexpr int kFirstPointCapacity = 128;
    static constexpr int kSecondPointCapacity = 256;
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

    // --- per frame (view_camera.cpp)
    void updateCamera();
    void updateFootprint();
    void nearFar(int32_t nearCoefficientPixels, int32_t& nearZ, int32_t& farZ) const;

    // --- transforms (view_transforms.cpp)
    GroundHit screenToMap(int32_t sx, int32_t sy) const;
    ScreenHit mapToScreen(int32_t x, int32_t y) const;
    ViewPoint centreFor(const ViewPoint& p, int32_t h, int32_t l) const;

    // --- input (view_input.cpp)
    void zoomStep(int direction);
    void tiltBy(float delta);
    void rotateBy(float delta);
    void dragBy(int32_t dx, int32_t dy);
    void grabDrag(const ViewPoint& grabbed, int32_t sx, int32_t sy);
    bool setPreview(bool on);
    void setProjection(int32_t mode);
    void cycleProjection();
    void cycleOrientation();
    bool setZoomAndTilt(float newZoom, float newTilt);
    // True when the view changed.
    bool perspectiveTap(int32_t sx, int32_t sy);
    // The follow and free switches of the shell.
    void followSwitch();
    void freeSwitch();

    // --- saved view and settings (view_saved.cpp)
    void saveView();
    void restoreView();
    void applySettings(const cConfigXML& settings);
    void storeSettings(cConfigXML& settings) const;

    // --- the frame (frame.cpp, frame_level.cpp, frame_pass_*.cpp)
    void drawFrame();
    void composeMap();
    // -1 out of map, 0 level chosen, 1 level chosen and zoom corrected.
    int chooseLevel(int32_t kind);
    // The fractional bits of the bulk projection for a scale in pixels per
    // unit, or -1 when the scale cannot be held.
    int32_t fixedShift(float scale) const;

    bool mapOpen() const { return !mapPath.empty(); }
    bool perspective() const { return projection == ProjectionPerspective; }
    // The zoom that the frame uses: a zoom of 0 or below (or not a number)
    // counts as the widest allowed one.
    float usableZoom(float z) const;
    float widestZoom() const;

    // --- members, in the order that construction gives them values
    SDL_Surface* preview = nullptr; // owned
    SDL_Surface* video = nullptr;
    std::unique_ptr<cViewOverlays> overlays;
    int32_t previewOffsetX = 0, previewOffsetY = 0;
    IntRect previewRect;
    std::unique_ptr<cPainter> painter;
    std::u16string mapPath;
    std::string programFolder;
    std::u16string programFolderWide;
    int32_t lastAction = ActionNone;
    int32_t levelChoiceKind = ChoiceOther;
    cSpeedView vsa;
    cLevelsXML levels;
    float cellDegrees = 1.0f / 60.0f;
    cPtrArray<cPolyLine> tracks;
    IntRect mapBounds{-1, -1, -1, -1};
    BoundsF footprintBox{-1, -1, -1, -1};
    IntRect footprintUnitsBox{-1, -1, -1, -1};
    IntRect viewport;
    std::array<MapPoint, 4> footprintUnits{};
    PointF footprint[4]{};
    int32_t compassX = 32, compassY = 32;
    int32_t scaleX = 0, scaleY = 0, scaleLength = 50;
    GpsData lastFix{};
    int32_t fixInterval = 1000;
    float zoom = 1.0f, previousZoom = 1.0f, zoomFactor = 1.0f, previousZoomFactor = 1.0f;
    float minMetresPerPixel = 0.1f, zoomStepSize = 0.2f;
    float kx = 1.0f, ky = 1.0f, zoomKyAtFit = 0, zoomCopy = 1.0f;
    float course = 0, previousCourse = 0, speed = 0, previousSpeed = 0;
    int32_t markThreshold = 0, maxHidePriority = 0;
    int32_t nearZ = 1, farZ = kInitialFar, farLimit = kInitialFar;
    float maxTilt = 90, tilt = 0, previousTilt = 0, tiltOffset = 0;
    cMapStyle style;
    int32_t drawTimeMs = 0, frameIntervalMs = 0;
    uint32_t previousFrameStart = 0;
    bool hasPreviousFrame = false;
    uint32_t background = 0;
    uint32_t wallOdd = kWallOdd, wallEven = kWallEven;
    bool fullScreen = false;
    std::vector<ScreenPoint> points;
    std::vector<ScreenPoint> clipped;
    std::vector<GroundPoint> ground;
    PrismBuffers prismBuffers;
    bool previewOn = false;
    int32_t projection = ProjectionEco;
    bool rotateAboutPivot = true;
    bool freeView = true;
    int32_t orientation = CourseUp;
    int32_t style3D = Style3D; // the perspective style
    float minangle = 5.0f, minspeed = 5.0f, minMove = 21.0f;
    ViewPoint* pivot = nullptr;
    ViewPoint freePoint;
    SavedView saved;
    ViewPoint centre;
    float Sx = 0, Sy = 0, S = 0, frameYaw = 0, framePitch = 0;
    int32_t cellSeconds = 0;
    cMapLevel* wantedLevel = nullptr;
    FixedMatrix frameMatrix{};
    FixedMatrix courseMatrix{};
    FloatMatrix frameFloat{};
    ViewPoint followed, previousFollowed, furtherPoint;
    std::array<int32_t, 3> viewDirection{0, 0, 1};
    int32_t ecoX = 0, ecoY = 0;
    bool positionChanged = false, noFix = true;
    float previousLongitude = kUnknownDegrees, previousLatitude = kUnknownDegrees,
          previousAltitude = kGroundHeight;
    float longitude = kUnknownDegrees, latitude = kUnknownDegrees, altitude = kGroundHeight;
    cMapFile mapFile;
    std::unique_ptr<Camera> camera;
    bool afterFrameHook = false;

    // --- following the vehicle (view_follow.cpp, view_transition.cpp)
    void updateFromFix(const GpsData& record);
    void startTransition();
    void stepTransition();
    // How long a step sleeps after its frame: until its share of the
    // interval is over, at most the planned sleep; not after the last.
    uint32_t stepPause() const;
    void finishTransition();
    bool transitionPending() const { return transitions.animating; }
    void registerTransitionValues();
    void presentFrame();
    CourseFilter courseFilter;
    TransitionTable transitions;
    // Draws and shows one frame; drawFrame alone when unset.
    std::function<void()> present;

private:
    void correctZoom(float f);
    void pinnedZoom();
    void drawMapLayers(cMapLevel& level);
};

} // namespace tevo
