// The contraction's arc lists against plain vectors while lists grow, move, go and are closed up:
// list 0 past the 65,535 arcs a place holds in itself and back, list 1 laid out that large.
#include "tools/tvmc/road_graph/arc_lists.hpp"

#include <gtest/gtest.h>
#include <random>

namespace tevo::tvmc {

TEST(ArcLists, HoldWhatPlainVectorsHold) {
    ArcLists lists(4);
    std::vector<std::vector<uint32_t>> model(12);
    std::vector<uint32_t> rooms(model.size(), 1);
    rooms[1] = 70000;
    lists.lay(rooms, 1);
    std::mt19937 random(11);
    for (uint32_t i = 1; i <= 400000; ++i) {
        const uint32_t list = i % 3 != 0 ? 0 : 1 + random() % 11;
        lists.push(list, {list, i, i, i});
        model[list].push_back(i);
        if (i % 4999 == 0) {
            const uint32_t gone = 2 + random() % 10;
            lists.release(gone);
            model[gone].clear();
        }
        if (i == 200000) {
            EXPECT_GT(lists.of(0).size(), 65535u);
            lists.keepIf(0, [](const ContractionArc& a) { return a.weight % 4 == 0; });
            std::erase_if(model[0], [](uint32_t w) { return w % 4 != 0; });
        }
        if (i % 100000 != 0) continue;
        for (uint32_t l = 0; l < model.size(); ++l) {
            std::vector<uint32_t> held;
            for (const ContractionArc& a : lists.of(l)) held.push_back(a.weight);
            ASSERT_EQ(held, model[l]) << "list " << l << " after " << i << " arcs";
        }
    }
}

} // namespace tevo::tvmc
