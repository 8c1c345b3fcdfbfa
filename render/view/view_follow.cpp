// Following the vehicle: what a new fix does to the course, the followed
// position, the zoom and the tilt.
#include "render/raster/numbers.hpp"

#include "plugin-api/geodesy.hpp"
#include "render/view/follow_math.hpp"
#include "render/view/map_view.hpp"

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
    // 1.-2. Without a fix only the previous values move on.
    positionChanged = false;
    if (record.fix == FixNone || !usableFix(record)) {
        previousLongitude = longitude;
        previousLatitude = latitude;
        previousAltitude = altitude;
        previousFollowed = followed;
        noFix = true;
        return;
    }
    // 3. The record, with a west longitude moved to where the map keeps it.
    lastFix = record;
    noFix = false;
    const float lon = eastLongitude(record.longitude);
    const float lat = record.latitude;
    const float kmh = plausibleSpeed(record.speed);
    // 4. Standing still, jitter and the course.
    if (longitude != kUnknownDegrees && latitude != kUnknownDegrees) {
        const double l = geo::distanceMetres(longitude, latitude, lon, lat);
        if (l <= minMove && kmh <= minspeed) return;
        const float b = unwrapCourse(bearingDegrees(longitude, latitude, lon, lat, kx, ky), course);
        const float c = courseFilter.filter(b);
        const double w = (static_cast<double>(c) - course) * kDegToRad;
        if (std::abs(c - course) > kReversal && minMove > l * std::sin(w) &&
            2.0 * minMove > std::abs(l * std::cos(w)))
            return;
        const float chosen = minangle > std::abs(c - course) ? course : c;
        previousCourse = course;
        course = chosen;
        positionChanged = true;
    }
    // 5. The fix in map units.
    const int32_t x = degreesToUnits(lon);
    const int32_t y = degreesToUnits(lat);
    // 6. The first fix places the followed point.
    const bool first = !followed.isSet();
    if (first) {
        followed.x = x;
        followed.y = y;
        longitude = lon;
        latitude = lat;
        altitude = kGroundHeight;
    }
    // 7. Shift the previous values.
    previousFollowed = followed;
    previousZoom = zoom;
    previousTilt = tilt;
    previousLongitude = longitude;
    previousLatitude = latitude;
    previousAltitude = altitude;
    zoomCopy = zoom;
    previousSpeed = speed;
    speed = kmh;
    longitude = lon;
    latitude = lat;
    altitude = kGroundHeight;
    // 8. Zoom and tilt for the speed, when the view turns with the course.
    if (!freeView && orientation == CourseUp) {
        const auto view = vsa.lookup(static_cast<int32_t>(kmh));
        setZoomAndTilt(1.0f / view.scale, kRightAngle - static_cast<float>(view.angle));
    }
    // 9. The followed point moves.
    if (x != followed.x || y != followed.y || first) {
        previousFollowed = followed;
        followed.x = x;
        followed.y = y;
        positionChanged = true;
    } else {
        positionChanged = false;
    }
}

} // namespace tevo
