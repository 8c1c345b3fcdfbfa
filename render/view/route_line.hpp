// A route's line of degrees as the view's map units.
#pragma once

#include "map/map_objects.hpp"
#include "render/view/view_state.hpp"
#include "route/edge_shape.hpp"

#include <vector>

namespace tevo {

inline MapPoint toMapPoint(const route::LonLat& p) {
    return {degreesToUnits(eastLongitude(static_cast<float>(p.lon))),
            degreesToUnits(static_cast<float>(p.lat))};
}

// Points `first` to the end, led by `start` when it is given.
inline std::vector<MapPoint> mapLine(const std::vector<route::LonLat>& line, size_t first,
                                     const route::LonLat* start = nullptr) {
    std::vector<MapPoint> out;
    out.reserve(line.size() - std::min(first, line.size()) + 1);
    if (start) out.push_back(toMapPoint(*start));
    for (size_t i = first; i < line.size(); ++i) out.push_back(toMapPoint(line[i]));
    return out;
}

} // namespace tevo
