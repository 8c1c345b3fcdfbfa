#include "tools/tvmc/road_graph/arc_lists.hpp"

#include <algorithm>
#include <numeric>

namespace tevo::tvmc {

void ArcLists::place(uint32_t list, uint32_t begin, uint32_t size, uint32_t room) {
    Place& p = places_[list];
    p.begin = begin;
    if (room < kWide) {
        if (p.room == kWide) wide_.erase(list);
        p.size = static_cast<uint16_t>(size);
        p.room = static_cast<uint16_t>(room);
        return;
    }
    p.size = 0;
    p.room = kWide;
    wide_[list] = {size, room};
}

void ArcLists::push(uint32_t list, const ContractionArc& arc) {
    uint32_t begin = places_[list].begin, size = this->size(list), room = this->room(list);
    if (size == room) {
        const uint32_t grown = std::max(4u, 2 * room);
        if (begin + room == arcs_.size() && room > 0) {
            arcs_.resize(arcs_.size() + (grown - room));
        } else {
            if (holes_ > arcs_.size() / 4) {
                compact();
                return push(list, arc);
            }
            const auto moved = static_cast<uint32_t>(arcs_.size());
            arcs_.resize(arcs_.size() + grown);
            std::copy_n(arcs_.begin() + begin, size, arcs_.begin() + moved);
            holes_ += room;
            begin = moved;
        }
        room = grown;
    }
    arcs_[begin + size] = arc;
    place(list, begin, size + 1, room);
}

void ArcLists::lay(const std::vector<uint32_t>& rooms, uint32_t spare) {
    uint64_t total = 0;
    for (std::size_t l = 0; l < rooms.size() && l < places_.size(); ++l) {
        place(static_cast<uint32_t>(l), static_cast<uint32_t>(total), 0, rooms[l]);
        total += rooms[l];
    }
    arcs_.reserve(total * (1 + spare));
    arcs_.resize(total);
}

void ArcLists::release(uint32_t list) {
    holes_ += room(list);
    place(list, 0, 0, 0);
}

// Moves every list down over the holes, in the order they lie, leaving each
// a little room: no second array is needed.
void ArcLists::compact() {
    // Each list with room as its place and number in one key, so that the
    // sort compares plain integers instead of looking the places up.
    std::vector<uint64_t> order;
    order.reserve(static_cast<std::size_t>(
        std::count_if(places_.begin(), places_.end(), [](const Place& p) { return p.room > 0; })));
    for (uint32_t l = 0; l < places_.size(); ++l)
        if (places_[l].room > 0) order.push_back(uint64_t{places_[l].begin} << 32 | l);
    std::sort(order.begin(), order.end());
    uint32_t end = 0;
    for (const uint64_t key : order) {
        const auto l = static_cast<uint32_t>(key);
        const uint32_t begin = places_[l].begin, size = this->size(l);
        const uint32_t room = std::min(this->room(l), size + size / 2 + 1);
        std::copy(arcs_.begin() + begin, arcs_.begin() + begin + size, arcs_.begin() + end);
        place(l, end, size, room);
        end += room;
    }
    arcs_.resize(end);
    holes_ = 0;
}

} // namespace tevo::tvmc
