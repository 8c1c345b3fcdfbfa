// Every route the hierarchy finds is exactly as fast as the one a plain
// Dijkstra finds over the same graph, on thousands of random pairs of road
// positions: the repository's extracts with their one-way streets and turn
// restrictions, the generated town, Monaco when the shared data lies beside
// the repository, and a graph whose shortcuts are not in the order tvmc
// writes them (as another writer may leave them). The path handed back is
// drivable and adds up.
#include "route/route_maps.hpp"

#include "route/router.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

namespace tevo::test {
namespace {

using namespace route;

struct MapCase {
    const char* name;
    std::function<std::string()> folder;
    int pairs;
    bool grouped = true; // the shortcuts in the order tvmc writes them
};

std::string extract(const std::string& path) {
    return std::filesystem::exists(path) ? compiledFolder(path) : std::string();
}

// A copy of a compiled graph with each junction's shortcuts in reverse order.
std::string shortcutsReversed(const std::string& folder) {
    std::string file = readFile(folder + "/map.tvr");
    tvr::Header h;
    std::memcpy(&h, file.data(), sizeof h);
    const auto* first =
        reinterpret_cast<const uint32_t*>(&file[h.sections[tvr::kShortcutFirst].offset]);
    auto* shortcuts = reinterpret_cast<tvr::Shortcut*>(&file[h.sections[tvr::kShortcuts].offset]);
    for (uint64_t j = 0; j < h.sections[tvr::kJunctions].count; ++j)
        std::reverse(shortcuts + first[j], shortcuts + first[j + 1]);
    static TempDir dir;
    dir.write("map.tvr", file);
    return dir.path();
}

const MapCase kMaps[] = {
    {"moscow", [] { return extract(TEVO_SOURCE_DIR "/data/osm/moscow.osm.gz"); }, 2000},
    {"north_bayreuth", [] { return extract(TEVO_SOURCE_DIR "/data/osm/north-bayreuth.osm.gz"); },
     2000},
    {"town", townFolder, 2000},
    {"monaco", [] { return extract(TEVO_SOURCE_DIR "/data/osm/monaco.osm.gz"); }, 1000},
    {"shortcuts_in_another_order",
     [] { return shortcutsReversed(extract(TEVO_SOURCE_DIR "/data/osm/moscow.osm.gz")); }, 1000,
     false},
};

int64_t seedFor(const std::vector<Seed>& seeds, NodeId x) {
    int64_t best = kUnreached;
    for (const Seed& s : seeds)
        if (s.node == x) best = std::min(best, s.dist);
    return best;
}

// The time of a path by its own roads: what is left of the first, every
// road between, the part of the last up to the destination.
int64_t drive(const BaseGraph& g, const PathResult& p, const std::vector<Seed>& sources,
              const std::vector<Seed>& targets, const std::vector<DirectPath>& direct) {
    if (p.nodes.size() == 1) {
        for (const DirectPath& d : direct)
            if (d.node == p.nodes[0]) return d.cost;
        return -1;
    }
    int64_t total = seedFor(sources, p.nodes.front()) + seedFor(targets, p.nodes.back());
    for (std::size_t i = 1; i < p.nodes.size(); ++i) {
        if (g.head(p.nodes[i - 1]) != g.tail(p.nodes[i]) ||
            !g.turnAllowed(p.nodes[i - 1], p.nodes[i]))
            return -1;
        if (i + 1 < p.nodes.size()) total += g.cost(p.nodes[i]);
    }
    return total;
}

class ExactRoutes : public testing::TestWithParam<MapCase> {};

TEST_P(ExactRoutes, SameTimeAsDijkstraOnRandomPairs) {
    const std::string folder = GetParam().folder();
    if (folder.empty()) GTEST_SKIP() << "no extract for " << GetParam().name;
    cRoadGraph graph;
    std::string error;
    ASSERT_TRUE(graph.open(folder + "/map.tvr", &error)) << error;
    EXPECT_EQ(graph.hierarchy().grouped, GetParam().grouped);
    const BaseGraph& g = graph.base();
    HierarchySearch search(g, graph.hierarchy());
    std::mt19937_64 random(42);
    std::uniform_int_distribution<uint32_t> edge(0, graph.edgeCount() - 1);
    std::uniform_real_distribution<double> fraction(0, 1);
    std::vector<Seed> sources, targets;
    std::vector<DirectPath> direct;
    int found = 0;
    for (int i = 0; i < GetParam().pairs; ++i) {
        const RoadPosition a = positionOnEdge(graph, edge(random), fraction(random));
        const RoadPosition b = positionOnEdge(graph, edge(random), fraction(random));
        seedsBetween(g, a, b, sources, targets, direct);
        const std::optional<int64_t> reference = plainDijkstra(g, sources, targets, direct);
        const std::optional<PathResult> path = search.run(sources, targets, direct);
        ASSERT_EQ(path.has_value(), reference.has_value()) << "pair " << i;
        if (!path) continue;
        ++found;
        ASSERT_EQ(path->cost, *reference) << "pair " << i;
        ASSERT_EQ(drive(g, *path, sources, targets, direct), path->cost) << "pair " << i;
    }
    // Most positions reach each other: the comparison is not one of nothing with nothing.
    EXPECT_GT(found, GetParam().pairs * 3 / 4);
}

INSTANTIATE_TEST_SUITE_P(Maps, ExactRoutes, testing::ValuesIn(kMaps),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
