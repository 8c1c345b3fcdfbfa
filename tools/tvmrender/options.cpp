#include "tools/tvmrender/options.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tevo {

namespace {

// The ranges of the numbers: positions on the map's globe (longitudes west
// of Greenwich may count on to 360, as the map stores them), the view's zoom
// limits, tilts the camera can take and the window sizes the program opens.
constexpr float kWestmost = -180.0f, kEastmost = 360.0f;
constexpr float kSouthmost = -90.0f, kNorthmost = 90.0f;
constexpr float kFinestMpp = 0.1f, kCoarsestMpp = 40000.0f;
constexpr float kTurn = 360.0f;
constexpr float kSteepestTilt = 90.0f;
constexpr long kSmallestSide = 16, kLargestSide = 8192;

// A finite number within [lowest, highest], and nothing after it.
bool parseFloat(const char* text, float& out, float lowest, float highest) {
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v) || v < lowest || v > highest) return false;
    out = v;
    return true;
}

bool parseSide(std::string_view text, int32_t& out) {
    const std::string copy(text);
    char* end = nullptr;
    const long v = std::strtol(copy.c_str(), &end, 10);
    if (copy.empty() || *end != '\0' || !std::isdigit(static_cast<unsigned char>(copy[0])) ||
        v < kSmallestSide || v > kLargestSide)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool parseAt(const char* text, float& longitude, float& latitude) {
    const char* comma = std::strchr(text, ',');
    if (!comma) return false;
    const std::string first(text, comma);
    return parseFloat(first.c_str(), longitude, kWestmost, kEastmost) &&
           parseFloat(comma + 1, latitude, kSouthmost, kNorthmost);
}

// LON,LAT:LON,LAT
bool parseRoute(const char* text, float from[2], float to[2]) {
    const char* colon = std::strchr(text, ':');
    if (!colon) return false;
    const std::string first(text, colon);
    return parseAt(first.c_str(), from[0], from[1]) && parseAt(colon + 1, to[0], to[1]);
}

bool parseSize(std::string_view text, int32_t& width, int32_t& height) {
    const std::size_t x = text.find('x');
    return x != std::string_view::npos && parseSide(text.substr(0, x), width) &&
           parseSide(text.substr(x + 1), height);
}

bool fail(const char* what, const char* value) {
    std::fprintf(stderr, "tvmrender: %s: %s\n", what, value ? value : "(missing)");
    printUsage();
    return false;
}

} // namespace

void printUsage() {
    std::fprintf(stderr,
                 "usage: tvmrender FOLDER --at LON,LAT [--mpp METRES] [--mode eco|2d|3d]\n"
                 "                 [--yaw DEG] [--tilt DEG] [--size WxH] [--track FILE.plt]\n"
                 "                 [--route LON,LAT:LON,LAT] -o OUT.png\n"
                 "       tvmrender --bench FOLDER [--size WxH] [--route LON,LAT:LON,LAT]\n"
                 "--route draws the fastest route between the two positions (FOLDER/map.tvr);\n"
                 "with --bench the flight circles its middle, with and without it\n"
                 "LON -180 to 360, LAT -90 to 90, METRES 0.1 to 40000, --yaw -360 to\n"
                 "360, --tilt 0 to 90, W and H whole pixels from 16 to 8192\n");
}

bool parseOptions(int argc, char** argv, RenderOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        const auto needs = [&](const char* what) {
            if (!value) return fail(what, nullptr);
            ++i;
            return true;
        };
        if (arg == "--bench") {
            o.bench = true;
        } else if (arg == "--at") {
            if (!needs("--at")) return false;
            if (!parseAt(value, o.longitude, o.latitude)) return fail("--at", value);
            o.haveAt = true;
        } else if (arg == "--mpp") {
            if (!needs("--mpp")) return false;
            if (!parseFloat(value, o.metresPerPixel, kFinestMpp, kCoarsestMpp))
                return fail("--mpp", value);
        } else if (arg == "--mode") {
            if (!needs("--mode")) return false;
            o.mode = value;
            if (o.mode != "eco" && o.mode != "2d" && o.mode != "3d") return fail("--mode", value);
        } else if (arg == "--yaw") {
            if (!needs("--yaw") || !parseFloat(value, o.yaw, -kTurn, kTurn))
                return fail("--yaw", value);
        } else if (arg == "--tilt") {
            if (!needs("--tilt") || !parseFloat(value, o.tilt, 0, kSteepestTilt))
                return fail("--tilt", value);
        } else if (arg == "--size") {
            if (!needs("--size")) return false;
            if (!parseSize(value, o.width, o.height)) return fail("--size", value);
        } else if (arg == "--track") {
            if (!needs("--track")) return false;
            o.tracks.push_back(value);
        } else if (arg == "--route") {
            if (!needs("--route")) return false;
            if (!parseRoute(value, o.routeFrom, o.routeTo)) return fail("--route", value);
            o.haveRoute = true;
        } else if (arg == "-o") {
            if (!needs("-o")) return false;
            o.output = value;
        } else if (arg == "-h" || arg == "--help") {
            printUsage();
            std::exit(0);
        } else if (!arg.empty() && arg[0] != '-' && o.folder.empty()) {
            o.folder = std::string(arg);
        } else {
            return fail("unknown argument", argv[i]);
        }
    }
    if (o.folder.empty()) return fail("no program folder given", nullptr);
    if (o.folder.back() != '/') o.folder += '/';
    if (!o.bench && (!o.haveAt || o.output.empty()))
        return fail("a picture needs --at and -o", nullptr);
    return true;
}

} // namespace tevo
