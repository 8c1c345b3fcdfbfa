// The progress line of a long compile names the pass out of all of them and
// counts what that pass works through: the road graph's contraction, which
// takes longer than the map on a large input, counts junctions.
#include "tools/tvmc/progress.hpp"

#include <gtest/gtest.h>

namespace tevo::tvmc {
namespace {

TEST(ProgressLine, NamesThePassAndCountsItsOwnUnit) {
    struct Case {
        int passes, number;
        const char* name;
        const char* unit;
        uint64_t done;
        double fraction;
        const char* expected;
    };
    const Case cases[] = {
        {3, 1, "nodes and relations", "objects", 2500000, 0.5,
         "tvmc: pass 1 of 3, nodes and relations, 50%, 2.50 Mobjects, 1.25 Mobjects/s"},
        {4, 3, "cells", "objects", 12, -1, "tvmc: pass 3 of 4, cells, 12 objects, 6 objects/s"},
        {4, 4, "road graph", "junctions", 150000, 0.75,
         "tvmc: pass 4 of 4, road graph, 75%, 150.0 kjunctions, 75.0 kjunctions/s"},
    };
    for (const Case& c : cases) {
        ProgressLine line(nullptr);
        line.setPassCount(c.passes);
        line.startPass(c.name, c.number, c.unit);
        line.update(c.done, c.fraction);
        EXPECT_EQ(line.text(2.0).rfind(c.expected, 0), 0u) << line.text(2.0);
    }
}

} // namespace
} // namespace tevo::tvmc
