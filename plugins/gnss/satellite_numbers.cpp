#include "plugins/gnss/satellite_numbers.hpp"

#include <span>

namespace tevo::gnss {

namespace {

// Numbers [from, to] as sent become [table, table + to - from].
struct Range {
    int32_t from;
    int32_t to;
    int32_t table;
};

constexpr int32_t kGps = 1, kSbas = 33, kGlonass = 65, kGalileo = 101, kBeiDou = 141, kQzss = 211,
                  kNavic = 231;

// GPS, combined and other talkers send GPS, SBAS and GLONASS as the table has them,
// SBAS also as its own numbers 120-151, and the others in extended numbers.
constexpr Range kGpsRanges[] = {
    {1, 96, kGps}, {120, 151, kSbas}, {193, 202, kQzss}, {301, 336, kGalileo}, {401, 463, kBeiDou}};
constexpr Range kGlonassRanges[] = {{1, 32, kGlonass}, {65, 96, kGlonass}};
constexpr Range kGalileoRanges[] = {{1, 36, kGalileo}, {301, 336, kGalileo}};
constexpr Range kBeiDouRanges[] = {{1, 63, kBeiDou}, {201, 263, kBeiDou}, {401, 463, kBeiDou}};
constexpr Range kQzssRanges[] = {{1, 10, kQzss}, {193, 202, kQzss}};
constexpr Range kNavicRanges[] = {{1, 14, kNavic}};

std::span<const Range> rangesOf(Talker talker) {
    switch (talker) {
    case Talker::Gps:
    case Talker::Mixed:
    case Talker::Other:
        return kGpsRanges;
    case Talker::Glonass:
        return kGlonassRanges;
    case Talker::Galileo:
        return kGalileoRanges;
    case Talker::BeiDou:
        return kBeiDouRanges;
    case Talker::Qzss:
        return kQzssRanges;
    case Talker::Navic:
        return kNavicRanges;
    }
    return {};
}

struct System {
    int32_t first;
    int32_t last;
    Talker talker;
};

constexpr System kSystems[] = {
    {kGps, kGlonass - 1, Talker::Gps}, {kGlonass, 96, Talker::Glonass},
    {kGalileo, 136, Talker::Galileo},  {kBeiDou, 203, Talker::BeiDou},
    {kQzss, 220, Talker::Qzss},        {kNavic, 244, Talker::Navic},
};

} // namespace

uint8_t tableNumber(Talker talker, int32_t number) {
    for (const Range& range : rangesOf(talker)) {
        if (number >= range.from && number <= range.to) {
            return static_cast<uint8_t>(range.table + (number - range.from));
        }
    }
    return 0;
}

Talker systemOf(uint8_t tableNumber) {
    for (const System& system : kSystems) {
        if (tableNumber >= system.first && tableNumber <= system.last) return system.talker;
    }
    return Talker::Mixed;
}

std::optional<Talker> systemOfId(int32_t id) {
    constexpr Talker kById[] = {Talker::Gps,    Talker::Glonass, Talker::Galileo,
                                Talker::BeiDou, Talker::Qzss,    Talker::Navic};
    if (id < 1 || id > 6) return std::nullopt;
    return kById[id - 1];
}

} // namespace tevo::gnss
