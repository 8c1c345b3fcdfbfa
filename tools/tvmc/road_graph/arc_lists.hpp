// The arcs of every junction while the hierarchy is built, in one array:
// three lists per junction (the arcs out to live junctions, in from them,
// and its loops), each in one piece with room to grow, so that a witness
// search reads a junction's arcs in a row instead of chasing links. A list
// that outgrows its room moves to the end of the array with twice the room;
// the holes it leaves are closed up once they make a quarter of the array
// (closing up is cheap, and the largest the array grows is the memory the
// contraction holds).
#pragma once

#include "route/base_graph.hpp"

#include <cstdint>
#include <span>
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
        const Place& p = places_[list];
        return {arcs_.data() + p.begin, p.size};
    }
    std::span<const ContractionArc> of(uint32_t list) const {
        const Place& p = places_[list];
        return {arcs_.data() + p.begin, p.size};
    }
    bool empty(uint32_t list) const { return places_[list].size == 0; }

    // Lays the lists out one after another with the room given for each,
    // and keeps `spare` times that much in reserve for their growth: address
    // space only until used, where a grown array would be copied whole.
    void lay(const std::vector<uint32_t>& rooms, uint32_t spare);

    void push(uint32_t list, const ContractionArc& arc);

    // Keeps the arcs of a list that pass `keep`, in their order.
    template <typename F> void keepIf(uint32_t list, F&& keep) {
        Place& p = places_[list];
        ContractionArc* a = arcs_.data() + p.begin;
        uint32_t kept = 0;
        for (uint32_t i = 0; i < p.size; ++i)
            if (keep(a[i])) a[kept++] = a[i];
        p.size = kept;
    }

    // Gives a list's room back: its junction is done with.
    void release(uint32_t list);

private:
    struct Place {
        uint32_t begin = 0, size = 0, room = 0;
    };
    void compact();

    uint32_t junctions_;
    std::vector<Place> places_;
    std::vector<ContractionArc> arcs_;
    uint64_t holes_ = 0;
};

} // namespace tevo::tvmc
