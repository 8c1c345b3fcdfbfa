#include "render/rotated_blit.hpp"

#include "render/painter.hpp"
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

// Each target pixel takes the nearest source pixel under the inverse turn.
template <int Bytes>
void copyTurned(const SDL_Surface* from, SDL_Surface* to, const Turn& t, bool keyed, uint32_t key) {
    const auto* src = static_cast<const uint8_t*>(from->pixels);
    auto* dst = static_cast<uint8_t*>(to->pixels);
    for (int32_t y = t.box.top; y <= t.box.bottom; ++y) {
        const int64_t ox = t.box.left - t.target.x;
        const int64_t oy = y - t.target.y;
        int64_t sx = t.c * ox - t.s * oy + (int64_t{t.anchor.x} << kFixedShift) + kFixedHalf;
        int64_t sy = t.s * ox + t.c * oy + (int64_t{t.anchor.y} << kFixedShift) + kFixedHalf;
        uint8_t* out = dst + static_cast<intptr_t>(y) * to->pitch + t.box.left * Bytes;
        for (int32_t x = t.box.left; x <= t.box.right; ++x, sx += t.c, sy += t.s, out += Bytes) {
            const int64_t px = sx >> kFixedShift;
            const int64_t py = sy >> kFixedShift;
            if (px < 0 || py < 0 || px >= from->w || py >= from->h) continue;
            const uint8_t* in = src + py * from->pitch + px * Bytes;
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
    OwnedSurface convertedKey(
        keyPixel ? SDL_ConvertSurface(keyPixel.get(), format, SDL_SWSURFACE) : nullptr);
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
