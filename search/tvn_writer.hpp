// The one encoder of the name index file, used by the map compiler and by the
// tests that build indexes in code. Everything it writes reads back through
// cNameIndex.
#pragma once

#include "search/name_kind.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo::search {

struct NameEntry {
    NameKind kind = NameKind::Poi;
    uint16_t type = 0;    // the map object type it is drawn with
    int32_t x = 0, y = 0; // map units
    std::string name;     // UTF-8
    std::string town;     // UTF-8; empty when unknown
};

// Encodes the whole file. Names and towns are cut to 255 bytes on a
// character; entries whose names fold to no word are left out. Entries are
// stored sorted by kind, name, town and position, whatever their order here.
// Returns an empty string when the file would outgrow 32-bit offsets.
std::string encodeNameIndex(std::vector<NameEntry> entries);

} // namespace tevo::search
