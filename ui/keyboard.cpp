#include "ui/keyboard.hpp"

#include "ui/picture.hpp"
#include "ui/text_style.hpp"

#include <algorithm>

namespace tevo {

namespace {

// Pixels between neighbouring keys.
constexpr int32_t kGap = 3;

OwnedSurface loadFace(const std::string& path) {
    OwnedSurface read = loadImage(path);
    OwnedSurface face = convertForDisplay(read.get());
    setMagentaKey(face.get());
    return face;
}

void blitPart(SDL_Surface* from, int32_t fromX, int32_t width, SDL_Surface* to, int32_t x,
              int32_t y) {
    SDL_Rect source{static_cast<Sint16>(fromX), 0, static_cast<Uint16>(width),
                    static_cast<Uint16>(from->h)};
    SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(from, &source, to, &at);
}

} // namespace

cKeyboard::cKeyboard(const ControlRect& rect, SDL_Surface* target, const std::string& facePath,
                     const std::string& pressedFacePath)
    : cControl(rect.left, rect.top, rect.right, rect.bottom, target), face_(loadFace(facePath)),
      pressedFace_(loadFace(pressedFacePath)) {}

cKeyboard::~cKeyboard() = default;

void cKeyboard::setLayouts(std::vector<KeyboardLayout> layouts) {
    layouts_ = std::move(layouts);
    showLayout(0);
}

void cKeyboard::showLayout(std::size_t n) {
    if (n >= layouts_.size()) return;
    shown_ = n;
    pressedKey_ = -1;
    place();
    sheet_.reset();
}

// Every row is centred on the grid, its keys side by side.
void cKeyboard::place() {
    std::size_t columns = 1, rows = 1;
    for (const KeyboardLayout& layout : layouts_) {
        rows = std::max(rows, layout.size());
        for (const KeyboardRow& row : layout) {
            int32_t cells = 0;
            for (const KeyboardKey& key : row) cells += std::max(1, key.cells);
            columns = std::max(columns, static_cast<std::size_t>(cells));
        }
    }
    const int32_t cellW = (rect_.right - rect_.left) / static_cast<int32_t>(columns);
    const int32_t cellH = (rect_.bottom - rect_.top) / static_cast<int32_t>(rows);
    placed_.clear();
    const KeyboardLayout& layout = layouts_[shown_];
    for (std::size_t r = 0; r < layout.size(); ++r) {
        int32_t cells = 0;
        for (const KeyboardKey& key : layout[r]) cells += std::max(1, key.cells);
        int32_t x = (static_cast<int32_t>(columns) - cells) * cellW / 2;
        for (const KeyboardKey& key : layout[r]) {
            const int32_t w = std::max(1, key.cells) * cellW;
            placed_.push_back({SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(r * cellH),
                                        static_cast<Uint16>(std::max(1, w - kGap)),
                                        static_cast<Uint16>(std::max(1, cellH - kGap))},
                               &key});
            x += w;
        }
    }
}

void cKeyboard::drawKey(SDL_Surface* surface, const SDL_Rect& box, SDL_Surface* face,
                        const std::u16string& caption) {
    if (face != nullptr && face->w >= 2) {
        // The face's halves at the key's ends, its middle column between.
        const int32_t half = face->w / 2;
        const int32_t y = box.y + (box.h - face->h) / 2;
        const int32_t right = box.x + box.w - (face->w - half);
        blitPart(face, 0, half, surface, box.x, y);
        for (int32_t x = box.x + half; x < right; ++x) blitPart(face, half, 1, surface, x, y);
        blitPart(face, half, face->w - half, surface, std::max<int32_t>(right, box.x + half), y);
    }
    if (font_ == nullptr) return;
    SDL_Surface* was = font_->target();
    font_->setTarget(surface);
    font_->drawText(caption, box.x + box.w / 2, box.y + box.h / 2);
    font_->setTarget(was);
}

// The shown layout once into a sheet of its own: a frame then costs a blit.
void cKeyboard::renderSheet() {
    SDL_Surface* video = target();
    sheet_ = createSurfaceLike(*video->format, rect_.right - rect_.left, rect_.bottom - rect_.top);
    if (!sheet_) return;
    const Uint32 key = SDL_MapRGB(sheet_->format, 255, 0, 255);
    SDL_FillRect(sheet_.get(), nullptr, key);
    SDL_SetColorKey(sheet_.get(), SDL_SRCCOLORKEY, key);
    for (const Placed& p : placed_) drawKey(sheet_.get(), p.box, face_.get(), p.key->caption);
}

void cKeyboard::pressAt(int32_t x, int32_t y) {
    pressedKey_ = -1;
    const int32_t rx = x - rect_.left, ry = y - rect_.top;
    for (std::size_t i = 0; i < placed_.size(); ++i) {
        const SDL_Rect& b = placed_[i].box;
        if (rx >= b.x && rx < b.x + b.w && ry >= b.y && ry < b.y + b.h) {
            pressedKey_ = static_cast<int32_t>(i);
            setCallback(callback(), placed_[i].key->code);
            return;
        }
    }
    // Between keys: the callback learns that no key was hit.
    setCallback(callback(), 0);
}

void cKeyboard::draw() {
    if (!active() || target() == nullptr || placed_.empty()) return;
    if (!sheet_) renderSheet();
    if (!sheet_) return;
    SDL_Rect at{static_cast<Sint16>(rect_.left), static_cast<Sint16>(rect_.top), 0, 0};
    SDL_BlitSurface(sheet_.get(), nullptr, target(), &at);
    if (pressed() == 0 || pressedKey_ < 0) return;
    const Placed& p = placed_[static_cast<std::size_t>(pressedKey_)];
    SDL_Rect box = p.box;
    box.x = static_cast<Sint16>(box.x + rect_.left);
    box.y = static_cast<Sint16>(box.y + rect_.top);
    drawKey(target(), box, pressedFace_.get(), p.key->caption);
}

bool cKeyboard::keyCentre(int32_t code, int32_t& x, int32_t& y) const {
    for (const Placed& p : placed_) {
        if (p.key->code != code) continue;
        x = rect_.left + p.box.x + p.box.w / 2;
        y = rect_.top + p.box.y + p.box.h / 2;
        return true;
    }
    return false;
}

} // namespace tevo
