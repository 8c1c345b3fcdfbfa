#include "render/raster/rotated_blit.hpp"

#include "render/raster/painter.hpp"
#include "ui/surface.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace tevo {

namespace {

// Rotation factors are fixed point with 10 fractional bits.
constexpr int kFixedShift = 10;
constexpr int64_t kFixedOne = int64_t{1} << kFixedShift;
constexpr int64_t kFixedHalf = kFixedOne / 2;

// Holds both surfaces' pixels for direct access.
class Locks {
public:
    Locks(SDL_Surface* a, SDL_Surface* b) : a_(a), b_(b) {
        okA_ = SDL_LockSurface(a_) == 0;
        okB_ = SDL_LockSurface(b_) == 0;
    }
    ~Locks() {
        if (okB_) SDL_UnlockSurface(b_);
        if (okA_) SDL_UnlockSurface(a_);
    }
    Locks(const Locks&) = delete;
    Locks& operator=(const Locks&) = delete;
    bool ok() const { return okA_ && okB_; }

private:
    SDL_Surface* a_;
    SDL_Surface* b_;
    bool okA_ = false;
    bool okB_ = false;
};

bool sameLayout(const SDL_PixelFormat& a, const SDL_PixelFormat& b) {
    return a.BytesPerPixel == b.BytesPerPixel && a.Rmask == b.Rmask && a.Gmask == b.Gmask &&
           a.Bmask == b.Bmask && !a.palette && !b.palette;
}

// What one call copies: the rotation, the anchors and the target box.
struct Turn {
    int64_t c = kFixedOne;
    int64_t s = 0;
    ScreenPoint target;
    ScreenPoint anchor;
    PixelRect box;
};

int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int64_t ceilDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) == (b < 0))) ? q + 1 : q;
}

// Narrows the steps k in [lo, hi] to those where 0 <= v0 + d * k < limit.
void keepInside(int64_t v0, int64_t d, int64_t limit, int64_t& lo, int64_t& hi) {
    if (d == 0) {
        if (v0 < 0 || v0 >= limit) hi = lo - 1;
        return;
    }
    if (d > 0) {
        lo = std::max(lo, ceilDiv(-v0, d));
        hi = std::min(hi, floorDiv(limit - 1 - v0, d));
    } else {
        lo = std::max(lo, ceilDiv(limit - 1 - v0, d));
        hi = std::min(hi, floorDiv(-v0, d));
    }
}

// Each target pixel takes the nearest source pixel under the inverse turn.
// Per row, only the run of pixels whose source lies inside the image is
// walked, so the inner loop needs no bounds test.
template <int Bytes>
void copyTurned(const SDL_Surface* from, SDL_Surface* to, const Turn& t, bool keyed, uint32_t key) {
    const auto* src = static_cast<const uint8_t*>(from->pixels);
    auto* dst = static_cast<uint8_t*>(to->pixels);
    const int64_t width = int64_t{from->w} << kFixedShift;
    const int64_t height = int64_t{from->h} << kFixedShift;
    for (int32_t y = t.box.top; y <= t.box.bottom; ++y) {
        const int64_t ox = t.box.left - t.target.x;
        const int64_t oy = y - t.target.y;
        const int64_t sx0 = t.c * ox - t.s * oy + (int64_t{t.anchor.x} << kFixedShift) + kFixedHalf;
        const int64_t sy0 = t.s * ox + t.c * oy + (int64_t{t.anchor.y} << kFixedShift) + kFixedHalf;
        int64_t lo = 0;
        int64_t hi = t.box.right - t.box.left;
        keepInside(sx0, t.c, width, lo, hi);
        keepInside(sy0, t.s, height, lo, hi);
        int64_t sx = sx0 + t.c * lo;
        int64_t sy = sy0 + t.s * lo;
        uint8_t* out = dst + static_cast<intptr_t>(y) * to->pitch + (t.box.left + lo) * Bytes;
        for (int64_t k = lo; k <= hi; ++k, sx += t.c, sy += t.s, out += Bytes) {
            const uint8_t* in =
                src + (sy >> kFixedShift) * from->pitch + (sx >> kFixedShift) * Bytes;
            uint32_t value = 0;
            std::memcpy(&value, in, Bytes);
            if (keyed && value == key) continue;
            std::memcpy(out, in, Bytes);
        }
    }
}

// The target box of the turned source rectangle, one pixel larger on each
// side for rounding, inside the clip.
PixelRect turnedBox(const SDL_Surface* source, const Turn& t, const PixelRect& clip) {
    const int64_t xs[2] = {-int64_t{t.anchor.x}, int64_t{source->w} - t.anchor.x};
    const int64_t ys[2] = {-int64_t{t.anchor.y}, int64_t{source->h} - t.anchor.y};
    int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    for (int64_t dx : xs) {
        for (int64_t dy : ys) {
            const int64_t x = (t.c * dx + t.s * dy) >> kFixedShift;
            const int64_t y = (-t.s * dx + t.c * dy) >> kFixedShift;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    const int64_t left = std::max<int64_t>(t.target.x + minX - 1, clip.left);
    const int64_t top = std::max<int64_t>(t.target.y + minY - 1, clip.top);
    const int64_t right = std::min<int64_t>(t.target.x + maxX + 1, clip.right);
    const int64_t bottom = std::min<int64_t>(t.target.y + maxY + 1, clip.bottom);
    if (left > right || top > bottom) return {};
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
}

// A copy of `source` in `format`. SDL's own conversion may map the colour key
// to another value than the pixels it converts, so the key is taken from a
// converted key pixel.
OwnedSurface convertKeyed(SDL_Surface* source, SDL_PixelFormat* format) {
    const bool keyed = (source->flags & SDL_SRCCOLORKEY) != 0;
    const uint32_t key = source->format->colorkey;
    if (keyed) SDL_SetColorKey(source, 0, 0);
    OwnedSurface converted(SDL_ConvertSurface(source, format, SDL_SWSURFACE));
    OwnedSurface keyPixel;
    if (keyed) {
        keyPixel = createSurfaceLike(*source->format, 1, 1);
        if (keyPixel) SDL_FillRect(keyPixel.get(), nullptr, key);
        SDL_SetColorKey(source, SDL_SRCCOLORKEY, key);
    }
    if (!converted || !keyed) return converted;
    OwnedSurface convertedKey(keyPixel ? SDL_ConvertSurface(keyPixel.get(), format, SDL_SWSURFACE)
                                       : nullptr);
    if (!convertedKey) return nullptr;
    uint32_t value = 0;
    if (SDL_LockSurface(convertedKey.get()) == 0) {
        std::memcpy(&value, convertedKey->pixels, convertedKey->format->BytesPerPixel);
        SDL_UnlockSurface(convertedKey.get());
    }
    SDL_SetColorKey(converted.get(), SDL_SRCCOLORKEY, value);
    return converted;
}

} // namespace

bool rotatedBlit(cPainter& painter, SDL_Surface* source, float angleDegrees, ScreenPoint target,
                 ScreenPoint anchor) {
    SDL_Surface* surface = painter.surface();
    if (!source || !surface || source->w <= 0 || source->h <= 0 || !std::isfinite(angleDegrees))
        return false;
    OwnedSurface converted;
    if (!sameLayout(*source->format, *surface->format)) {
        converted = convertKeyed(source, surface->format);
        if (!converted) return false;
        source = converted.get();
    }
    // Unturned images (the scale bar's text) take SDL's own keyed blit.
    if (angleDegrees == 0.0f)
        return blitToPainter(painter, source, nullptr,
                             ScreenPoint{target.x - anchor.x, target.y - anchor.y});
    const double radians = static_cast<double>(angleDegrees) * std::numbers::pi / 180.0;
    Turn turn;
    turn.c = static_cast<int64_t>(std::cos(radians) * kFixedOne);
    turn.s = static_cast<int64_t>(std::sin(radians) * kFixedOne);
    turn.target = target;
    turn.anchor = anchor;
    turn.box = turnedBox(source, turn, painter.clip());
    if (turn.box.empty()) return false;

    Locks locks(source, surface);
    if (!locks.ok()) return false;
    const bool keyed = (source->flags & SDL_SRCCOLORKEY) != 0;
    const uint32_t key = source->format->colorkey;
    switch (surface->format->BytesPerPixel) {
    case 1:
        copyTurned<1>(source, surface, turn, keyed, key);
        break;
    case 2:
        copyTurned<2>(source, surface, turn, keyed, key);
        break;
    case 3:
        copyTurned<3>(source, surface, turn, keyed, key);
        break;
    case 4:
        copyTurned<4>(source, surface, turn, keyed, key);
        break;
    default:
        return false;
    }
    return true;
}

bool blitToPainter(cPainter& painter, SDL_Surface* source, const SDL_Rect* part, ScreenPoint at) {
    SDL_Surface* surface = painter.surface();
    const PixelRect& clip = painter.clip();
    if (!source || !surface || clip.empty()) return false;
    // SDL places blits with 16-bit coordinates; anything farther is off screen.
    if (at.x < INT16_MIN || at.x > INT16_MAX || at.y < INT16_MIN || at.y > INT16_MAX) return false;
    SDL_Rect saved;
    SDL_GetClipRect(surface, &saved);
    SDL_Rect clipRect{static_cast<Sint16>(clip.left), static_cast<Sint16>(clip.top),
                      static_cast<Uint16>(clip.right - clip.left + 1),
                      static_cast<Uint16>(clip.bottom - clip.top + 1)};
    SDL_SetClipRect(surface, &clipRect);
    SDL_Rect from =
        part ? *part
             : SDL_Rect{0, 0, static_cast<Uint16>(source->w), static_cast<Uint16>(source->h)};
    SDL_Rect to{static_cast<Sint16>(at.x), static_cast<Sint16>(at.y), 0, 0};
    const bool ok = SDL_BlitSurface(source, &from, surface, &to) == 0 && to.w > 0 && to.h > 0;
    SDL_SetClipRect(surface, &saved);
    return ok;
}

} // namespace tevo
