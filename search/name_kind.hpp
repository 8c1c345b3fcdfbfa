// What a name in the index names. The order is the order of the ranking:
// places before streets, streets before named areas, areas before POIs.
#pragma once

#include <cstdint>

namespace tevo::search {

enum class NameKind : uint8_t { Place = 0, Street = 1, Area = 2, Poi = 3 };
inline constexpr uint8_t kNameKindCount = 4;

// "place", "street", "area", "poi".
inline const char* kindText(NameKind kind) {
    switch (kind) {
    case NameKind::Place:
        return "place";
    case NameKind::Street:
        return "street";
    case NameKind::Area:
        return "area";
    case NameKind::Poi:
        return "poi";
    }
    return "?";
}

} // namespace tevo::search
