// Routes between two road positions: the fastest path through the
// hierarchy, drawn as a line of points and told as steps.
#pragma once

#include "route/maneuvers.hpp"
#include "route/road_graph.hpp"
#include "route/search.hpp"
#include "route/snap.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo::route {

struct Route {
    int64_t durationTenths = 0; // tenths of a second
    double distanceM = 0;
    std::vector<LonLat> points; // from the start's road position to the destination's
    std::vector<RouteStep> steps;
};

// The seeds of the search between two road positions: each direction of
// travel of the start's edge with the time left on it, each of the
// destination's with the time to the destination on it; unusable directions
// are left to the searches to drop. When both lie on one edge, the drive
// straight along it where the road allows.
void seedsBetween(const BaseGraph& base, const RoadPosition& from, const RoadPosition& to,
                  std::vector<Seed>& sources, std::vector<Seed>& targets,
                  std::vector<DirectPath>& direct);

class cRouter {
public:
    explicit cRouter(const cRoadGraph& graph)
        : graph_(graph), search_(graph.base(), graph.hierarchy()) {}

    // The fastest route; false when the destination cannot be reached.
    bool route(const RoadPosition& from, const RoadPosition& to, Route& out);
    // The same for a vehicle on the move: it starts in the direction of
    // travel nearest to `headingDegrees` (clockwise from north) where the
    // road allows that direction, so a new route never begins with a turn
    // on the spot.
    bool routeHeading(const RoadPosition& from, double headingDegrees, const RoadPosition& to,
                      Route& out);

    // Only the travel time, in tenths of a second (no line, no steps).
    std::optional<int64_t> duration(const RoadPosition& from, const RoadPosition& to);

    const HierarchySearch& search() const { return search_; }

private:
    bool finish(const RoadPosition& from, const RoadPosition& to, Route& out);
    void keepHeading(const RoadPosition& from, double headingDegrees);
    void trimDeadEndTurns(std::vector<NodeId>& nodes) const;
    void drawLine(const RoadPosition& from, const RoadPosition& to,
                  const std::vector<NodeId>& nodes, Route& out, std::vector<double>& pieces) const;

    const cRoadGraph& graph_;
    HierarchySearch search_;
    std::vector<Seed> sources_, targets_;
    std::vector<DirectPath> direct_;
};

} // namespace tevo::route
