// What the screens say of the receiver and its fix: the tokens @GPSSTATE@
// ("no receiver", "GPS searching", "GPS no fix", "GPS 2D", "GPS 3D",
// "GPS lost", "demo"),
// @FIXAGE@ (how long ago the fix was last known good, once it is not) and
// @PAUSED@ (the paused demonstration drive), and whether the position shown
// is stale. A receiver's fix is live while the receiver is open and its last
// record had a fix: a receiver that stands still announces no new position,
// yet its fix holds; one that goes away or falls silent for
// ReceiverStatus::kSilentMs is lost. Any other receiver position (none yet,
// the stored one of the last run, a lost one) is stale: the pointer turns
// grey and the menu's values are marked as old.
#pragma once

#include "app/app_state.hpp"
#include "gps/receiver_status.hpp"

#include <string>

namespace tevo {

struct FixReport {
    std::u16string state;
    std::u16string age;
    std::u16string paused;
    bool live = false;  // a receiver's fix holds now
    bool stale = false; // the position shown is not the vehicle's now
};

// Where positions come from, the fix of the last record read, and when the
// fix was last live (valid only once it was).
struct FixSource {
    enum Kind { Receiver, Demo, PausedDemo } kind = Receiver;
    uint8_t lastRecordFix = FixNone; // a FixStatus, as records carry it
    bool wasLive = false;
    uint32_t lastLiveTick = 0;
};

FixReport describeFix(const ReceiverStatus& status, const FixSource& source, uint32_t now);

// "12 с", "3 мин", "2 ч": the age of a fix in the largest whole unit.
std::u16string formatFixAge(uint32_t ms);

// The report into the status texts and the view, once a main-loop pass.
// The screen is drawn again when what it shows changed: the state, the
// pointer, or the age of a stale fix.
void updateFixReport(AppState& app);

} // namespace tevo
