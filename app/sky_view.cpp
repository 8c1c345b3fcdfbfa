// The sky view of the satellites screen: each satellite at its azimuth and
// elevation, brighter the stronger its signal.
#include "app/screen_steps.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {

// The plot's own value of pi: positions must match the drawn rings.
constexpr float kPi = 3.14f;
constexpr int32_t kZenith = 90;
// Signal ratios from 100 on are not counted for the weakest.
constexpr int32_t kSnrCeiling = 100;
constexpr int32_t kOpacityFloor = 140;
constexpr int32_t kOpacitySpan = 115;

int32_t tableRecords(const ScreenSet& screens) {
    if (screens.satelliteTable == nullptr) return 0;
    return std::clamp(screens.satelliteCount, 0, kSatelliteSlots);
}

} // namespace

SkyPoint skyPosition(const SatelliteInfo& satellite, const SkyEllipse& sky) {
    // An elevation outside 0 to 90 would put the satellite off the plot.
    const int32_t elevation = std::clamp(satellite.elevation, 0, kZenith);
    const float theta = static_cast<float>(satellite.azimuth) * kPi / 180.0f;
    const float r = static_cast<float>(kZenith - elevation);
    const float x =
        std::sin(theta) * r / kZenith * static_cast<float>(sky.a) + static_cast<float>(sky.centreX);
    const float y =
        static_cast<float>(sky.centreY) - std::cos(theta) * r / kZenith * static_cast<float>(sky.b);
    return {static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

SnrRange snrRange(const SatelliteInfo* table, int32_t count) {
    SnrRange range;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t snr = table[i].snr;
        if (snr < kSnrCeiling && snr < range.smallest) range.smallest = snr;
        if (snr > range.largest) range.largest = snr;
    }
    if (range.smallest >= range.largest) range.largest = range.smallest + 1;
    return range;
}

int32_t skyOpacity(int32_t snr, const SnrRange& range) {
    const float share = static_cast<float>(snr - range.smallest) /
                        static_cast<float>(range.largest - range.smallest);
    const int32_t opacity = static_cast<int32_t>(share * kOpacitySpan + kOpacityFloor);
    return std::clamp(opacity, 0, SDL_ALPHA_OPAQUE);
}

int32_t drawSkyView(const ScreenSet& screens) {
    const int32_t records = tableRecords(screens);
    if (records == 0) return 0;
    const SnrRange range = snrRange(screens.satelliteTable, records);
    int32_t drawn = 0;
    for (int32_t i = 0; i < records; ++i) {
        const SatelliteInfo& satellite = screens.satelliteTable[i];
        Picture* picture =
            satellite.used != 0 ? screens.activeSatellite.get() : screens.inactiveSatellite.get();
        if (picture == nullptr || !picture->loaded()) continue;
        const SkyPoint at = skyPosition(satellite, screens.sky);
        SDL_SetAlpha(picture->image.get(), SDL_SRCALPHA,
                     static_cast<uint8_t>(skyOpacity(satellite.snr, range)));
        picture->x = at.x;
        picture->y = at.y;
        if (picture->draw()) ++drawn;
    }
    return drawn;
}

} // namespace tevo
