// The Gnss line parser over a receiver's byte stream: the input is cut into
// pushes whose lengths come from the input itself, each from a buffer of its
// own exact size, and the fix and the satellite table are read after each.
#include "fuzz/fuzz_support.hpp"

#include "plugins/gnss/line_parser.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    (void)tevo::gnss::detectReceiver(data, static_cast<uint32_t>(size));
    tevo::gnss::GnssState state;
    std::size_t at = 0;
    while (at < size) {
        // The byte at the front chooses the push's length: 1 to 256 bytes.
        const std::size_t length = std::min<std::size_t>(size - at, 1 + data[at] % 256);
        std::vector<uint8_t> push(data + at, data + at + length);
        tevo::gnss::pushBytes(state, push.data(), static_cast<int32_t>(push.size()));
        at += length;
        const int32_t count = std::clamp<int32_t>(state.satelliteCount, 0, 24);
        for (int32_t i = 0; i < count; ++i) (void)state.satellites[static_cast<std::size_t>(i)];
    }
    return 0;
}
