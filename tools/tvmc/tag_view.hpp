// An object's tags, taken out of libosmium's packed list once, for the many
// lookups by key that the type table and the name index make of one object.
// The packed list measures every key and value it passes over on each
// lookup; here each is measured once, and a lookup compares a key's first
// letter before the whole key, and a key whose first letter no tag has is
// answered without a look at the tags.
#pragma once

#include "tools/tvmc/type_table.hpp"

#include <osmium/osm/tag.hpp>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace tevo::tvmc {

class TagView {
public:
    using Pairs = std::vector<std::pair<const char*, const char*>>;

    // `pairs` is storage that the caller reuses from object to object.
    TagView(const osmium::TagList& list, Pairs& pairs) : pairs_(pairs) {
        pairs_.clear();
        for (const osmium::Tag& tag : list) {
            const char* key = tag.key();
            pairs_.emplace_back(key, key + std::strlen(key) + 1);
            letters_ |= letterBit(key);
        }
    }

    // A view of pairs already taken out (key, value).
    explicit TagView(Pairs& pairs) : pairs_(pairs) {
        for (const auto& [key, value] : pairs_) letters_ |= letterBit(key);
    }

    // The tags in their order, for a reader that walks them all.
    const Pairs& pairs() const { return pairs_; }

    // The value of the first tag of this key, or null.
    const char* operator()(const char* key) const {
        if (!(letters_ & letterBit(key))) return nullptr;
        for (const auto& [k, v] : pairs_)
            if (k[0] == key[0] && std::strcmp(k, key) == 0) return v;
        return nullptr;
    }

private:
    // A bit for the key's first letter (letters 64 apart share one).
    static uint64_t letterBit(const char* key) {
        return uint64_t{1} << (static_cast<unsigned char>(key[0]) & 63);
    }

    Pairs& pairs_;
    uint64_t letters_ = 0; // of every key's first letter
};

} // namespace tevo::tvmc
