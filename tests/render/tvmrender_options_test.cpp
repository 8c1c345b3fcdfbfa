// tvmrender refuses numbers it cannot draw with, with its message and exit
// code 2 (two lines that grep counts), before it opens anything; and a
// folder without the style and levels that the map needs to be drawn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

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

TEST(TvmrenderOptions, FolderWithoutStyleOrLevelsIsRefused) {
    const std::string folder = "/tmp/tvmrender-bare-" + std::to_string(::getpid());
    const std::string run = "mkdir -p " + folder + " && cp " + TEVO_DIST_DIR + "/map.tvm " +
                            folder + " && (" + TEVO_BIN_DIR + "/tvmrender " + folder +
                            " --at 37.6,55.8 -o " + folder + "/out.png 2>&1; echo $?)";
    const std::string check = run + " | grep -c -e 'levels.xml is missing' -e '^1$' | grep -qx 2";
    EXPECT_EQ(0, std::system(check.c_str()));
    EXPECT_EQ(0, std::system(("test ! -e " + folder + "/out.png && rm -r " + folder).c_str()));
}
