// The table the host gets: the satellites of every system's latest cycle, at
// most 24. When more are in view, those used in the fix are kept first, then
// the strongest signals, then the highest; the kept ones stay in the order the
// receiver listed them.
#include "plugins/gnss/handlers.hpp"

#include <algorithm>
#include <numeric>

namespace tevo::gnss {

namespace {

bool fresh(uint32_t epoch, const GnssState& state) {
    return epoch + kStaleEpochs >= state.epoch;
}

// Every satellite once: a satellite reported on two signals keeps the stronger.
std::vector<SatelliteInfo> satellitesInView(const GnssState& state) {
    std::vector<SatelliteInfo> all;
    for (const SkySource& source : state.sky) {
        if (!source.seen || !fresh(source.epoch, state)) continue;
        for (const SatelliteInfo& satellite : source.complete) {
            auto same = std::find_if(all.begin(), all.end(), [&](const SatelliteInfo& s) {
                return s.prn == satellite.prn;
            });
            if (same == all.end()) {
                all.push_back(satellite);
            } else if (satellite.snr > same->snr) {
                *same = satellite;
            }
        }
    }
    return all;
}

void markUsed(std::vector<SatelliteInfo>& satellites, const GnssState& state) {
    for (SatelliteInfo& satellite : satellites) satellite.used = 0;
    for (const UsedSource& source : state.used) {
        if (!fresh(source.epoch, state)) continue;
        for (SatelliteInfo& satellite : satellites) {
            if (std::find(source.numbers.begin(), source.numbers.end(), satellite.prn) !=
                source.numbers.end()) {
                satellite.used = 1;
            }
        }
    }
}

// Indexes of the satellites to keep, in listing order.
std::vector<std::size_t> keptSatellites(const std::vector<SatelliteInfo>& satellites) {
    std::vector<std::size_t> order(satellites.size());
    std::iota(order.begin(), order.end(), 0);
    if (order.size() <= std::size_t(kSatelliteSlots)) return order;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const SatelliteInfo& x = satellites[a];
        const SatelliteInfo& y = satellites[b];
        if (x.used != y.used) return x.used > y.used;
        if (x.snr != y.snr) return x.snr > y.snr;
        return x.elevation > y.elevation;
    });
    order.resize(kSatelliteSlots);
    std::sort(order.begin(), order.end());
    return order;
}

} // namespace

void publishSky(GnssState& state) {
    std::vector<SatelliteInfo> all = satellitesInView(state);
    markUsed(all, state);
    std::vector<std::size_t> kept = keptSatellites(all);
    state.satellites = {};
    for (std::size_t i = 0; i < kept.size(); ++i) state.satellites[i] = all[kept[i]];
    state.satelliteCount = static_cast<int32_t>(kept.size());
    state.satellitesUpdated.store(true);
}

} // namespace tevo::gnss
