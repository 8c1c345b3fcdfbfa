// What the map view remembers between frames: its scale and pose, the free
// and the followed point, what the last fix did, and the input's marks for
// the next frame. MapView owns one and changes it only through its
// operations; the frame's description (FrameView) is made from it.
#pragma once

#include "map/level_choice.hpp"
#include "plugin-api/plugin_api.hpp"
#include "render/raster/geometry.hpp"

#include <cstdint>

namespace tevo {

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
// What the user did last; the next frame reacts to it and clears it.
enum LastAction : int32_t {
    ActionNone = 0,
    ActionRotate = 1,
    ActionTilt = 2,
    ActionDrag = 3,
    ActionZoom = 4,
    ActionPerspectiveTap = 5,
};

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

struct ViewState {
    // The scale: metres per map unit east (kx, at the map's lower edge) and
    // north (ky); the zoom in pixels per metre, and in the follow view the
    // user's factor on it. The previous zoom is where a glide starts.
    float kx = 1.0f, ky = 1.0f;
    float zoom = 1.0f, previousZoom = 1.0f, zoomFactor = 1.0f;
    float minMetresPerPixel = 0.1f, zoomStepSize = 0.2f;

    // The pose: the tilt of the speed view and the user's offset on it, the
    // steepest tilt that keeps the horizon on the screen, the projection and
    // its style, and which way is up.
    float tilt = 0, previousTilt = 0, tiltOffset = 0, maxTilt = 90;
    int32_t projection = ProjectionEco;
    int32_t style = Style3D;
    int32_t orientation = CourseUp;

    // The free view looks at the free point; the follow view at the followed
    // one.
    bool freeView = true;
    ViewPoint freePoint;
    SavedView saved; // the view of the return button

    // Following: the last fix, its position in degrees and map units with
    // the previous one (where a glide starts), the course and speed, and
    // what the fix did. Fixes closer than minMove metres at a speed below
    // minspeed are standing still; turns below minangle degrees are jitter.
    GpsData lastFix{};
    int32_t fixInterval = 1000; // ms between fixes
    float longitude = kUnknownDegrees, latitude = kUnknownDegrees;
    ViewPoint followed, previousFollowed;
    float course = 0, previousCourse = 0, speed = 0;
    bool positionChanged = false, noFix = true;
    // The position is not the vehicle's now (no live fix): the shell says
    // so, the pointer shows it grey.
    bool fixStale = false;
    float minangle = 5.0f, minspeed = 5.0f, minMove = 21.0f;

    // Marks of the input for the next frame: what the user did last and how
    // the level is to be chosen.
    int32_t lastAction = ActionNone;
    int32_t levelChoiceKind = ChoiceOther;

    // The flat view's preview during a drag: the last frame, shifted.
    bool previewOn = false;
    ScreenPoint previewOffset;

    // What the last frame cost, in ms.
    int32_t drawTimeMs = 0;
};

} // namespace tevo
