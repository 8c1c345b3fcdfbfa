// Object type numbers that the map compiler writes and the map reader treats
// apart: the upper polygons (buildings), which the reader files in a list of
// their own and the 3D view raises to the height of their type.
#pragma once

#include <array>
#include <cstdint>

namespace tevo::types {

inline constexpr uint16_t kShed = 6;            // garages, sheds, huts: 3 m
inline constexpr uint16_t kBlock = 8;           // barns, industry, shops: 10 m
inline constexpr uint16_t kPublicBuilding = 10; // offices, schools: 12 m
inline constexpr uint16_t kTerrace = 11;        // 9 m
inline constexpr uint16_t kApartments = 19;     // apartments, hotels: 20 m
inline constexpr uint16_t kTower = 108;         // 30 m
inline constexpr uint16_t kWorship = 109;       // churches, mosques: 12 m
inline constexpr uint16_t kSmallBuilding = 110; // untyped, under 200 m²: 5 m
inline constexpr uint16_t kHouse = 111;         // 5 m

inline constexpr std::array<uint16_t, 9> kUpperPolygonTypes = {
    kShed,  kBlock,   kPublicBuilding, kTerrace, kApartments,
    kTower, kWorship, kSmallBuilding,  kHouse};

inline constexpr bool isUpperPolygonType(uint32_t type) {
    for (uint16_t t : kUpperPolygonTypes)
        if (t == type) return true;
    return false;
}

} // namespace tevo::types
