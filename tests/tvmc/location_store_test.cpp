// The node locations between the passes: every stored node found again,
// wherever the store keeps them and in whatever order they came, and of two
// nodes with one id the later one.
#include "tools/tvmc/location_store.hpp"
#include "tools/tvmc/memory_budget.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tevo::tvmc {
namespace {

struct StoreCase {
    const char* what;
    uint64_t memoryShare; // 0: on disk from the start
    bool shuffled;
    bool onDisk; // at the end
};

class LocationStoreCases : public ::testing::TestWithParam<StoreCase> {};

TEST_P(LocationStoreCases, FindsEveryNodeAndTheLaterOfTwo) {
    const StoreCase& c = GetParam();
    test::TempDir folder;
    ScratchSpace scratch(folder.path());
    const MemoryBudget budget(kMinMemoryBound); // loads of a few thousand nodes
    LocationStore store(scratch, budget, c.memoryShare);
    // Ids far apart and close together, negative ones, and far more than
    // one load, so that loads are sorted into one another.
    std::vector<int64_t> ids;
    for (int64_t i = -500; i < 40000; ++i) ids.push_back(i % 7 == 0 ? i * 1000003 : i);
    ids.insert(ids.end(), {INT64_MIN, INT64_MAX}); // more apart than int64 holds
    if (c.shuffled) std::shuffle(ids.begin(), ids.end(), std::mt19937(7));
    const auto locationOf = [](int64_t id, int copy) {
        return NodeLocation{static_cast<int32_t>(id % 1800000000) + copy,
                            static_cast<int32_t>(-(id % 900000000))};
    };
    for (int64_t id : ids) store.set(id, locationOf(id, 0));
    for (std::size_t i = 0; i < ids.size(); i += 97) store.set(ids[i], locationOf(ids[i], 1));
    store.seal();
    ASSERT_FALSE(scratch.failed()) << scratch.problem();
    EXPECT_EQ(store.onDisk(), c.onDisk);
    EXPECT_EQ(store.nodes(), ids.size());
    std::vector<bool> again(ids.size(), false);
    for (std::size_t i = 0; i < ids.size(); i += 97) again[i] = true;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        NodeLocation found;
        ASSERT_TRUE(store.get(ids[i], found)) << ids[i];
        const NodeLocation want = locationOf(ids[i], again[i] ? 1 : 0);
        ASSERT_EQ(found.x, want.x) << ids[i];
        ASSERT_EQ(found.y, want.y) << ids[i];
    }
    NodeLocation none;
    for (int64_t missing : {int64_t{-1000000}, int64_t{40001}, int64_t{7 * 1000003 + 1}})
        EXPECT_FALSE(store.get(missing, none)) << missing;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocationStoreCases,
    ::testing::Values(StoreCase{"in_order_in_memory", UINT64_MAX, false, false},
                      StoreCase{"in_order_on_disk", 0, false, true},
                      StoreCase{"shuffled_in_memory", UINT64_MAX, true, false},
                      StoreCase{"shuffled_on_disk", 0, true, true},
                      StoreCase{"shuffled_moving_to_disk", 64 * 1024, true, true}),
    [](const auto& info) { return std::string(info.param.what); });

} // namespace
} // namespace tevo::tvmc
