// Name indexes written from entries in code, for the library's tests.
#pragma once

#include "map/map_units.hpp"
#include "search/tvn_writer.hpp"
#include "support/temp_dir.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace tevo::search {

inline NameEntry entry(NameKind kind, const char* name, const char* town, double lon, double lat) {
    return {kind,
            0,
            static_cast<int32_t>(std::lround(degreesToMapUnits(lon))),
            static_cast<int32_t>(std::lround(degreesToMapUnits(lat))),
            name,
            town};
}

// Writes the index of the entries as `name` in the folder; its path.
inline std::string writeIndex(const test::TempDir& folder, std::vector<NameEntry> entries,
                              const std::string& name = "map.tvn") {
    return folder.write(name, encodeNameIndex(std::move(entries)));
}

} // namespace tevo::search
