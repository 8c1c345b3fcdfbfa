// Road graphs for the route tests: compiled by the real tvmc from the
// repository's extracts, from the generated town, or from small documents a
// test writes; and the real tvmroute run on them.
#pragma once

#include "support/temp_dir.hpp"

#include <string>
#include <vector>

namespace tevo::test {

// Compiles an OSM file into a program folder of its own and returns the
// folder; each input is compiled once per test run.
std::string compiledFolder(const std::string& osmPath);

// A small region of roadnet (four towns), compiled.
std::string townFolder();

struct RouteRun {
    int code = -1;
    std::string out, err;
};

// Runs a program of build/bin and waits for it.
RouteRun runTool(const std::string& program, const std::vector<std::string>& args);
RouteRun runTvmroute(const std::vector<std::string>& args);

// A small map drawn on a grid of 100 m steps: "A 0 0" puts node A at the
// origin (near 55.8 N, 37.6 E), "way A B C highway=residential oneway=yes"
// joins nodes, "no_left_turn WAY VIA WAY" restricts (ways by their number,
// from 1 in the order given), one item per line; '_' in a tag value is a
// space. Returns the document.
std::string sketchMap(const std::string& sketch);

// The position of grid point (x, y) as "LON,LAT", x and y in 100 m steps.
std::string gridPosition(double x, double y);

// A number or a string value of `key` in tvmroute's JSON, and every value of
// the key in order.
double jsonNumber(const std::string& json, const std::string& key);
std::vector<std::string> jsonStrings(const std::string& json, const std::string& key);

} // namespace tevo::test
