#include "tools/tvmc/name_index/name_store.hpp"

namespace tevo::tvmc {

// An unordered_map node: the key, the number, the link and the hash.
constexpr uint64_t kPoolNodeBytes = sizeof(std::string) + 4 + 2 * sizeof(void*);

uint32_t NamePool::add(std::string_view text) {
    const auto [at, added] =
        ids_.try_emplace(std::string(text), static_cast<uint32_t>(texts_.size()));
    if (added) {
        texts_.push_back(&at->first);
        bytes_ += kPoolNodeBytes + sizeof(void*) * 2 + (text.size() > 15 ? text.size() + 1 : 0);
    }
    return at->second;
}

uint64_t NameStore::bytes() const {
    uint64_t total = names.bytes() + points.capacity() * sizeof(NamedPoint) +
                     pieces.capacity() * sizeof(StreetPiece) +
                     placeAreas.capacity() * sizeof(PlaceArea) + addresses.bytes();
    for (const PlaceArea& a : placeAreas)
        for (const auto& r : a.rings) total += r.capacity() * sizeof(TvmPoint);
    return total;
}

} // namespace tevo::tvmc
