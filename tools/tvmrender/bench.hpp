// Frame times along a fixed flight over the map's densest part, per mode,
// and the resident memory while the view pans across the whole map.
#pragma once

#include "tools/tvmrender/frames.hpp"

namespace tevo {

int runBench(RenderSession& session);

} // namespace tevo
