#include "tools/tvmroute/bench.hpp"

#include "route/router.hpp"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <random>
#include <sys/resource.h>
#include <time.h>
#include <vector>

namespace tevo::tvmroute {

namespace {

constexpr uint64_t kSeed = 20240611;

// The routing thread's own processor time: on a shared, busy machine the
// time on the wall also counts the waits for a processor.
double cpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(p * v.size()));
    return v[i];
}

struct Pair {
    route::RoadPosition from, to;
};

std::vector<Pair> randomPairs(const route::cRoadGraph& graph, int count) {
    std::mt19937_64 random(kSeed);
    std::uniform_int_distribution<uint32_t> edge(0, graph.edgeCount() - 1);
    std::uniform_real_distribution<double> fraction(0, 1);
    std::vector<Pair> pairs;
    for (int i = 0; i < count; ++i) {
        const auto a = route::positionOnEdge(graph, edge(random), fraction(random));
        const auto b = route::positionOnEdge(graph, edge(random), fraction(random));
        pairs.push_back({a, b});
    }
    return pairs;
}

void printGraph(std::FILE* out, const route::cRoadGraph& graph) {
    const route::BaseGraph& base = graph.base();
    uint64_t directions = 0;
    for (route::NodeId x = 0; x < base.nodeCount(); ++x) directions += base.usable(x);
    std::fprintf(out,
                 "graph: %zu junctions, %u edges, %" PRIu64 " directions of travel, %zu "
                 "shortcuts, %zu banned turns, %" PRIu64 " bytes (%.1f per direction of travel)\n",
                 base.junctions.size(), graph.edgeCount(), directions,
                 graph.hierarchy().shortcuts.size(), base.bans.size(), graph.fileSize(),
                 directions ? double(graph.fileSize()) / double(directions) : 0.0);
}

} // namespace

int runBench(std::FILE* out, const route::cRoadGraph& graph, int count) {
    if (graph.edgeCount() == 0) {
        std::fprintf(out, "route: the graph has no roads\n");
        return 1;
    }
    const std::vector<Pair> pairs = randomPairs(graph, count);
    route::cRouter router(graph);
    route::Route r;
    std::vector<double> times, wall;
    int found = 0;
    uint64_t settled = 0;
    for (const Pair& p : pairs) {
        const auto start = Clock::now();
        const double cpu = cpuMs();
        found += router.route(p.from, p.to, r);
        times.push_back(cpuMs() - cpu);
        wall.push_back(msSince(start));
        settled += router.search().settled();
    }
    std::fprintf(out, "route: median %.3f ms, p95 %.3f ms over %zu pairs\n", percentile(times, 0.5),
                 percentile(times, 0.95), pairs.size());
    std::fprintf(out, "(processor time of each query; on the wall: median %.3f ms, p95 %.3f ms)\n",
                 percentile(wall, 0.5), percentile(wall, 0.95));
    std::fprintf(out, "found %d routes; %.0f nodes settled per query\n", found,
                 double(settled) / double(pairs.size()));
    printGraph(out, graph);
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::fprintf(out, "peak memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    // The reference: a plain Dijkstra over the same graph, on the first pairs.
    std::vector<double> reference;
    int differ = 0;
    std::vector<route::Seed> sources, targets;
    std::vector<route::DirectPath> direct;
    for (std::size_t i = 0; i < pairs.size() && i < kReferencePairs; ++i) {
        route::seedsBetween(graph.base(), pairs[i].from, pairs[i].to, sources, targets, direct);
        const auto start = Clock::now();
        const auto slow = route::plainDijkstra(graph.base(), sources, targets, direct);
        reference.push_back(msSince(start));
        differ += slow != router.duration(pairs[i].from, pairs[i].to);
    }
    const double ratio = percentile(reference, 0.5) / std::max(1e-9, percentile(times, 0.5));
    std::fprintf(out, "dijkstra: median %.3f ms over %zu pairs (%.0f times the route query); %s\n",
                 percentile(reference, 0.5), reference.size(), ratio,
                 differ ? "TRAVEL TIMES DIFFER" : "same travel times");
    return differ ? 1 : 0;
}

} // namespace tevo::tvmroute
