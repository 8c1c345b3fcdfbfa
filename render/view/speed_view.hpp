// The speed-dependent view table as the map view uses it.
#pragma once

#include "config/vsa.hpp"

namespace tevo {

using cSpeedView = cVSA;

} // namespace tevo
