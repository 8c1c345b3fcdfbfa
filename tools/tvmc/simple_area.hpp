// The area of a closed way whose ring is simple, built directly: the same
// area that libosmium's assembler makes of it (the way's tags, one outer
// ring that starts at its smallest location and runs counter-clockwise),
// without the assembler's sorting of segments and locations. Most closed
// ways (buildings) are such rings.
#pragma once

#include <osmium/memory/buffer.hpp>
#include <osmium/osm/way.hpp>

namespace tevo::tvmc {

// Rings of more nodes go to the assembler: the test here takes time that
// grows with the square of the nodes.
inline constexpr std::size_t kMaxSimpleRingNodes = 64;

// Adds the area to `out` and answers true when the way is closed (the same
// node first and last), has up to kMaxSimpleRingNodes valid locations and
// its ring neither touches nor crosses itself; otherwise adds nothing and
// answers false, and the assembler decides.
bool addSimpleArea(const osmium::Way& way, osmium::memory::Buffer& out);

} // namespace tevo::tvmc
