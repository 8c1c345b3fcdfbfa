// Distances and bearings on the Earth, for the program, its tools and its
// plug-ins alike: one Earth radius and one distance formula for everyone, so a
// track, a followed view and a route measure the same metres.
//
// Positions are degrees of longitude and latitude (WGS 84 numbers on a
// sphere). Header-only, so plug-ins, which link nothing of the program, take
// it through the plug-in boundary's include path.
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tevo::geo {

// The sphere that every distance of the program is measured on.
inline constexpr double kEarthRadiusM = 6370000.0;

inline constexpr double kDegToRad = std::numbers::pi / 180.0;

inline double radians(double degrees) {
    return degrees * kDegToRad;
}

// Great-circle distance in metres. The haversine form: it equals the cosine
// form of the spherical law, but stays exact for points a few centimetres
// apart, where the cosine form rounds to 0 or to a few decimetres.
inline double distanceMetres(double lon1, double lat1, double lon2, double lat2) {
    const double sinLat = std::sin(radians(lat2 - lat1) / 2);
    const double sinLon = std::sin(radians(lon2 - lon1) / 2);
    const double h =
        sinLat * sinLat + std::cos(radians(lat1)) * std::cos(radians(lat2)) * sinLon * sinLon;
    return 2 * kEarthRadiusM * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

// Initial bearing of the great circle from the first point to the second, in
// degrees clockwise from north, in [0, 360). Two equal points give 0.
inline double bearingDegrees(double lon1, double lat1, double lon2, double lat2) {
    const double dLon = radians(lon2 - lon1);
    const double y = std::sin(dLon) * std::cos(radians(lat2));
    const double x = std::cos(radians(lat1)) * std::sin(radians(lat2)) -
                     std::sin(radians(lat1)) * std::cos(radians(lat2)) * std::cos(dLon);
    if (x == 0 && y == 0) return 0;
    const double degrees = std::atan2(y, x) / kDegToRad;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

} // namespace tevo::geo
