// The map file over arbitrary contents: opened as the view opens it, every
// block of every index block read, then the block cache walked over
// footprints that follow from the input, switching levels as the view does.
#include "fuzz/fuzz_support.hpp"
#include "fuzz/map_walk.hpp"

#include "platform/message_box.hpp"
#include "platform/text.hpp"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kWalkSteps = 12;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tevo::setMessageBoxesDrawn(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const tevo::fuzz::ScratchFile file(".tvm");
    static const std::u16string path = tevo::toWide(file.path());
    if (!file.write(data, size)) return 0;
    tevo::cMapFile map;
    tevo::BoundsF start;
    // A failed open keeps the index blocks read before the fault: use them too.
    map.open(path, &start);
    int64_t sum = tevo::fuzz::readEveryBlock(map);
    sum += tevo::fuzz::walkCache(map, tevo::fuzz::hashOf(data, size), kWalkSteps);
    tevo::fuzz::keep(sum);
    return 0;
}
