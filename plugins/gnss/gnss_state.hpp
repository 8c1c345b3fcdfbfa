// The receiver state behind the exports: the line being received, the
// current fix, the satellites each system reported and the table built from
// them.
#pragma once

#include "plugin-api/plugin_api.hpp"
#include "plugins/gnss/sentence.hpp"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tevo::gnss {

// NMEA allows 82 characters; longer lines are noise and are skipped whole.
inline constexpr std::size_t kLongestLine = 255;
// Satellites kept per system and signal; a cycle lists far fewer.
inline constexpr std::size_t kSatellitesPerSource = 64;
// Lists and used sets older than this many epochs no longer count.
inline constexpr uint32_t kStaleEpochs = 3;

// The satellites in view that one system reported on one signal, from its
// last complete cycle of GSV sentences.
struct SkySource {
    Talker system = Talker::Gps;
    int32_t signal = 0;                  // 0 when the sentences carry no signal id
    std::vector<SatelliteInfo> building; // the cycle being received
    int32_t nextNumber = 0;              // sentence expected next; 0: none
    int32_t total = 0;
    std::vector<SatelliteInfo> complete; // the last complete cycle
    uint32_t epoch = 0;                  // when complete was filled
    bool seen = false;                   // complete holds a cycle
};

// The satellites that one system's GSA said are used in the fix.
struct UsedSource {
    Talker system = Talker::Gps;
    std::vector<uint8_t> numbers; // table numbers
    uint32_t epoch = 0;
};

// The sentences that carry a position, from the least to the best: RMC has
// position, time, date and speed; GNS and GGA position, time and altitude.
enum class PositionKind : uint8_t { None, Gga, Gns, Rmc };

struct GnssState {
    GpsData current{};
    std::atomic<bool> positionUpdated{false};
    std::atomic<bool> satellitesUpdated{false};
    std::array<SatelliteInfo, kSatelliteSlots> satellites{};
    int32_t satelliteCount = 0;

    // Line assembly.
    std::string line;
    bool skippingLine = false; // the current line grew too long

    // Epochs: a new time in a position sentence begins one.
    uint32_t epoch = 0;
    std::string lastTime;

    // The fix mode of the GSA sentences of this epoch (the best of them).
    uint32_t modeEpoch = 0;
    int32_t bestMode = 0;

    // The sentence that gives the position: the best kind the receiver has
    // sent in the last kStaleEpochs epochs. Receivers send the same fix in
    // several sentences, which may differ in their last digit and would
    // announce every fix twice.
    PositionKind positionFrom = PositionKind::None;
    uint32_t positionFromEpoch = 0; // when positionFrom was last sent
    // The kind and epoch of the last announced position: when a better kind
    // appears, it does not announce the epoch that a lesser one announced.
    PositionKind announcedKind = PositionKind::None;
    uint32_t announcedEpoch = 0;
    // The date of the last RMC or ZDA, for positions from sentences without one.
    uint8_t day = 0;
    uint8_t month = 0;
    int32_t year = 0;

    std::vector<SkySource> sky;
    std::vector<UsedSource> used;

    // Guards current and satellites, so that the getters on the main thread
    // never copy a record half written by the worker.
    std::mutex lock;
};

} // namespace tevo::gnss
