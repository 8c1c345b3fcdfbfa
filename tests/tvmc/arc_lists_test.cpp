// The contraction's arc lists against plain vectors: lists that grow, shrink,
// move and are closed up, one of them past the 65,535 arcs that a list's
// place holds in itself, and back under it.
#include "tools/tvmc/road_graph/arc_lists.hpp"

#include <gtest/gtest.h>

#include <random>

namespace tevo::tvmc {
namespace {

TEST(ArcLists, HoldWhatPlainVectorsHoldThroughGrowthReleaseAndCompaction) {
    constexpr uint32_t kJunctions = 40;
    ArcLists lists(kJunctions);
    std::vector<std::vector<ContractionArc>> model(3 * kJunctions);
    std::vector<uint32_t> rooms(model.size(), 1);
    rooms[5] = 70000; // laid out wide from the start
    lists.lay(rooms, 1);
    std::mt19937 random(11);
    uint32_t serial = 0;
    auto push = [&](uint32_t list) {
        const ContractionArc arc{serial % kJunctions, serial, serial, serial};
        ++serial;
        lists.push(list, arc);
        model[list].push_back(arc);
    };
    auto keepEven = [&](uint32_t list) {
        const auto even = [](const ContractionArc& a) { return a.weight % 2 == 0; };
        lists.keepIf(list, even);
        std::erase_if(model[list], [&](const ContractionArc& a) { return !even(a); });
    };
    auto same = [&](const char* when) {
        for (uint32_t l = 0; l < model.size(); ++l) {
            const auto held = lists.of(l);
            ASSERT_EQ(held.size(), model[l].size()) << when << ", list " << l;
            for (std::size_t i = 0; i < held.size(); ++i)
                ASSERT_EQ(held[i].weight, model[l][i].weight) << when << ", list " << l;
        }
    };
    // One list grows past 65,535 arcs among others that grow, move and go.
    for (int round = 0; round < 90000; ++round) {
        push(round % 4 != 0 ? 7 : 7 + random() % 100);
        if (round % 997 == 0) {
            const uint32_t gone = 20 + random() % 80;
            lists.release(gone);
            model[gone].clear();
        }
    }
    same("grown");
    EXPECT_GT(lists.of(7).size(), 65535u);
    keepEven(5);
    for (int i = 0; i < 140000; ++i) push(5);
    same("the wide list laid out grown");
    // Shrunk under the narrow limit, then closed up by the next moves.
    keepEven(7);
    EXPECT_LT(lists.of(7).size(), 65535u);
    for (int i = 0; i < 200000; ++i) push(8 + random() % 60);
    same("shrunk and closed up");
    lists.release(5);
    model[5].clear();
    push(5);
    same("released and used again");
}

} // namespace
} // namespace tevo::tvmc
