// tvmrender refuses numbers it cannot draw with (infinities, places off the
// globe, zooms and tilts beyond the view's, sizes that are no whole pixels)
// with its usage, before it opens anything.
#include "support/process.hpp"

#include <gtest/gtest.h>

namespace tevo::test {
namespace {

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedOption : public ::testing::TestWithParam<OptionCase> {};

TEST_P(RefusedOption, EndsWithTheUsage) {
    std::vector<std::string> argv = {std::string(TEVO_BIN_DIR) + "/tvmrender", TEVO_DIST_DIR};
    // The refused option comes first: the message names it.
    for (const std::string& a : GetParam().args) argv.push_back(a);
    argv.insert(argv.end(), {"-o", "/nonexistent/x.png"});
    ChildProcess tvmrender(argv);
    EXPECT_EQ(2, tvmrender.wait(30000));
    EXPECT_NE(tvmrender.errors().find("tvmrender: " + GetParam().args.at(0) + ": "),
              std::string::npos)
        << tvmrender.errors();
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, RefusedOption,
    ::testing::Values(OptionCase{"InfinitePlace", {"--at", "inf,inf"}},
                      OptionCase{"PlaceOffTheGlobe", {"--at", "1000,1000"}},
                      OptionCase{"InfiniteZoom", {"--mpp", "inf", "--at", "37.6,55.7"}},
                      OptionCase{"NoZoom", {"--mpp", "0", "--at", "37.6,55.7"}},
                      OptionCase{"PartPixels", {"--size", "16.9x16.9", "--at", "37.6,55.7"}},
                      OptionCase{"InfiniteYaw", {"--yaw", "inf", "--at", "37.6,55.7"}},
                      OptionCase{"InfiniteTilt", {"--tilt", "inf", "--at", "37.6,55.7"}},
                      OptionCase{"TiltPastVertical", {"--tilt", "91", "--at", "37.6,55.7"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
