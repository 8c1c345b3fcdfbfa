// The Sentrix plug-in through its exports, as the host drives it: the input
// is the receiver's byte stream, cut into pushes of lengths drawn from the
// input (single bytes up to whole kilobytes); after every push each getter
// is called. Each push comes from a buffer of its own exact size, so a read
// past the bytes handed over is caught.
#include "fuzz/fuzz_support.hpp"

#include "plugin-api/plugin_exports.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kDescUnits = 256;
constexpr std::size_t kLongestPush = 4096;

uint64_t mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Push lengths: mostly short, sometimes one byte, sometimes long.
std::size_t pushLength(uint64_t r) {
    switch (r % 4) {
    case 0:
        return 1;
    case 1:
        return 1 + (r >> 8) % 64;
    case 2:
        return 60 + (r >> 8) % 200; // the worker's batches
    default:
        return 1 + (r >> 8) % kLongestPush;
    }
}

int64_t callGetters() {
    int64_t sum = PluginGetMinimumBytes();
    if (PluginIsPositionUpdated()) {
        tevo::GpsData fix{};
        PluginGetGPSData(&fix);
        sum += fix.fix + fix.day + fix.month + fix.hour + fix.minute + fix.second;
    }
    // The host's table is exactly kSatelliteSlots records.
    std::vector<tevo::SatelliteInfo> satellites(tevo::kSatelliteSlots);
    const bool announced = PluginSatellitesUpDated();
    int32_t count = -1;
    const int32_t returned = PluginGetSSI(satellites.data(), &count);
    if (returned != count) __builtin_trap();
    if (announced) sum += satellites[0].prn;
    return sum + count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const char16_t kPath[] = u"Plugins/Sentrix/Sentrix.so";
    PluginInit(kPath);
    std::vector<char16_t> desc(kDescUnits);
    PluginGetDesc(desc.data());

    // Detection looks at the start of the stream as the host's sample does.
    std::vector<uint8_t> sample(data, data + std::min<std::size_t>(size, 150));
    int64_t sum = PluginDetectReceiver(sample.data(), static_cast<uint32_t>(sample.size()));

    uint64_t seed = size;
    for (std::size_t at = 0; at < size;) {
        seed = mix(seed + data[at]);
        const std::size_t n = std::min(pushLength(seed), size - at);
        std::vector<uint8_t> push(data + at, data + at + n);
        PluginPushData(push.data(), static_cast<int32_t>(push.size()));
        sum += callGetters();
        at += n;
    }
    PluginDeInit();
    // After DeInit the getters answer from no state at all.
    sum += callGetters();
    tevo::fuzz::keep(sum);
    return 0;
}
