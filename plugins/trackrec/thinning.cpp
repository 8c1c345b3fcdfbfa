#include "plugins/trackrec/thinning.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tevo::trackrec {

namespace {

constexpr double kEarthRadiusM = 6371000.0;

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

double metresBetween(const Fix& a, const Fix& b) {
    // Haversine: exact enough for metres, unlike acos of a cosine near 1.
    double dLat = radians(b.latitude - a.latitude);
    double dLon = radians(b.longitude - a.longitude);
    double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
               std::cos(radians(a.latitude)) * std::cos(radians(b.latitude)) * std::sin(dLon / 2) *
                   std::sin(dLon / 2);
    return 2 * kEarthRadiusM * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

Thinning::Decision Thinning::next(const Fix& fix) {
    std::optional<Fix> previous = lastSeen_;
    lastSeen_ = fix;
    bool gap = !previous || fix.seconds - previous->seconds > kGapSeconds ||
               fix.seconds < previous->seconds;
    if (gap || !lastKept_) {
        lastKept_ = fix;
        return Decision::KeepAsNewSegment;
    }
    double elapsed = fix.seconds - lastKept_->seconds;
    if (elapsed < 1.0) return Decision::Skip;
    if (elapsed < kMaxSeconds && metresBetween(*lastKept_, fix) < kMinMetres) return Decision::Skip;
    lastKept_ = fix;
    return Decision::Keep;
}

} // namespace tevo::trackrec
