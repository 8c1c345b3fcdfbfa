// The contraction hierarchy over the road network's junctions: junctions
// are taken out one at a time, least important first, and wherever the
// fastest path between two remaining junctions led through the one taken
// out, a shortcut keeps its travel time with the roads it begins and ends
// along. Whether a path around the junction is as fast is asked for every
// road a vehicle may arrive along and leave along, since U-turns and banned
// turns make that matter. A query then only ever climbs towards more
// important junctions from both ends (route/hierarchy_search.cpp).
//
// Memory while contracting: 16 bytes per arc in the junctions' lists (each
// road twice, each shortcut twice while both its ends remain), 24 per
// shortcut made (in a scratch file beyond madeInMemory), a few bytes per
// junction; the result keeps 8 per junction and 16 per shortcut.
#pragma once

#include "tools/tvmc/road_graph/judge_team.hpp"
#include "tools/tvmc/road_graph/road_network.hpp"
#include "tools/tvmc/scratch.hpp"

#include <cstdint>
#include <functional>

namespace tevo::tvmc {

// Fills net.ranks, net.shortcutFirst and net.shortcuts; `contracted`, when
// given, is told the count of junctions taken out so far after each. The
// shortcuts made wait in `scratch` beyond madeInMemory bytes; a failure of
// the scratch space leaves the hierarchy empty: the caller asks
// scratch.failed(). The witness searches run on the caller's thread and
// `helpers` more (the same hierarchy with any number).
void contractNetwork(RoadNetwork& net, ScratchSpace& scratch, uint64_t madeInMemory,
                     const std::function<void(uint32_t)>& contracted = nullptr,
                     unsigned helpers = JudgeTeam::helpersForThisMachine());

} // namespace tevo::tvmc
