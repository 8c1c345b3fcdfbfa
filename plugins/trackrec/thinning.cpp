#include "plugins/trackrec/thinning.hpp"

#include "plugin-api/geodesy.hpp"

namespace tevo::trackrec {

double metresBetween(const Fix& a, const Fix& b) {
    return geo::distanceMetres(a.longitude, a.latitude, b.longitude, b.latitude);
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
