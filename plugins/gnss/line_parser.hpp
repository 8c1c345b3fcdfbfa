// The Gnss parser as a library: bytes in, fix and satellite table out. The
// exports of Gnss.so are a thin layer over these; tests and fuzz targets call
// them directly.
#pragma once

#include "plugins/gnss/gnss_state.hpp"

#include <cstdint>
#include <string_view>

namespace tevo::gnss {

// Appends received bytes and applies every complete line (cut at LF, CRs
// dropped). Takes the state's lock for each line.
void pushBytes(GnssState& state, const uint8_t* data, int32_t length);

// Applies one line (without its LF) to the state. Lines with a wrong checksum,
// of other talkers and of other sentences change nothing.
void applyLine(GnssState& state, std::string_view line);

// True when the bytes hold the start of a sentence of a talker other than GPS
// that this library reads ("$GNRMC", "$GLGSV", ...). Keeps no state.
bool detectReceiver(const uint8_t* data, uint32_t length);

} // namespace tevo::gnss
