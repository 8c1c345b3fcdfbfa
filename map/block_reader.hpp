// Reads one map block (the objects of one cell) from the map file.
#pragma once

#include "map/map_objects.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tevo {

class MapStream;

// An index entry as in the file: the cell key and the block's file offset.
struct IndexEntry {
    int32_t key = 0;
    uint32_t offset = 0;
};

inline constexpr std::u16string_view kMsgWrongIndexBlock =
    u"Error in .tvm - wrong index block position";
inline constexpr std::u16string_view kMsgWrongBlock = u"Error in .tvm - wrong block position";
inline constexpr std::u16string_view kMsgWrongPoi = u"Error in .tvm - wrong POI data";
inline constexpr std::u16string_view kMsgWrongPolyLine = u"Error in .tvm - wrong PolyLine data";
inline constexpr std::u16string_view kMsgWrongPolyGon = u"Error in .tvm - wrong PolyGon data";
inline constexpr std::u16string_view kMsgCaption = u"Error";

// Reads the block of the entry. On a bad block shows the matching message box
// ("Error in .tvm - ...", caption "Error") and returns null. Offset 0 would
// be the file header, never a block, and is a wrong block position.
std::unique_ptr<cBlockObjects> readBlock(MapStream& stream, const IndexEntry& entry);

// Decodes the record data of a block (after its 40-byte header) into `block`.
// Every record, its points and its name must lie within the `size` bytes.
// Returns an empty text on success, else the message of the first bad record.
std::u16string_view decodeRecords(const uint8_t* data, std::size_t size, uint32_t pois,
                                  uint32_t polylines, uint32_t polygons, cBlockObjects& block);

} // namespace tevo
