// Byte layout of the name index file (map.tvn, docs/search-file.md): the
// header, its sections and the variable-length numbers that the encoder
// (tvn_writer.cpp) and the reader (name_index.cpp) share.
#pragma once

#include "map/tvm_format.hpp"
#include "search/name_kind.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tevo::tvn {

inline constexpr std::array<uint8_t, 4> kMagic = {'T', 'V', 'N', 0x1A};
inline constexpr uint16_t kVersion = 1;

// Header: magic, version, header size, the three counts, the bounds of the
// entries' positions (map units), then offset and size of each section.
inline constexpr std::size_t kHeaderSize = 96;
inline constexpr std::size_t kVersionAt = 4;
inline constexpr std::size_t kHeaderSizeAt = 6;
inline constexpr std::size_t kEntryCountAt = 8;
inline constexpr std::size_t kWordCountAt = 12;
inline constexpr std::size_t kTownCountAt = 16;
inline constexpr std::size_t kBoundsAt = 20; // min x, min y, max x, max y
inline constexpr std::size_t kSectionsAt = 36;

enum Section : std::size_t {
    kEntryOffsets, // (entries + 1) uint32 offsets into kEntryRecords
    kEntryRecords, // one record an entry
    kWordTable,    // (words + 1) pairs of uint32: text offset, postings offset
    kWordTexts,    // the folded words, sorted by their bytes, without separators
    kPostings,     // per word the ascending entry numbers, delta-coded
    kTownOffsets,  // (towns + 1) uint32 offsets into kTownRecords
    kTownRecords,  // one record a town
    kSectionCount
};
inline constexpr std::size_t sectionAt(Section s) {
    return kSectionsAt + 8 * static_cast<std::size_t>(s);
}
static_assert(sectionAt(kSectionCount) <= kHeaderSize);

// Entry record: kind (1), type (2), x (4), y (4), town (varint, 0 for none,
// else town number + 1), name length (1), name (UTF-8), word count (varint),
// word numbers (varint, ascending, each after the first as the difference).
// Town record: name length (1), name, word count, word numbers as above.
inline constexpr std::size_t kEntryFixedSize = 11;
inline constexpr std::size_t kWordTableRecord = 8;
inline constexpr std::size_t kMaxNameBytes = 255;
// A name of at most 255 bytes has at most 128 words.
inline constexpr std::size_t kMaxWordsPerName = 128;

// Little-endian fields, read as the map file's are.
using tvm::readI32;
using tvm::readU16;
using tvm::readU32;

inline void putU16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
inline void putU32(std::string& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// Unsigned LEB128 of at most five bytes.
inline void putVarint(std::string& out, uint32_t v) {
    while (v >= 0x80) {
        out += static_cast<char>((v & 0x7F) | 0x80);
        v >>= 7;
    }
    out += static_cast<char>(v);
}

// Reads a varint at *p, not past `end`; false when it runs past the end or
// over 32 bits.
inline bool readVarint(const uint8_t*& p, const uint8_t* end, uint32_t& v) {
    v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (p == end) return false;
        const uint8_t b = *p++;
        if (shift == 28 && b > 0x0F) return false;
        v |= uint32_t{b & 0x7Fu} << shift;
        if (b < 0x80) return true;
    }
    return false;
}

} // namespace tevo::tvn
