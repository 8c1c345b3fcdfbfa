#include "render/overlays/scale_bar.hpp"

#include "render/overlays/overlay_internal.hpp"
#include "render/raster/rotated_blit.hpp"
#include "ui/text_style.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {

constexpr int32_t kSegments = 5;
constexpr int32_t kBarHeight = 4; // rows below the top edge
constexpr int32_t kTickHeight = 3;
constexpr int32_t kTextPadding = 10;
constexpr int32_t kDigitsPerKilometre = 3;
constexpr int32_t kMetresPerKilometre = 1000;
constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;
// The plate under text and bar, the colours of the mode line's plate, with
// the room it leaves around them and its border's width.
constexpr uint32_t kPlateFill = 0x00F2F7F7;
constexpr uint32_t kPlateBorder = 0x002B2014;
constexpr int32_t kPlateMargin = 4;
constexpr int32_t kPlateBorderWidth = 2;
// Distances are counted in int32 metres.
constexpr float kLargestDistance = 2.0e9f;

std::u16string decimal(int32_t v) {
    const std::string digits = std::to_string(v);
    return std::u16string(digits.begin(), digits.end());
}

// Fills [x0, x1] x [y0, y1] inclusive, inside the painter's clip.
void fillBox(cPainter& painter, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    const PixelRect box = intersect(PixelRect{x0, y0, x1, y1}, painter.clip());
    if (box.empty()) return;
    SDL_Rect r{static_cast<Sint16>(box.left), static_cast<Sint16>(box.top),
               static_cast<Uint16>(box.right - box.left + 1),
               static_cast<Uint16>(box.bottom - box.top + 1)};
    SDL_FillRect(painter.surface(), &r, painter.mapColour(colour));
}

// A plate with a border and cut corners over [x0, x1] x [y0, y1], so that the
// scale reads on every map, as the mode line does.
void drawPlate(cPainter& painter, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    fillBox(painter, x0 + 1, y0, x1 - 1, y1, kPlateBorder);
    fillBox(painter, x0, y0 + 1, x1, y1 - 1, kPlateBorder);
    const int32_t b = kPlateBorderWidth;
    fillBox(painter, x0 + b, y0 + b, x1 - b, y1 - b, kPlateFill);
}

} // namespace

bool scaleBarFor(float zoom, int32_t maxLength, ScaleBar& bar) {
    if (!(zoom > 0.0f) || maxLength <= 0) return false;
    const float m = static_cast<float>(maxLength) / zoom;
    if (!(m < kLargestDistance)) return false;
    int32_t v = static_cast<int32_t>(m);
    int32_t removed = 0;
    if (v >= 10) {
        int32_t lead = v;
        while (lead >= 10) {
            lead /= 10;
            ++removed;
        }
        v = lead;
        for (int32_t i = 0; i < removed; ++i) v *= 10;
    }
    bar.metres = v;
    // In float, as the zoom is: 400 m at 0.11 px/m are 44 pixels.
    bar.length = static_cast<int32_t>(static_cast<float>(v) * zoom);
    bar.kilometres = removed >= kDigitsPerKilometre;
    bar.shown = bar.kilometres ? v / kMetresPerKilometre : v;
    bar.text = decimal(bar.shown) + (bar.kilometres ? u" \u043A\u043C" : u" \u043C");
    return true;
}

void drawScaleBar(cPainter& painter, const TextStyle& font, ScreenPoint at, int32_t maxLength,
                  float zoom) {
    ScaleBar bar;
    if (!painter.surface() || !scaleBarFor(zoom, maxLength, bar)) return;
    const int32_t b = bar.length;
    const int32_t left = at.x - b / 2;
    const int32_t y = at.y;

    int32_t w = 0;
    int32_t h = 0;
    font.measureWithStrip(bar.text, &w, &h);
    const ScreenPoint textAt{left + (b - (w + kTextPadding)) / 2, y - h};
    const int32_t g = b / kSegments;
    const int32_t right = left + kSegments * g;
    const int32_t m = kPlateMargin;
    drawPlate(painter, std::min(left, textAt.x) - m, textAt.y - m / 2,
              std::max(right, textAt.x + w) + m, y + kBarHeight + m);
    if (OwnedSurface text = font.renderWithStrip(bar.text))
        rotatedBlit(painter, text.get(), 0.0f, textAt, ScreenPoint{0, 0});

    PainterStyleGuard style(painter);
    for (int32_t k = 0; k < kSegments; ++k)
        fillBox(painter, left + k * g, y, left + (k + 1) * g, y + kBarHeight,
                k % 2 == 0 ? kWhite : kBlack);
    painter.setLineColour(painter.mapColour(kBlack));
    painter.setLineWidth(1);
    painter.setDashPattern(cPainter::kSolid);
    const int32_t bottom = y + kBarHeight;
    painter.drawLine1(left, y, left, y - kTickHeight);
    painter.drawLine1(right, y, right, y - kTickHeight);
    painter.drawLine1(left, y, right, y);
    painter.drawLine1(right, y, right, bottom);
    painter.drawLine1(right, bottom, left, bottom);
    painter.drawLine1(left, bottom, left, y);
}

} // namespace tevo
