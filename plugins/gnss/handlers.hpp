// One handler per sentence type; applyLine picks them from a table.
#pragma once

#include "plugins/gnss/gnss_state.hpp"
#include "plugins/gnss/sentence.hpp"

namespace tevo::gnss {

void applyRmc(GnssState& state, const Sentence& sentence);
void applyGga(GnssState& state, const Sentence& sentence);
void applyGns(GnssState& state, const Sentence& sentence);
void applyVtg(GnssState& state, const Sentence& sentence);
void applyZda(GnssState& state, const Sentence& sentence);
void applyGsa(GnssState& state, const Sentence& sentence);
void applyGsv(GnssState& state, const Sentence& sentence);

// A position sentence's time field: a time other than the last one seen
// begins a new epoch.
void noteEpoch(GnssState& state, std::string_view timeField);

// Builds the satellite table from every system's latest cycle and announces it.
void publishSky(GnssState& state);

} // namespace tevo::gnss
