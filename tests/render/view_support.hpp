// A map view on an off-screen surface of the program folder's size, and maps
// of several levels built in code.
#pragma once

#include "map/tvm_writer.hpp"
#include "render/raster_support.hpp"
#include "render/view/map_view.hpp"
#include "render/view_access.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>

namespace tevo::test {

inline constexpr int kViewWidth = 480;
inline constexpr int kViewHeight = 640;

inline std::string distFolder() {
    return std::string(TEVO_DIST_DIR) + "/";
}

// A view over a 32-bit surface with the style and levels of build/dist; no
// map opened. Scales as a map at 55 degrees north gives them, zoom 1.
struct ViewFixture : ::testing::Test {
    SurfacePtr surface = makeSurface(kViewWidth, kViewHeight, 32);
    std::unique_ptr<MapView> view = std::make_unique<MapView>(surface.get(), distFolder());
    ViewState& state = MapViewAccess::state(*view);

    void SetUp() override {
        state.kx = 0.3422f;
        state.ky = 0.5960f;
        state.freePoint = {degreesToUnits(37.6f), degreesToUnits(55.75f), kGroundHeight};
    }
};

// The background colour of the view's style as a pixel of `surface`.
inline uint32_t backgroundPixel(const MapView& view, const SDL_Surface* surface) {
    const auto c = static_cast<uint32_t>(view.style().areaStyle(kBackgroundAreaType).colour);
    return SDL_MapRGB(surface->format, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline std::string tempMapPath(const std::string& name) {
    return ::testing::TempDir() + "tevo-view-" + std::to_string(::getpid()) + "-" + name;
}

inline int32_t unitsOf(double degrees) {
    return static_cast<int32_t>(degrees * 67108864.0 / 360.0);
}

// One cell of every given size around (lon, lat) holding a square area of
// `side` degrees centred there, and a named street across it. The coarsest
// index block comes last, so it gives the map's start cell.
inline std::vector<TvmIndexBlock> levelsAround(double lon, double lat,
                                               std::vector<uint32_t> cellSeconds,
                                               double side = 0.002, uint16_t areaType = 0x50) {
    std::vector<TvmIndexBlock> out;
    for (uint32_t s : cellSeconds) {
        const double f = s / 3600.0;
        const int32_t n = static_cast<int32_t>(360.0 / f + 0.5);
        const int32_t col = static_cast<int32_t>(lon / f), row = static_cast<int32_t>(lat / f);
        TvmBlock b;
        b.key = row * n + col;
        const double h = side / 2;
        b.polygons.push_back({areaType,
                              {{unitsOf(lon - h), unitsOf(lat - h)},
                               {unitsOf(lon + h), unitsOf(lat - h)},
                               {unitsOf(lon + h), unitsOf(lat + h)},
                               {unitsOf(lon - h), unitsOf(lat + h)}},
                              u"Square"});
        b.polylines.push_back(
            {0x06,
             {{unitsOf(lon - 2 * h), unitsOf(lat)}, {unitsOf(lon + 2 * h), unitsOf(lat)}},
             u"Long Street"});
        TvmIndexBlock ib;
        ib.levelTag = static_cast<uint8_t>(out.size());
        ib.cellSeconds = s;
        ib.blocks.push_back(std::move(b));
        out.push_back(std::move(ib));
    }
    return out;
}

inline std::string writeMap(const std::string& name, const std::vector<TvmIndexBlock>& blocks) {
    const std::string path = tempMapPath(name);
    std::string error;
    EXPECT_TRUE(writeTvm(path, u"Test", blocks, &error)) << error;
    return path;
}

inline std::u16string wide(const std::string& s) {
    return {s.begin(), s.end()};
}

} // namespace tevo::test
