// Frame times along a fixed flight over the map's densest part, per mode,
// and the resident memory while the view pans across the whole map.
#pragma once

#include "tools/tvmrender/frames.hpp"

namespace tevo {

// With `routeMiddle` the flight circles the route's middle instead, and each
// frame is drawn without and with the route the view holds.
int runBench(RenderSession& session, const float* routeMiddle);

} // namespace tevo
