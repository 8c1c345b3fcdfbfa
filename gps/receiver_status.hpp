// The receiver's state as the screens show it: where positions come from,
// whether they still come, and when the last fix came.
#pragma once

#include <cstdint>
#include <string>

namespace tevo {

enum class ReceiverLink : uint8_t {
    None,      // no receiver: none found, or a demonstration drive
    Searching, // detection or the configured port is being tried
    Open,      // bytes arrive from the source
    Lost,      // the source went away, or sent nothing for kSilentMs
    Reopening, // opened again after it went away; no bytes yet
};

struct ReceiverStatus {
    // Bytes missing for this long make an open receiver lost: receivers
    // send at least once a second.
    static constexpr uint32_t kSilentMs = 3000;
    // How often a source that went away is opened again.
    static constexpr uint32_t kReopenMs = 1000;

    ReceiverLink link = ReceiverLink::None;
    std::u16string source;    // "COM3 at 4800 bps", "gpsd at localhost:2947"; empty while none
    bool fixSeen = false;     // a record with a fix came since the start
    uint32_t lastFixTick = 0; // ticks() when it came
};

} // namespace tevo
