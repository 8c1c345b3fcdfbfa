// A route for a vehicle on the move starts the way it is heading: on a
// block of four streets, a start in the middle of the south street heading
// east goes round the block to a destination behind it, heading west takes
// the short way, and a one-way street leaves only the way it allows.
#include "route/route_maps.hpp"
#include "route/router.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace tevo::test {
namespace {

struct HeadingCase {
    const char* name;
    const char* southTags; // of the street the vehicle is on
    double heading;
    double firstBearing; // of the route's first piece
    double metres;
};

const HeadingCase kCases[] = {
    {"west_short_way", "", 270, 270, 500},
    {"east_round_the_block", "", 90, 90, 1300},
    {"north_counts_as_neither", "", 0, 90, 1300}, // 90 degrees off either: along the way
    {"one_way_against_the_heading", "oneway=yes", 270, 90, 1300},
};

class Heading : public testing::TestWithParam<HeadingCase> {};

route::LonLat at(double x, double y) {
    route::LonLat p;
    std::sscanf(gridPosition(x, y).c_str(), "%lf,%lf", &p.lon, &p.lat);
    return p;
}

TEST_P(Heading, RouteStartsAlongTheHeading) {
    const HeadingCase& c = GetParam();
    TempDir dir;
    const std::string folder = compiledFolder(dir.write(
        "block.osm", sketchMap(std::string("W 0 0\nE 6 0\nNE 6 3\nNW 0 3\n"
                                           "way W E highway=residential name=South ") +
                               c.southTags +
                               "\nway E NE highway=residential\nway NE NW highway=residential\n"
                               "way NW W highway=residential\n")));
    route::cRoadGraph graph;
    std::string error;
    ASSERT_TRUE(graph.open(folder + "/map.tvr", &error)) << error;
    const auto from = route::snapToRoad(graph, at(3, 0), 50);
    const auto to = route::snapToRoad(graph, at(0, 2), 50);
    ASSERT_TRUE(from && to);
    route::cRouter router(graph);
    route::Route r;
    ASSERT_TRUE(router.routeHeading(*from, c.heading, *to, r));
    ASSERT_GE(r.points.size(), 2u);
    const double first = route::bearingBetween(r.points[0], r.points[1]);
    EXPECT_NEAR(std::abs(std::remainder(first - c.firstBearing, 360.0)), 0, 2);
    EXPECT_NEAR(r.distanceM, c.metres, 15);
}

INSTANTIATE_TEST_SUITE_P(Cases, Heading, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
