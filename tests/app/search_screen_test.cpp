// The distances of the search results as the list shows them.
#include "app/search_screen.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tevo {
namespace {

struct DistanceCase {
    double metres;
    std::u16string shown;
};

class Distance : public testing::TestWithParam<DistanceCase> {};

TEST_P(Distance, RoundsToTheUnitThatReadsBest) {
    EXPECT_EQ(formatDistance(GetParam().metres), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, Distance,
                         testing::Values(DistanceCase{0, u"0 м"}, DistanceCase{354, u"350 м"},
                                         DistanceCase{994, u"990 м"}, DistanceCase{995, u"1,0 км"},
                                         DistanceCase{9949, u"9,9 км"},
                                         DistanceCase{9950, u"10 км"},
                                         DistanceCase{1e12, u"40000 км"}, DistanceCase{NAN, u""},
                                         DistanceCase{-1, u""}));

} // namespace
} // namespace tevo
