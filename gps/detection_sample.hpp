// What detection reads from a source for the receiver plug-ins to judge.
//
// Each plug-in judges the first bytes the source sent after it was opened,
// as many as it asked for (PluginGetMinimumBytes), or fewer when no more came
// while it could wait: a settling time, then at most five periods of the
// time its bytes take on the line, and nothing at all when not one byte came
// within two periods. These are the waits of a port opened, left to settle
// and asked with takeBytes once per plug-in; here every open source is read
// at the same time, each once for all the plug-ins, and the reading ends as
// soon as every plug-in has its bytes.
#pragma once

#include "gps/byte_source.hpp"

#include <cstdint>
#include <vector>

namespace tevo {

struct DetectionSample {
    // The bytes each plug-in judges, in the order of its request; empty when
    // the source was silent for it.
    std::vector<std::vector<uint8_t>> bytes;

    bool answered() const;
    // The most bytes any plug-in got.
    int32_t longest() const;
};

// Reads the open sources at once until each plug-in has its sample of each.
// `wanted` holds the plug-ins' requests; `rate` paces the waits (a source
// without a line, such as gpsd, is given one). Ends early, with what has
// come, when the program is asked to end.
std::vector<DetectionSample> collectSamples(const std::vector<cByteSource*>& sources,
                                            const std::vector<int32_t>& wanted, int32_t rate,
                                            uint32_t settleMs);

} // namespace tevo
