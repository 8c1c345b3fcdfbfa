// The road graph file over arbitrary contents: opened and checked as the
// navigator opens it; when it is accepted, positions snapped, routes found
// between road positions that follow from the input, told as steps, and the
// plain Dijkstra run over the same graph. A damaged file may give wrong
// routes, never a crash, a read past the file or a search that does not end.
#include "fuzz/fuzz_support.hpp"

#include "route/router.hpp"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kRoutes = 4;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const tevo::fuzz::ScratchFile file(".tvr");
    if (!file.write(data, size)) return 0;
    tevo::route::cRoadGraph graph;
    std::string error;
    if (!graph.open(file.path(), &error) || graph.edgeCount() == 0) return 0;
    uint64_t seed = 1469598103934665603ull;
    for (std::size_t i = 0; i < size; i += 64) seed = (seed ^ data[i]) * 1099511628211ull;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(seed >> 33);
    };
    tevo::route::cRouter router(graph);
    tevo::route::Route route;
    std::vector<tevo::route::Seed> sources, targets;
    std::vector<tevo::route::DirectPath> direct;
    int64_t sum = 0;
    for (int i = 0; i < kRoutes; ++i) {
        const auto a = tevo::route::positionOnEdge(graph, next() % graph.edgeCount(),
                                                   (next() % 1001) / 1000.0);
        const auto b = tevo::route::positionOnEdge(graph, next() % graph.edgeCount(),
                                                   (next() % 1001) / 1000.0);
        if (const auto snapped = tevo::route::snapToRoad(graph, a.point, 500)) sum += snapped->edge;
        if (router.route(a, b, route)) sum += route.durationTenths + route.steps.size();
        tevo::route::seedsBetween(graph.base(), a, b, sources, targets, direct);
        sum += tevo::route::plainDijkstra(graph.base(), sources, targets, direct).value_or(0);
    }
    tevo::fuzz::keep(sum);
    return 0;
}
