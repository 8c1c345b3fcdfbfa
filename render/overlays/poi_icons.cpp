#include "render/overlays/poi_icons.hpp"

#include "render/raster/painter.hpp"
#include "render/raster/rotated_blit.hpp"
#include "ui/sprite.hpp"

#include <algorithm>
#include <array>

namespace tevo {

namespace {

// Consecutive runs of codes, in table order: first code, count, step.
struct Run {
    uint16_t first;
    uint16_t count;
    uint16_t step;
};

constexpr Run kRuns[] = {
    {0x0100, 18, 0x0100}, {0x1400, 2, 0x0100},  {0x1E00, 2, 0x0100}, {0x2800, 1, 1},
    {0x1C00, 12, 1},      {0x1D00, 1, 1},       {0x2000, 2, 0x0100}, {0x210F, 1, 1},
    {0x2200, 6, 0x0100},  {0x2900, 1, 1},       {0x2A00, 19, 1},     {0x2B00, 5, 1},
    {0x2C00, 12, 1},      {0x2D00, 12, 1},      {0x2E00, 12, 1},     {0x2F00, 24, 1},
    {0x3000, 9, 1},       {0x4000, 26, 0x0100}, {0x5901, 5, 1},      {0x5A00, 5, 0x0100},
    {0x6000, 4, 0x0100},  {0x6400, 23, 1},      {0x6500, 20, 1},     {0x6600, 25, 1},
    {0x1600, 23, 1},      {0xF001, 11, 1},      {0xF101, 6, 1},      {0xF201, 4, 1},
    {0xF301, 13, 1},      {0xF401, 6, 1},       {0xF501, 5, 1},
};

constexpr std::array<uint16_t, kPoiIconCount> buildTable() {
    std::array<uint16_t, kPoiIconCount> table{};
    std::size_t i = 0;
    for (const Run& run : kRuns)
        for (uint16_t k = 0; k < run.count; ++k)
            table[i++] = static_cast<uint16_t>(run.first + k * run.step);
    return table;
}

constexpr std::size_t runTotal() {
    std::size_t n = 0;
    for (const Run& run : kRuns) n += run.count;
    return n;
}
static_assert(runTotal() == kPoiIconCount);

constexpr std::array<uint16_t, kPoiIconCount> kIconTypes = buildTable();
static_assert(kIconTypes[51] == 0x2A05);
static_assert(kIconTypes[164] == 0x5900 && kIconTypes[314] == 0xF505);

} // namespace

int32_t poiIconIndex(int32_t type) {
    const auto* it = std::find(kIconTypes.begin(), kIconTypes.end(), type);
    return it == kIconTypes.end() ? -1 : static_cast<int32_t>(it - kIconTypes.begin());
}

int32_t poiIconType(int32_t index) {
    if (index < 0 || index >= kPoiIconCount) return -1;
    return kIconTypes[static_cast<std::size_t>(index)];
}

bool drawPoiIcon(cPainter& painter, Sprite& sheet, int32_t type, ScreenPoint at) {
    if (!sheet.image) return false;
    const int32_t icon = poiIconIndex(type);
    if (icon < 0 || !sheet.selectFrame(icon)) return false;
    // A frame beyond the sheet's rows would show nothing useful.
    if (sheet.sourceY + sheet.frameHeight > sheet.image->h) return false;
    SDL_Rect part{static_cast<Sint16>(sheet.sourceX), static_cast<Sint16>(sheet.sourceY),
                  static_cast<Uint16>(sheet.frameWidth), static_cast<Uint16>(sheet.frameHeight)};
    const ScreenPoint corner{at.x - sheet.frameWidth / 2, at.y - sheet.frameHeight / 2};
    return blitToPainter(painter, sheet.image.get(), &part, corner);
}

} // namespace tevo
