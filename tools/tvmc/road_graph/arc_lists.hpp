// The arcs of every junction while the hierarchy is built, in one array:
// three lists per junction (the arcs out to live junctions, in from them,
// and its loops), each in one piece with room to grow, so that a witness
// search reads a junction's arcs in a row instead of chasing links. A list
// that outgrows its room moves to the end of the array with twice the room;
// the holes it leaves are closed up once they make a quarter of the array
// (closing up is cheap, and the largest the array grows is the memory the
// contraction holds). A list's place takes 8 bytes: its size and room in
// 16 bits each, and the rare list with room for 65,535 arcs or more keeps
// them aside (at millions of junctions the places are a tenth of the
// contraction's memory).
#pragma once

#include "route/base_graph.hpp"

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace tevo::tvmc {

// A road or a shortcut as one junction's list holds it.
struct ContractionArc {
    uint32_t other = 0; // the junction at the far end
    uint32_t weight = 0;
    route::NodeId first = route::kNoNode, last = route::kNoNode;
};
static_assert(sizeof(ContractionArc) == 16);

class ArcLists {
public:
    explicit ArcLists(uint32_t junctions) : junctions_(junctions), places_(3 * junctions) {}

    uint32_t outList(uint32_t j) const { return j; }
    uint32_t inList(uint32_t j) const { return junctions_ + j; }
    uint32_t loopList(uint32_t j) const { return 2 * junctions_ + j; }
    std::span<const ContractionArc> outs(uint32_t j) const { return of(outList(j)); }
    std::span<const ContractionArc> ins(uint32_t j) const { return of(inList(j)); }
    std::span<const ContractionArc> loops(uint32_t j) const { return of(loopList(j)); }

    std::span<ContractionArc> of(uint32_t list) {
        return {arcs_.data() + places_[list].begin, size(list)};
    }
    std::span<const ContractionArc> of(uint32_t list) const {
        return {arcs_.data() + places_[list].begin, size(list)};
    }
    bool empty(uint32_t list) const { return size(list) == 0; }

    // Lays the lists out one after another with the room given for each,
    // and keeps `spare` times that much in reserve for their growth: address
    // space only until used, where a grown array would be copied whole.
    void lay(const std::vector<uint32_t>& rooms, uint32_t spare);

    void push(uint32_t list, const ContractionArc& arc);

    // Keeps the arcs of a list that pass `keep`, in their order.
    template <typename F> void keepIf(uint32_t list, F&& keep) {
        ContractionArc* a = arcs_.data() + places_[list].begin;
        const uint32_t size = this->size(list);
        uint32_t kept = 0;
        for (uint32_t i = 0; i < size; ++i)
            if (keep(a[i])) a[kept++] = a[i];
        if (kept != size) place(list, places_[list].begin, kept, room(list));
    }

    // Gives a list's room back: its junction is done with.
    void release(uint32_t list);

private:
    struct Place {
        uint32_t begin = 0;
        uint16_t size = 0, room = 0; // room kWide: both kept in wide_
    };
    struct Wide {
        uint32_t size, room;
    };
    static constexpr uint16_t kWide = UINT16_MAX;
    uint32_t size(uint32_t list) const {
        const Place& p = places_[list];
        return p.room == kWide ? wide_.at(list).size : p.size;
    }
    uint32_t room(uint32_t list) const {
        const Place& p = places_[list];
        return p.room == kWide ? wide_.at(list).room : p.room;
    }
    void place(uint32_t list, uint32_t begin, uint32_t size, uint32_t room);
    void compact();

    uint32_t junctions_;
    std::vector<Place> places_;
    std::unordered_map<uint32_t, Wide> wide_;
    std::vector<ContractionArc> arcs_;
    uint64_t holes_ = 0;
};

} // namespace tevo::tvmc
