// The car profile as a driver meets it: tvmroute on small sketched maps,
// where a one-way street, a turn restriction, the U-turn rule, a private
// road or a speed limit changes the route's time, and the steps name the
// turns and roundabout exits.
#include "route/route_maps.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tevo::test {
namespace {

// A block J E M N with a one-way street from L into J, a dead end E F and
// a road south from J to S; 100 m steps, residential streets (30 km/h, 12 s
// per 100 m). Way numbers: 1 LJ, 2 JE, 3 EM, 4 MN, 5 NJ, 6 EF, 7 JS.
std::string block(const std::string& extra, const std::string& je = "",
                  const std::string& blockRoads = "residential",
                  const std::string& south = "residential") {
    return "L -1 0\nJ 0 0\nE 1 0\nM 1 1\nN 0 1\nF 2 0\nS 0 -1\n"
           "way L J highway=residential oneway=yes name=West\n"
           "way J E highway=residential name=Main " +
           je +
           "\n"
           "way E M highway=" +
           blockRoads +
           " name=East\n"
           "way M N highway=" +
           blockRoads +
           " name=North\n"
           "way N J highway=residential name=Cross\n"
           "way E F highway=residential name=Spur\n"
           "way J S highway=" +
           south + " name=South\n" + extra;
}

// A roundabout of four roads, driven counter-clockwise, with an arm each way.
const char kRoundabout[] = "P 0 -0.3\nQ 0.3 0\nR 0 0.3\nT -0.3 0\n"
                           "AS 0 -2\nAE 2 0\nAN 0 2\nAW -2 0\n"
                           "way P Q R T P highway=tertiary junction=roundabout name=Ring\n"
                           "way AS P highway=tertiary name=South\n"
                           "way AE Q highway=tertiary name=East\n"
                           "way AN R highway=tertiary name=North\n"
                           "way AW T highway=tertiary name=West\n";

constexpr double kAnyTime = -1;

struct Scenario {
    const char* name;
    std::string sketch;
    double fromX, fromY, toX, toY;
    double seconds;              // the route's time, or kAnyTime
    const char* error = nullptr; // the start of tvmroute's error (exit 1)
    std::vector<std::string> maneuvers = {};
};

const Scenario kScenarios[] = {
    {"one_way_street_along", block(""), -0.5, 0, -0.2, 0, 3.6},
    {"one_way_street_against", block(""), -0.2, 0, -0.5, 0, kAnyTime, "no route"},
    {"left_turn_banned_no_u_turn_at_a_junction",
     block("no_left_turn 1 J 5", "", "residential", "footway"),
     -0.5,
     0,
     0,
     0.5,
     48,
     nullptr,
     {"depart", "straight", "left", "left", "left", "arrive"}},
    {"u_turn_at_the_nearest_dead_end",
     block("no_left_turn 1 J 5"),
     -0.5,
     0,
     0,
     0.5,
     36,
     nullptr,
     {"depart", "right", "u-turn", "straight", "arrive"}},
    {"u_turn_at_the_far_dead_end",
     block("no_left_turn 1 J 5", "", "footway", "footway"),
     -0.5,
     0,
     0,
     0.5,
     60,
     nullptr,
     {"depart", "straight", "straight", "u-turn", "straight", "right", "arrive"}},
    {"right_turn_allowed", block(""), -0.5, 0, 0, -0.5, 12},
    {"only_straight_on_bans_the_right_turn", block("only_straight_on 1 J 2"), -0.5, 0, 0, -0.5, 60},
    {"private_road_left_out", block("", "access=private"), -0.5, 0, 1.5, 0, 48},
    {"private_road_open_to_cars", block("", "access=private motorcar=yes"), -0.5, 0, 1.5, 0, 24},
    {"speed_limit_in_mph", "A 0 0\nB 5 0\nway A B highway=residential maxspeed=20_mph\n", 0, 0, 5,
     0, 55.9},
    {"speed_limit_in_kmh", "A 0 0\nB 5 0\nway A B highway=residential maxspeed=50\n", 0, 0, 5, 0,
     36},
    {"motorway_one_way_by_default", "A 0 0\nB 5 0\nway A B highway=motorway\n", 5, 0, 0, 0,
     kAnyTime, "no route"},
    {"motorway_both_ways_when_tagged", "A 0 0\nB 5 0\nway A B highway=motorway oneway=no\n", 5, 0,
     0, 0, 16.4},
    {"footway_left_out", "A 0 0\nB 5 0\nway A B highway=footway\n", 0, 0, 5, 0, kAnyTime,
     "the start is farther than 500 m"},
    {"roundabout_second_exit",
     kRoundabout,
     0,
     -1,
     0,
     1,
     kAnyTime,
     nullptr,
     {"depart", "roundabout-exit-2", "arrive"}},
};

class CarProfile : public testing::TestWithParam<Scenario> {};

TEST_P(CarProfile, RouteTimeAndSteps) {
    const Scenario& s = GetParam();
    TempDir dir;
    const std::string folder = compiledFolder(dir.write("sketch.osm", sketchMap(s.sketch)));
    const RouteRun r = runTvmroute(
        {folder, "--from", gridPosition(s.fromX, s.fromY), "--to", gridPosition(s.toX, s.toY)});
    if (s.error) {
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.out.find(std::string("\"error\": \"") + s.error), std::string::npos) << r.out;
        return;
    }
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    if (s.seconds != kAnyTime) {
        EXPECT_NEAR(jsonNumber(r.out, "duration_s"), s.seconds, 1.0) << r.out;
    }
    if (!s.maneuvers.empty()) {
        EXPECT_EQ(jsonStrings(r.out, "maneuver"), s.maneuvers) << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, CarProfile, testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
