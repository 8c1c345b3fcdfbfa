// tvmroute --bench: routes between random road positions and prints the
// query times, the graph's size and the peak memory, with a plain Dijkstra
// over a few of the same pairs as the reference.
#pragma once

#include "route/road_graph.hpp"

#include <cstdio>

namespace tevo::tvmroute {

inline constexpr int kBenchPairs = 1000;
inline constexpr int kReferencePairs = 20;

// Returns the process's exit code: 1 when a route and its reference
// disagree on the travel time.
int runBench(std::FILE* out, const route::cRoadGraph& graph, int pairs);

} // namespace tevo::tvmroute
