// tvmrender refuses numbers it cannot draw with, with its message and exit
// code 2 (two lines that grep counts), before it opens anything.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(TvmrenderOptions, NumbersItCannotDrawWithAreRefused) {
    for (const char* refused : {"--at inf,inf", "--at 1000,1000", "--mpp inf", "--mpp 0",
                                "--size 16.9x16.9", "--yaw inf", "--tilt inf", "--tilt 91"}) {
        const std::string run = "(" + std::string(TEVO_BIN_DIR) + "/tvmrender " + TEVO_DIST_DIR +
                                " " + refused +
                                " --at 37.6,55.7 -o /nonexistent.png 2>&1; echo $?)";
        const std::string check = run + " | grep -c -e '^tvmrender: --' -e '^2$' | grep -qx 2";
        EXPECT_EQ(0, std::system(check.c_str())) << refused;
    }
}
