// Map units: the signed 32-bit coordinates of the map file, the map objects
// and the view. A full circle is 2^26 units; x is the longitude east of
// Greenwich, y the latitude north of the equator.
#pragma once

#include <cstdint>

namespace tevo {

inline constexpr int64_t kMapUnitsPerCircle = int64_t{1} << 26;
inline constexpr double kMapUnitsPerDegree = static_cast<double>(kMapUnitsPerCircle) / 360.0;
inline constexpr double kDegreesPerMapUnit = 360.0 / static_cast<double>(kMapUnitsPerCircle);
// A map unit northward on the ground, for an Earth of 40,000 km round.
inline constexpr double kMetresPerMapUnit = 40000000.0 / static_cast<double>(kMapUnitsPerCircle);

inline constexpr double mapUnitsToDegrees(double units) {
    return units * kDegreesPerMapUnit;
}

inline constexpr double degreesToMapUnits(double degrees) {
    return degrees * kMapUnitsPerDegree;
}

} // namespace tevo
