#include "tools/tvmc/road_graph/arc_lists.hpp"

#include <algorithm>
#include <numeric>

namespace tevo::tvmc {

void ArcLists::push(uint32_t list, const ContractionArc& arc) {
    Place& p = places_[list];
    if (p.size == p.room) {
        const uint32_t room = std::max(4u, 2 * p.room);
        if (p.begin + p.room == arcs_.size() && p.room > 0) {
            arcs_.resize(arcs_.size() + (room - p.room));
        } else {
            if (holes_ > arcs_.size() / 4) {
                compact();
                return push(list, arc);
            }
            const auto begin = static_cast<uint32_t>(arcs_.size());
            arcs_.resize(arcs_.size() + room);
            std::copy_n(arcs_.begin() + p.begin, p.size, arcs_.begin() + begin);
            holes_ += p.room;
            p.begin = begin;
        }
        p.room = room;
    }
    arcs_[p.begin + p.size++] = arc;
}

void ArcLists::lay(const std::vector<uint32_t>& rooms, uint32_t spare) {
    uint64_t total = 0;
    for (std::size_t l = 0; l < rooms.size() && l < places_.size(); ++l) {
        places_[l] = {static_cast<uint32_t>(total), 0, rooms[l]};
        total += rooms[l];
    }
    arcs_.reserve(total * (1 + spare));
    arcs_.resize(total);
}

void ArcLists::release(uint32_t list) {
    Place& p = places_[list];
    holes_ += p.room;
    p = Place{};
}

// Moves every list down over the holes, in the order they lie, leaving each
// a little room: no second array is needed.
void ArcLists::compact() {
    std::vector<uint32_t> order;
    order.reserve(static_cast<std::size_t>(
        std::count_if(places_.begin(), places_.end(), [](const Place& p) { return p.room > 0; })));
    for (uint32_t l = 0; l < places_.size(); ++l)
        if (places_[l].room > 0) order.push_back(l);
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return places_[a].begin < places_[b].begin; });
    uint32_t end = 0;
    for (uint32_t l : order) {
        Place& p = places_[l];
        const uint32_t room = std::min(p.room, p.size + p.size / 2 + 1);
        std::copy(arcs_.begin() + p.begin, arcs_.begin() + p.begin + p.size, arcs_.begin() + end);
        p.begin = end;
        p.room = room;
        end += room;
    }
    arcs_.resize(end);
    holes_ = 0;
}

} // namespace tevo::tvmc
