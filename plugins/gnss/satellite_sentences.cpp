// The sentences about satellites: GSA (fix mode, dilutions of precision and
// the satellites used) and GSV (the satellites in view), from every system.
#include "plugins/gnss/fields.hpp"
#include "plugins/gnss/handlers.hpp"
#include "plugins/gnss/satellite_numbers.hpp"

#include <algorithm>

namespace tevo::gnss {

namespace {

constexpr int kGsaFirstSatellite = 2;
constexpr int kGsaSatellites = 12;
constexpr int kGsaSystemId = 17;
constexpr int kGsvHeader = 3;
constexpr int kGsvGroup = 4;
// Signal ids are one hex digit.
constexpr int32_t kLastSignal = 15;

int32_t intOr0(std::string_view field) {
    return readInt(field).value_or(0);
}

// The fix mode: the best that any GSA of this epoch reported.
void storeMode(GnssState& state, std::string_view field) {
    std::optional<int32_t> mode = readInt(field);
    if (!mode || *mode < 1 || *mode > 3) return;
    if (state.modeEpoch != state.epoch || state.bestMode == 0) {
        state.bestMode = *mode;
        state.modeEpoch = state.epoch;
    } else {
        state.bestMode = std::max(state.bestMode, *mode);
    }
    // Mode 1 is "no fix"; the position stays until a new one replaces it.
    state.current.fix =
        state.bestMode == 1 ? uint8_t{FixNone} : static_cast<uint8_t>(state.bestMode);
}

void storeDops(GpsData& current, const Sentence& s) {
    float* dops[] = {&current.pdop, &current.hdop, &current.vdop};
    int field = kGsaFirstSatellite + kGsaSatellites;
    for (float* dop : dops) {
        std::optional<double> value = readDecimal(s.field(field++));
        *dop = value ? static_cast<float>(*value) : 0.0f;
    }
}

UsedSource& usedSourceOf(GnssState& state, Talker system) {
    for (UsedSource& source : state.used) {
        if (source.system == system) return source;
    }
    state.used.push_back(UsedSource{system, {}, 0});
    return state.used.back();
}

SkySource& skySourceOf(GnssState& state, Talker system, int32_t signal) {
    for (SkySource& source : state.sky) {
        if (source.system == system && source.signal == signal) return source;
    }
    state.sky.push_back(SkySource{});
    state.sky.back().system = system;
    state.sky.back().signal = signal;
    return state.sky.back();
}

// The groups of a GSV sentence and its signal id: after the header, groups of
// four fields; one field more is the signal id of NMEA 4.11.
struct GsvLayout {
    int groups;
    int32_t signal;
};

GsvLayout layoutOf(const Sentence& s) {
    int rest = std::max(0, s.count - kGsvHeader);
    GsvLayout layout{rest / kGsvGroup, 0};
    if (rest % kGsvGroup == 1) {
        int32_t signal = readInt(s.field(s.count - 1)).value_or(0);
        if (signal >= 0 && signal <= kLastSignal) layout.signal = signal;
    } else if (rest % kGsvGroup > 1) {
        ++layout.groups; // a cut last group: its missing fields read as 0
    }
    return layout;
}

void appendGroups(SkySource& source, Talker talker, const Sentence& s, int groups) {
    for (int g = 0; g < groups; ++g) {
        int first = kGsvHeader + g * kGsvGroup;
        uint8_t prn = tableNumber(talker, intOr0(s.field(first)));
        if (prn == 0 || source.building.size() >= kSatellitesPerSource) continue;
        SatelliteInfo info{};
        info.prn = prn;
        info.elevation = withinOr0(intOr0(s.field(first + 1)), kLowestElevation, kZenithElevation);
        info.azimuth = withinOr0(intOr0(s.field(first + 2)), 0, kLastAzimuth);
        info.snr = withinOr0(intOr0(s.field(first + 3)), 0, kStrongestSnr);
        source.building.push_back(info);
    }
}

} // namespace

void applyGsa(GnssState& state, const Sentence& s) {
    storeMode(state, s.field(1));
    storeDops(state.current, s);
    // NMEA 4.11 names the system; before, the talker does, and the numbers
    // of a combined or unnamed talker tell it.
    std::optional<Talker> named = systemOfId(intOr0(s.field(kGsaSystemId)));
    Talker numbering = named.value_or(s.talker);
    std::vector<uint8_t> numbers;
    for (int i = 0; i < kGsaSatellites; ++i) {
        uint8_t prn = tableNumber(numbering, intOr0(s.field(kGsaFirstSatellite + i)));
        if (prn != 0) numbers.push_back(prn);
    }
    Talker system = named.value_or(s.talker);
    const bool anySystem = system == Talker::Mixed || system == Talker::Other;
    if (anySystem && !numbers.empty()) system = systemOf(numbers.front());
    UsedSource& source = usedSourceOf(state, system);
    source.numbers = std::move(numbers);
    source.epoch = state.epoch;
}

void applyGsv(GnssState& state, const Sentence& s) {
    std::optional<int32_t> total = readInt(s.field(0));
    std::optional<int32_t> number = readInt(s.field(1));
    if (!total || !number || *number < 1 || *number > *total) return;
    GsvLayout layout = layoutOf(s);
    SkySource& source = skySourceOf(state, s.talker, layout.signal);
    // 1. The first sentence begins a cycle.
    if (*number == 1) {
        source.building.clear();
        source.total = *total;
        source.nextNumber = 1;
    }
    // A lost or repeated sentence spoils the cycle: wait for the next one.
    if (*number != source.nextNumber || *total != source.total) {
        source.nextNumber = 0;
        return;
    }
    // 2. Its satellites.
    appendGroups(source, s.talker, s, layout.groups);
    // 3. The last sentence completes it.
    if (*number < *total) {
        source.nextNumber = *number + 1;
        return;
    }
    source.complete = source.building;
    source.epoch = state.epoch;
    source.seen = true;
    source.nextNumber = 0;
    publishSky(state);
}

} // namespace tevo::gnss
