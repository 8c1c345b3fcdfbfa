// A further output of the run sees what the map's own reading sees: every
// node, relation, way and assembled area, the ways with their nodes'
// locations, the same wherever the locations are kept.
#include "tools/tvmc/memory_budget.hpp"
#include "tools/tvmc/osm_observer.hpp"
#include "tools/tvmc/osm_reader.hpp"
#include "tools/tvmc/scratch.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace tevo::tvmc {
namespace {

const std::string kExtract = std::string(TEVO_SOURCE_DIR) + "/data/osm/moscow.osm.gz";

struct Seen : OsmObserver {
    uint64_t nodes = 0, relations = 0, ways = 0, areas = 0, finished = 0;
    uint64_t unlocated = 0; // way nodes without a location
    int64_t sum = 0;        // of the way nodes' coordinates

    void node(const osmium::Node&) override { ++nodes; }
    void relation(const osmium::Relation&) override { ++relations; }
    void way(const osmium::Way& way) override {
        ++ways;
        for (const osmium::NodeRef& ref : way.nodes()) {
            if (!ref.location().valid()) ++unlocated;
            sum += ref.location().x() + 3 * int64_t{ref.location().y()};
        }
    }
    void area(const osmium::Area&) override { ++areas; }
    bool finish(std::string*) override { return ++finished; }
};

TEST(Observer, SeesEveryObjectWithLocationsFromMemoryOrDisk) {
    test::TempDir folder;
    std::vector<Seen> runs(2);
    const LocationPlace places[] = {LocationPlace::Memory, LocationPlace::Disk};
    for (int i = 0; i < 2; ++i) {
        ScratchSpace scratch(folder.path());
        const MemoryBudget budget(kMinMemoryBound);
        ReadOptions options;
        options.features = [](std::vector<Feature>&&) {};
        options.budget = &budget;
        options.scratch = &scratch;
        options.locations = places[i];
        options.observers = {&runs[i]};
        ReadStats stats;
        std::string error;
        ASSERT_TRUE(readOsm({kExtract}, options, stats, &error)) << error;
        const Seen& seen = runs[i];
        EXPECT_EQ(stats.locationsOnDisk, places[i] == LocationPlace::Disk);
        EXPECT_EQ(seen.nodes, stats.nodes);
        EXPECT_EQ(seen.relations, stats.relations);
        EXPECT_EQ(seen.ways, stats.ways);
        EXPECT_EQ(seen.areas, stats.areas + stats.areasBroken);
        EXPECT_EQ(seen.unlocated, 0u);
        EXPECT_EQ(seen.finished, 1u);
    }
    EXPECT_GT(runs[0].areas, 0u);
    EXPECT_EQ(runs[0].sum, runs[1].sum);
}

} // namespace
} // namespace tevo::tvmc
