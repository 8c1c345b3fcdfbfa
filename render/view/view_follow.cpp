// Following the vehicle: what a new fix does to the course, the followed
// position, the zoom and the tilt.
#include "render/raster/numbers.hpp"
#include "render/view/follow_math.hpp"
#include "render/view/map_view.hpp"

#include "plugin-api/geodesy.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {

constexpr float kRightAngle = 90.0f;
constexpr float kReversal = 90.0f;
using geo::kDegToRad;
constexpr double kFlatBearing = 1e-7;
constexpr double kHalfTurn = 180.0;
constexpr double kFullTurn = 360.0;

double acosClamped(double v) {
    return std::acos(std::clamp(v, -1.0, 1.0));
}

// Longitude difference the short way round, so that crossing the 0/360
// degree line is a small step and not a trip round the Earth.
double shortDelta(double from, double to) {
    double d = std::fmod(to - from, kFullTurn);
    if (d > kHalfTurn) d -= kFullTurn;
    if (d <= -kHalfTurn) d += kFullTurn;
    return d;
}

} // namespace

float unwrapCourse(float beta, float previous) {
    double h = previous - std::trunc(previous / kFullTurn) * kFullTurn;
    if (h < 0) h += kFullTurn;
    const double d = beta - h;
    if (std::abs(d) < kHalfTurn) return static_cast<float>(previous + d);
    if (d > 0) return static_cast<float>(previous - kFullTurn + d);
    return static_cast<float>(previous + kFullTurn + d);
}

float bearingDegrees(float lon1, float lat1, float lon2, float lat2, float kx, float ky) {
    const double dy = (static_cast<double>(lat2) - lat1) * std::abs(ky);
    const double dx = shortDelta(lon1, lon2) * std::abs(kx);
    const double e = std::sqrt(dx * dx + dy * dy);
    if (!(e > kFlatBearing)) return 0.0f;
    double beta = acosClamped(dx / e) / kDegToRad;
    if (lat2 - lat1 < 0) beta = kFullTurn - beta;
    return static_cast<float>(beta);
}

bool usableFix(const GpsData& record) {
    return std::isfinite(record.longitude) && std::isfinite(record.latitude) &&
           record.latitude >= -kRightAngle && record.latitude <= kRightAngle &&
           record.longitude >= -kHalfTurn && record.longitude <= kFullTurn;
}

float plausibleSpeed(float kmh) {
    if (!std::isfinite(kmh)) return 0.0f;
    return std::clamp(std::abs(kmh), 0.0f, kMaxPlausibleSpeed);
}

void MapView::updateFromFix(const GpsData& record) {
    ViewState& s = state_;
    // Without a usable fix only the previous position moves on.
    s.positionChanged = false;
    if (record.fix == FixNone || !usableFix(record)) {
        s.previousFollowed = s.followed;
        s.noFix = true;
        return;
    }
    // The record, with a west longitude moved to where the map keeps it.
    s.lastFix = record;
    s.noFix = false;
    const float lon = eastLongitude(record.longitude);
    const float lat = record.latitude;
    const float kmh = plausibleSpeed(record.speed);
    if (s.longitude != kUnknownDegrees && s.latitude != kUnknownDegrees &&
        !turnTowards(lon, lat, kmh))
        return;
    // The first fix places the followed point.
    const int32_t x = degreesToUnits(lon);
    const int32_t y = degreesToUnits(lat);
    const bool first = !s.followed.isSet();
    if (first) s.followed = {x, y, s.followed.z};
    // The values a glide starts from.
    s.previousFollowed = s.followed;
    s.previousZoom = s.zoom;
    s.previousTilt = s.tilt;
    s.speed = kmh;
    s.longitude = lon;
    s.latitude = lat;
    // Zoom and tilt for the speed, when the view turns with the course.
    if (!s.freeView && s.orientation == CourseUp) {
        const auto view = vsa_.lookup(static_cast<int32_t>(kmh));
        setZoomAndTilt(1.0f / view.scale, kRightAngle - static_cast<float>(view.angle));
    }
    // The followed point moves.
    s.positionChanged = x != s.followed.x || y != s.followed.y || first;
    if (s.positionChanged) s.followed = {x, y, s.followed.z};
}

// The course towards a new position; false when the fix is to be ignored:
// standing still, or a reversal within a small displacement (jitter).
bool MapView::turnTowards(float lon, float lat, float kmh) {
    ViewState& s = state_;
    const double l = geo::distanceMetres(s.longitude, s.latitude, lon, lat);
    if (l <= s.minMove && kmh <= s.minspeed) return false;
    const float b =
        unwrapCourse(bearingDegrees(s.longitude, s.latitude, lon, lat, s.kx, s.ky), s.course);
    const float c = courseFilter_.filter(b);
    const double w = (static_cast<double>(c) - s.course) * kDegToRad;
    if (std::abs(c - s.course) > kReversal && s.minMove > l * std::sin(w) &&
        2.0 * s.minMove > std::abs(l * std::cos(w)))
        return false;
    // Turns below minangle keep the course.
    const float chosen = s.minangle > std::abs(c - s.course) ? s.course : c;
    s.previousCourse = s.course;
    s.course = chosen;
    s.positionChanged = true;
    return true;
}

} // namespace tevo
