// Construction, surface binding, the square-root table and the clear.
#include "render/raster/painter.hpp"

#include <array>
#include <cmath>
#include <cstring>
#include <new>

namespace tevo {

namespace {

constexpr int kSqrtTableSize = 4096;
// The bytes per pixel the span and pixel addressing handle.
constexpr int kShortPixel = 2;
constexpr int kLongPixel = 4;

const std::array<int32_t, kSqrtTableSize>& sqrtTable() {
    static const std::array<int32_t, kSqrtTableSize> table = [] {
        std::array<int32_t, kSqrtTableSize> t{};
        int32_t root = 0;
        for (int i = 0; i < kSqrtTableSize; ++i) {
            while ((root + 1) * (root + 1) <= i) ++root;
            t[i] = root;
        }
        return t;
    }();
    return table;
}

} // namespace

int64_t isqrt(int64_t v) {
    if (v >= 0 && v < kSqrtTableSize) return sqrtTable()[v];
    const double magnitude = std::fabs(static_cast<double>(v));
    return static_cast<int64_t>(std::sqrt(magnitude) + 0.5);
}

void PolyEdge::setup(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    yTop = static_cast<int32_t>(y0);
    yBottom = static_cast<int32_t>(y1);
    xTop = x0;
    den = dy > 0 ? dy : 1;
    q = dy > 0 ? dx / dy : 0;
    r = dy > 0 ? (dx % dy < 0 ? -(dx % dy) : dx % dy) : 0;
    sign = dx < 0 ? -1 : 1;
    x = x0;
    err = 0;
    row = y0;
}

void PolyEdge::seek(int64_t y) {
    const int64_t n = y - yTop;
    constexpr int64_t kNarrow = int64_t{1} << 31;
    if (n < kNarrow && r < kNarrow) {
        const int64_t carried = n * r;
        x = xTop + n * q + sign * (carried / den);
        err = carried % den;
    } else {
        // n * r reaches 2^64 for edges spanning the whole 32-bit range.
        const __int128 carried = static_cast<__int128>(n) * r;
        x = xTop + n * q + sign * static_cast<int64_t>(carried / den);
        err = static_cast<int64_t>(carried % den);
    }
    row = y;
}

cPainter::cPainter(SDL_Surface* surface) {
    sqrtTable();
    bindSurface(surface);
    if (surface_ != nullptr) {
        fillColour_ = mapColour(0x00FFFFFF);
        lineColour_ = mapColour(0x00000000);
    }
}

bool cPainter::bindSurface(SDL_Surface* surface) {
    if (surface == nullptr || busy_ || surface->format == nullptr || surface->pixels == nullptr)
        return false;
    const int bpp = surface->format->BytesPerPixel;
    if (bpp != kShortPixel && bpp != kLongPixel) return false;
    // A wider surface than any before gets a longer span buffer; spans are
    // never copied past its end.
    const size_t spanBytes = static_cast<size_t>(surface->w) * bpp;
    if (spanBuffer_.size() < spanBytes) {
        try {
            spanBuffer_.resize(spanBytes);
        } catch (const std::bad_alloc&) {
            return false;
        }
        spanPixels_ = 0;
    }
    surface_ = surface;
    pixels_ = static_cast<uint8_t*>(surface->pixels);
    pitch_ = surface->pitch;
    bytesPerPixel_ = static_cast<uint8_t>(bpp);
    oddMask_ = -(bytesPerPixel_ & 1);
    pixelShift_ = bytesPerPixel_ >> 1;
    surfaceRect_ = {0, 0, surface->w - 1, surface->h - 1};
    bounds_ = clip_ = fillArea_ = surfaceRect_;
    spanPixels_ = 0;
    return true;
}

uint32_t cPainter::mapColour(uint32_t colour) const {
    if (surface_ == nullptr) return 0;
    return SDL_MapRGB(surface_->format, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void cPainter::clearArea(uint32_t colour) {
    if (surface_ == nullptr || fillArea_.empty()) return;
    BusyGuard guard(*this);
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(fillArea_.left);
    rect.y = static_cast<Sint16>(fillArea_.top);
    rect.w = static_cast<Uint16>(fillArea_.right - fillArea_.left + 1);
    rect.h = static_cast<Uint16>(fillArea_.bottom - fillArea_.top + 1);
    SDL_FillRect(surface_, &rect, mapColour(colour));
}

void cPainter::putPixel(int64_t x, int64_t y, uint32_t colour) {
    if (!clip_.contains(x, y)) return;
    uint8_t* p = row(static_cast<int32_t>(y)) + (x << pixelShift_);
    if (bytesPerPixel_ == kShortPixel) {
        const uint16_t v = static_cast<uint16_t>(colour);
        std::memcpy(p, &v, sizeof v);
    } else {
        std::memcpy(p, &colour, sizeof colour);
    }
}

bool cPainter::prepareSpan(uint32_t colour, int32_t width) {
    if (width <= 0) return false;
    const int32_t capacity = static_cast<int32_t>(spanBuffer_.size() >> pixelShift_);
    if (width > capacity) width = capacity;
    if (colour == spanColour_ && width <= spanPixels_) return true;
    if (bytesPerPixel_ == kShortPixel) {
        const uint16_t v = static_cast<uint16_t>(colour);
        for (int32_t i = 0; i < width; ++i) std::memcpy(&spanBuffer_[i * 2], &v, sizeof v);
    } else {
        for (int32_t i = 0; i < width; ++i) std::memcpy(&spanBuffer_[i * 4], &colour, 4);
    }
    spanColour_ = colour;
    spanPixels_ = width;
    return true;
}

} // namespace tevo
