// A stage on a thread of its own: it works through the items in the order
// they came, and a failure of its work reaches the thread that hands items
// over instead of leaving it waiting for room that never comes.
#include "tools/tvmc/work_stage.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tevo::tvmc {
namespace {

TEST(WorkStage, WorksThroughEveryItemInOrder) {
    std::vector<int> seen;
    WorkStage<int> stage([&seen](int& item) { seen.push_back(item); }, 2);
    for (int i = 0; i < 1000; ++i) stage.add(int{i});
    stage.finish();
    ASSERT_EQ(seen.size(), 1000u);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
}

TEST(WorkStage, AFailureOfTheWorkReachesTheHandingThread) {
    WorkStage<int> stage(
        [](int& item) {
            if (item == 3) throw std::runtime_error("bad item");
        },
        1);
    // The stage stops at item 3; the items after it find no room and must
    // learn of the failure rather than wait.
    EXPECT_THROW(
        {
            for (int i = 0; i < 100; ++i) stage.add(int{i});
            stage.finish();
        },
        std::runtime_error);
}

} // namespace
} // namespace tevo::tvmc
