// The track reader over arbitrary file contents: the points are read, turned
// into track objects with their thinning, and replayed once round.
#include "fuzz/fuzz_support.hpp"

#include "map/track_log.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    tevo::TrackLog log;
    tevo::readTrackLines(in, log);
    const auto objects = tevo::buildTrackObjects(log);
    (void)objects;
    for (std::size_t i = 0; i <= log.points.size(); ++i) (void)tevo::nextReplayPoint(log);
    return 0;
}
