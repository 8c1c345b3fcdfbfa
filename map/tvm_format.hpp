// Byte layout of the map file: the fixed sizes, positions and magics that the
// reader (map_file_*.cpp) and the one encoder (tvm_writer.cpp) share.
#pragma once

#include "map/object_types.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tevo::tvm {

// File header.
inline constexpr std::size_t kHeaderSize = 456;
inline constexpr std::array<uint8_t, 4> kFileMagic = {0x54, 0x56, 0x4D, 0x1A};
inline constexpr std::size_t kIndexCountAt = 444;
inline constexpr std::size_t kIndexOffsetAt = 448;
inline constexpr std::size_t kNameOffsetAt = 452;

// Map name record: 4 bytes not interpreted, uint16 byte length, UTF-16LE text.
inline constexpr std::size_t kNameHeaderSize = 6;
inline constexpr std::size_t kNameLengthAt = 4;

// Index block header and entries.
inline constexpr std::size_t kIndexHeaderSize = 20;
inline constexpr std::array<uint8_t, 4> kIndexMagic = {'B', 'I', 'D', 'X'};
inline constexpr std::size_t kLevelTagAt = 4;
inline constexpr std::size_t kEntryCountAt = 8;
inline constexpr std::size_t kCellSecondsAt = 12;
inline constexpr std::size_t kEntrySize = 8;

// Block header.
inline constexpr std::size_t kBlockHeaderSize = 40;
inline constexpr std::array<uint8_t, 4> kBlockMagic = {'B', 'L', 'C', 'K'};
inline constexpr std::size_t kPoiCountAt = 24;
inline constexpr std::size_t kPolylineCountAt = 28;
inline constexpr std::size_t kPolygonCountAt = 32;
inline constexpr std::size_t kDataSizeAt = 36;

// Object records: kind in the low 3 bits of byte 0, type at 2, name length at 4.
inline constexpr uint8_t kKindMask = 0x07;
inline constexpr uint8_t kKindPoi = 1;
inline constexpr uint8_t kKindPolyline = 2;
inline constexpr uint8_t kKindPolygon = 3;
inline constexpr std::size_t kTypeAt = 2;
inline constexpr std::size_t kNameBytesAt = 4;
inline constexpr std::size_t kPoiHeaderSize = 16; // then the name
inline constexpr std::size_t kPoiXAt = 8;
inline constexpr std::size_t kPoiYAt = 12;
inline constexpr std::size_t kLineHeaderSize = 8; // then the points, then the name
inline constexpr std::size_t kPointCountAt = 6;
inline constexpr std::size_t kPointSize = 8;
inline constexpr std::size_t kMaxPoints = 0xFFFF;
inline constexpr std::size_t kMaxNameBytes = 0xFF;

// Polygon types filed as upper polygons (drawn after the polylines).
using types::isUpperPolygonType;

// Little-endian field access on raw bytes; callers check the bounds.
inline uint16_t readU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t readI32(const uint8_t* p) {
    return static_cast<int32_t>(readU32(p));
}

} // namespace tevo::tvm
