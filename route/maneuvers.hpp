// A route told as steps: where the driver must do something, what, and on
// which street it goes on.
#pragma once

#include "route/edge_shape.hpp"
#include "route/road_graph.hpp"

#include <string>
#include <vector>

namespace tevo::route {

enum class Maneuver {
    Depart,
    Straight,
    SlightRight,
    Right,
    SharpRight,
    UTurn,
    SharpLeft,
    Left,
    SlightLeft,
    KeepLeft,
    KeepRight,
    Roundabout, // with the number of the exit taken
    Arrive,
};

struct RouteStep {
    Maneuver maneuver = Maneuver::Depart;
    int exit = 0;         // for Roundabout: 1 for the first exit
    std::string street;   // the street the step goes along; may be empty
    double distanceM = 0; // from this step's start to the next one's
    LonLat at;            // where the step starts
};

// "depart", "left", "keep-right", "roundabout-exit-2", "arrive", ...
std::string maneuverText(const RouteStep& step);

// The maneuver for a turn by `angle` degrees (positive to the right).
Maneuver turnManeuver(double angle);

// The steps of a path: its nodes, the length driven on each of them, and
// where it starts and ends.
std::vector<RouteStep> describeRoute(const cRoadGraph& graph, const std::vector<NodeId>& nodes,
                                     const std::vector<double>& pieces, LonLat start, LonLat end);

} // namespace tevo::route
