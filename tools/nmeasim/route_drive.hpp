// A drive along the fastest route between two positions on a program
// folder's road graph, as track points one second apart; with a detour, the
// drive goes straight on at one turn of the route, away from it, and then
// finds its way to the destination.
#pragma once

#include "route/edge_shape.hpp"
#include "tools/nmeasim/sources.hpp"

#include <string>
#include <vector>

namespace tevo::nmeasim {

struct RouteDrive {
    std::string folder; // holds map.tvr
    route::LonLat from, to;
    bool detour = false;
};

// The points of the drive, at the route's own pace (its length over its
// travel time), ending with half a minute standing at the destination.
// False with the reason in `error`.
bool driveRoute(const RouteDrive& drive, std::vector<TrackPoint>& points, std::string& error);

} // namespace tevo::nmeasim
