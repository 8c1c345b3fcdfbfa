// Every record back, with its key, in key order: in memory and from runs on disk.
#include "tools/tvmc/record_sort.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <random>

namespace tevo::tvmc {
namespace {

class RecordSortOrder : public testing::TestWithParam<uint64_t> {};
TEST_P(RecordSortOrder, HandsEveryRecordBackInKeyOrder) {
    std::mt19937 random(7);
    auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    std::vector<RecordKey> keys(20000); // negative ids, the largest cell, late fields that differ
    for (RecordKey& k : keys)
        k = {static_cast<uint8_t>(pick(0, 3)),
             pick(0, 3) ? pick(0, 40) : INT32_MAX,
             {pick(-30, 30), static_cast<uint32_t>(pick(0, 2)), SourceRef::Kind(pick(0, 3))},
             uint64_t(pick(0, 1)) << 40,
             static_cast<uint32_t>(pick(0, 2))};
    test::TempDir folder;
    ScratchSpace scratch(folder.path());
    RecordSort sort(scratch, GetParam());
    for (int i = 0; i < 20000; ++i) sort.add(keys[i], ObjectClass::Polyline, {7, {{i, 0}}, u"x"});
    std::vector<RecordKey> out;
    sort.drain([&](const RecordKey& key, ObjectClass, TvmObject&& record) {
        const RecordKey& own = keys.at(static_cast<std::size_t>(record.points.at(0).x));
        EXPECT_FALSE(key < own || own < key) << "a record with another's key";
        EXPECT_TRUE(out.empty() || !(key < out.back())) << "out of order at " << out.size();
        out.push_back(key);
    });
    EXPECT_EQ(out.size(), keys.size());
    EXPECT_EQ(sort.runs() > 0, GetParam() < (uint64_t{1} << 20)) << scratch.problem();
}

INSTANTIATE_TEST_SUITE_P(Shares, RecordSortOrder, testing::Values(64u << 20, 16u << 10));

} // namespace
} // namespace tevo::tvmc
