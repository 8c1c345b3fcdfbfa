// The depth-tested fill of the perspective view: per pixel the plane depth
// a*x + b*y + c in 10-bit fixed point against the depth buffer.
#include "render/raster/polygon_walk.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {

constexpr int kDepthFraction = 10; // fractional bits of the stepped depth
constexpr float kDepthOne = 1 << kDepthFraction;
// Plane values beyond this are clamped before conversion: no pixel of a
// 32-bit surface can step a clamped value into range.
constexpr float kDepthLimit = 1e12f;

// A float in 10-bit fixed point: integer part and fraction taken apart.
int64_t toFixed(float v) {
    if (std::isnan(v)) return 0;
    v = std::clamp(v, -kDepthLimit, kDepthLimit);
    const float whole = std::trunc(v);
    return (static_cast<int64_t>(whole) << kDepthFraction) +
           static_cast<int64_t>((v - whole) * kDepthOne);
}

template <class Pixel, class Entry> struct DepthSpan {
    uint8_t* pixels;
    intptr_t pitch;
    Entry* depth;
    intptr_t depthWidth;
    float a, b, c;
    int64_t step; // a in fixed point
    int64_t maxDepth;
    Pixel colour;

    void operator()(int32_t y, int32_t xl, int32_t xr) const {
        Pixel* row = reinterpret_cast<Pixel*>(pixels + y * pitch);
        Entry* z = depth + y * depthWidth;
        int64_t d = toFixed(a * static_cast<float>(xl) + b * static_cast<float>(y) + c);
        for (int32_t x = xl; x <= xr; ++x, d += step) {
            const int64_t v = std::clamp<int64_t>(d >> kDepthFraction, 0, maxDepth);
            if (v > z[x]) {
                z[x] = static_cast<Entry>(v);
                row[x] = colour;
            }
        }
    }
};

} // namespace

bool cPainter::fillPolygonDepth(const ScreenPoint* points, int count, float a, float b, float c) {
    return fillDepth(points, count, a, b, c);
}

bool cPainter::fillDepth(const ScreenPoint* points, int count, float a, float b, float c) {
    if (pixels_ == nullptr || points == nullptr || count < 2 || !depth_.hasStorage()) return false;
    // The depth buffer may be smaller than the surface: draw where both are.
    const PixelRect clip = intersect(clip_, {0, 0, depth_.width() - 1, depth_.height() - 1});
    if (clip.empty()) return false;
    const raster::Survey survey = raster::survey(points, count, clip);
    if (survey.kind == raster::PolygonClass::Outside) return false;
    BusyGuard guard(*this);
    const raster::Extremes& e = survey.e;
    const bool monotone = count < 4 || survey.monotone;
    const auto run = [&](auto&& writer) {
        if (monotone)
            raster::monotoneWalk(points, count, e, clip, writer);
        else
            raster::edgeTableWalk(points, count, clip, true, scratch_, writer);
    };
    const int64_t step = toFixed(a);
    const bool wideDepth = depth_.entrySize() == 2;
    uint8_t* zdata = depth_.data();
    if (bytesPerPixel_ == 2 && wideDepth)
        run(DepthSpan<uint16_t, uint16_t>{pixels_, pitch_, reinterpret_cast<uint16_t*>(zdata),
                                          depth_.width(), a, b, c, step, depth_.maxDepth(),
                                          static_cast<uint16_t>(fillColour_)});
    else if (bytesPerPixel_ == 2)
        run(DepthSpan<uint16_t, uint8_t>{pixels_, pitch_, zdata, depth_.width(), a, b, c, step,
                                         depth_.maxDepth(), static_cast<uint16_t>(fillColour_)});
    else if (wideDepth)
        run(DepthSpan<uint32_t, uint16_t>{pixels_, pitch_, reinterpret_cast<uint16_t*>(zdata),
                                          depth_.width(), a, b, c, step, depth_.maxDepth(),
                                          fillColour_});
    else
        run(DepthSpan<uint32_t, uint8_t>{pixels_, pitch_, zdata, depth_.width(), a, b, c, step,
                                         depth_.maxDepth(), fillColour_});
    return true;
}

} // namespace tevo
