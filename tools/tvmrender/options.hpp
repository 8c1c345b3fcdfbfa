// The command line of tvmrender.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tevo {

struct RenderOptions {
    std::string folder; // ends with '/'
    bool bench = false;
    bool haveAt = false;
    float longitude = 0, latitude = 0;
    float metresPerPixel = 2.0f;
    std::string mode = "3d"; // eco, 2d or 3d
    float yaw = 0;
    float tilt = 60;
    int32_t width = 0, height = 0;   // 0: the layout's window
    std::vector<std::string> tracks; // .plt files drawn over the map
    bool haveRoute = false;          // --route: the fastest route drawn, and timed
    float routeFrom[2]{}, routeTo[2]{};
    std::string output;
};

// Parses argv; on a mistake prints it with the usage to standard error and
// returns false.
bool parseOptions(int argc, char** argv, RenderOptions& out);
void printUsage();

} // namespace tevo
