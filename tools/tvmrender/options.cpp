#include "tools/tvmrender/options.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tevo {

namespace {

bool parseFloat(const char* text, float& out) {
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end == text || *end != '\0' || !(v == v)) return false;
    out = v;
    return true;
}

bool parsePair(const char* text, char separator, float& a, float& b) {
    const char* sep = std::strchr(text, separator);
    if (!sep) return false;
    const std::string first(text, sep);
    return parseFloat(first.c_str(), a) && parseFloat(sep + 1, b);
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
                 "                 -o OUT.png\n"
                 "       tvmrender --bench FOLDER [--size WxH]\n");
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
            if (!parsePair(value, ',', o.longitude, o.latitude)) return fail("--at", value);
            o.haveAt = true;
        } else if (arg == "--mpp") {
            if (!needs("--mpp")) return false;
            if (!parseFloat(value, o.metresPerPixel) || !(o.metresPerPixel > 0))
                return fail("--mpp", value);
        } else if (arg == "--mode") {
            if (!needs("--mode")) return false;
            o.mode = value;
            if (o.mode != "eco" && o.mode != "2d" && o.mode != "3d") return fail("--mode", value);
        } else if (arg == "--yaw") {
            if (!needs("--yaw") || !parseFloat(value, o.yaw)) return fail("--yaw", value);
        } else if (arg == "--tilt") {
            if (!needs("--tilt") || !parseFloat(value, o.tilt)) return fail("--tilt", value);
        } else if (arg == "--size") {
            if (!needs("--size")) return false;
            float w = 0, h = 0;
            if (!parsePair(value, 'x', w, h) || w < 16 || h < 16 || w > 8192 || h > 8192)
                return fail("--size", value);
            o.width = static_cast<int32_t>(w);
            o.height = static_cast<int32_t>(h);
        } else if (arg == "--track") {
            if (!needs("--track")) return false;
            o.tracks.push_back(value);
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
