// What gpsd sends a client that asked for NMEA, cut into reads whose lengths
// come from the input itself: the sentence lines and the device list.
#include "fuzz/fuzz_support.hpp"

#include "gps/gpsd_stream.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    tevo::GpsdStream stream;
    std::string sentences;
    std::size_t at = 0;
    while (at < size) {
        // The byte at the front chooses the read's length: 1 to 256 bytes.
        const std::size_t length = std::min<std::size_t>(size - at, 1 + data[at] % 256);
        std::vector<uint8_t> read(data + at, data + at + length);
        stream.feed(read.data(), static_cast<int32_t>(read.size()), sentences);
        at += length;
    }
    (void)stream.noReceiver();
    return 0;
}
