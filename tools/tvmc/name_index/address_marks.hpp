// The towns that a street's houses name: addresses (addr:street with
// addr:city) counted per street, town and cell of about a kilometre, so that
// a street without a town of its own takes the one its houses give.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <cstdint>
#include <utility>
#include <vector>

namespace tevo::tvmc {

class AddressMarks {
public:
    // One address of the street (name number) in the town (name number).
    void add(uint32_t street, uint32_t city, TvmPoint at);
    // The towns that addresses of the street in or around the box name,
    // each with how many addresses name it.
    std::vector<std::pair<uint32_t, uint32_t>> townsNear(uint32_t street, const UnitRect& box);
    uint64_t bytes() const { return marks_.capacity() * sizeof(Mark); }

private:
    struct Mark {
        uint32_t street, city;
        int32_t cx, cy;
        uint32_t count;
    };
    // Sorts and sums equal marks; done whenever the marks have doubled.
    void compact();

    std::vector<Mark> marks_;
    std::size_t compacted_ = 0;
};

} // namespace tevo::tvmc
