// Maps built in code for the map tests.
#pragma once

#include "map/map_file.hpp"
#include "map/map_units.hpp"
#include "map/tvm_writer.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tevo::test {

inline int32_t units(double degrees) {
    return static_cast<int32_t>(degreesToMapUnits(degrees));
}

// A block with one POI in the middle of cell (col, row) of a grid of f degrees.
inline TvmBlock poiCell(int32_t col, int32_t row, int32_t n, double f, uint16_t type = 0x2F) {
    TvmBlock b;
    b.key = row * n + col;
    b.pois.push_back({type, {{units((col + 0.5) * f), units((row + 0.5) * f)}}, u""});
    return b;
}

// One index block of 1-degree cells, one POI cell per (col, row).
inline TvmIndexBlock degreeCells(const std::vector<std::pair<int, int>>& cells) {
    TvmIndexBlock ib;
    ib.cellSeconds = 3600;
    for (auto [c, r] : cells) ib.blocks.push_back(poiCell(c, r, 360, 1.0));
    return ib;
}

// A file name of this test process alone: ctest runs suites side by side.
inline std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "tevo-" + std::to_string(::getpid()) + "-" + name;
}

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline std::u16string widePath(const std::string& path) {
    return {path.begin(), path.end()};
}

// Writes the bytes to a file of this name and opens it; stderr (the message
// boxes) is captured into *messages when given.
inline bool openBytes(cMapFile& map, const std::vector<uint8_t>& bytes, const std::string& name,
                      BoundsF* start = nullptr, std::string* messages = nullptr) {
    const std::string path = tempPath(name);
    if (!writeBytes(path, bytes)) return false;
    ::testing::internal::CaptureStderr();
    const bool ok = map.open(widePath(path), start);
    const std::string err = ::testing::internal::GetCapturedStderr();
    if (messages) *messages = err;
    return ok;
}

// The footprint of the axis-parallel rectangle (degrees).
struct Footprint {
    PointF p[4];
    Footprint(float x0, float y0, float x1, float y1) : p{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}} {}
    Footprint(PointF a, PointF b, PointF c, PointF d) : p{a, b, c, d} {}
};

inline std::vector<int32_t> loadedKeys(const cIndexBlock& ib) {
    std::vector<int32_t> keys;
    for (const auto& b : ib.loaded()) keys.push_back(b->key);
    std::sort(keys.begin(), keys.end());
    return keys;
}

} // namespace tevo::test
