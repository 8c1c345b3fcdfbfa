// The style file over arbitrary contents: read from disk as the view does,
// then every type of both tables looked up, inside the tables and around them.
#include "fuzz/fuzz_support.hpp"

#include "map/map_style.hpp"

#include <cstddef>
#include <cstdint>

namespace {

// Types just outside each table and far outside it.
constexpr int32_t kOutside[] = {-1, -256, 0x7FFFFFFF, static_cast<int32_t>(0x80000000)};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const tevo::fuzz::ScratchFile file(".skn");
    if (!file.write(data, size)) return 0;
    tevo::cMapStyle style;
    if (!style.load(file.path())) return 0;
    int64_t sum = 0;
    for (int32_t t = 0; t <= tevo::cMapStyle::kLineTypes; ++t) {
        const tevo::LineStyle line = style.lineStyle(t);
        sum += int64_t{line.width} + line.width2 + tevo::linePattern(line.pattern) +
               tevo::linePattern(line.pattern2);
    }
    for (int32_t t = 0; t <= tevo::cMapStyle::kAreaTypes; ++t)
        sum += static_cast<int64_t>(style.areaStyle(t).text.size()) + style.areaStyle(t).colour;
    for (int32_t t : kOutside) sum += int64_t{style.lineStyle(t).width} + style.areaStyle(t).type;
    // Widths are documented as never negative.
    for (int32_t t = 0; t < tevo::cMapStyle::kLineTypes; ++t)
        if (style.lineStyle(t).width < 0 || style.lineStyle(t).width2 < 0) __builtin_trap();
    tevo::fuzz::keep(sum);
    return 0;
}
