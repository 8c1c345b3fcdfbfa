// Writes the road graph file: the header with its section table, then each
// section in the order of the table (docs/route-file.md).
#pragma once

#include "tools/tvmc/road_graph/road_network.hpp"

#include <string>

namespace tevo::tvmc {

// Writes through a new file beside `path`, renamed over it when complete, as
// the map file is written: a device or a pipe at `path` is refused; on
// failure `path` is left as it was and *error says why.
bool writeRoadGraph(const std::string& path, const RoadNetwork& net,
                    const std::vector<tvr::Box>& index, std::string* error);

} // namespace tevo::tvmc
