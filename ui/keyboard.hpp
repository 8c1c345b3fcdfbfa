// An on-screen keyboard: rows of keys on a grid of equal cells, a key
// spanning one cell or several. Keys are drawn from one face picture cut into
// its left half, one middle column and its right half, so that one picture
// serves keys of every width. Several layouts can be given; one is shown.
#pragma once

#include "ui/control.hpp"
#include "ui/surface.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo {

class TextStyle;

struct KeyboardKey {
    std::u16string caption;
    int32_t code = 0; // the callback's argument when the key is pressed
    int32_t cells = 1;
};
using KeyboardRow = std::vector<KeyboardKey>;
using KeyboardLayout = std::vector<KeyboardRow>;

class cKeyboard : public cControl {
public:
    // The keyboard fills the rectangle; the faces (magenta transparent) are
    // read from the two files. Missing faces leave the keys without them.
    cKeyboard(const ControlRect& rect, SDL_Surface* target, const std::string& facePath,
              const std::string& pressedFacePath);
    ~cKeyboard() override;

    // The captions' style (centred both ways), owned elsewhere.
    void setFont(TextStyle* font) { font_ = font; }
    // The layouts; the grid has as many columns as the widest row of any of
    // them and as many rows as the tallest. Shows the first.
    void setLayouts(std::vector<KeyboardLayout> layouts);
    // Shows layout `n` (ignored when there is none such).
    void showLayout(std::size_t n);
    std::size_t shownLayout() const { return shown_; }

    // The key under the touch becomes the pressed one and its code the
    // callback's argument; a touch between keys presses nothing.
    void pressAt(int32_t x, int32_t y) override;
    void draw() override;

    // The centre of the key with `code` in the shown layout, for tests and
    // scripts; false when the layout has none.
    bool keyCentre(int32_t code, int32_t& x, int32_t& y) const;

private:
    struct Placed {
        SDL_Rect box;
        const KeyboardKey* key;
    };
    void place();
    void renderSheet();
    void drawKey(SDL_Surface* surface, const SDL_Rect& box, SDL_Surface* face,
                 const std::u16string& caption);

    OwnedSurface face_, pressedFace_;
    TextStyle* font_ = nullptr;
    std::vector<KeyboardLayout> layouts_;
    std::size_t shown_ = 0;
    std::vector<Placed> placed_; // the shown layout's keys, relative to the corner
    OwnedSurface sheet_;         // the shown layout, drawn once
    int32_t pressedKey_ = -1;
};

} // namespace tevo
