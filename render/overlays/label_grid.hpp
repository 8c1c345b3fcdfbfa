// A label grid: the viewport cut into 3 x 3 cells of 3 slots each. A name is
// kept at most once on the screen (with one exception, below) and each cell
// holds the three names that sort first among the most important ones.
//
// The view keeps two: grid A for POI and area names, grid B for upper-polygon
// names. Per frame: clear() both at the start, addLabel() from the passes,
// then drawGrid() (A, then B) after the street names.
#pragma once

#include "render/overlays/label.hpp"
#include "render/raster/geometry.hpp"

#include <array>
#include <cstdint>

namespace tevo {

class cLabelSpace;
class cPainter;
class TextStyle;

class cLabelGrid {
public:
    static constexpr int kColumns = 3;
    static constexpr int kRows = 3;
    static constexpr int kSlots = 3;
    static constexpr int kCells = kColumns * kRows;

    // Over the viewport, inclusive.
    explicit cLabelGrid(const PixelRect& viewport);

    // Empties every slot.
    void clear();

    // Offers a label; true when it was stored (it may replace or push out
    // labels stored earlier). Rejected: an anchor outside the grid, a
    // negative priority, a name stored in another cell (unless the new label
    // is both more important and of a lower kind), or no slot won.
    bool addLabel(const Label& label);

    // Draws the stored labels, cell by cell, slot by slot, from the font's
    // glyph strip onto the painter's surface inside its clip rectangle. POI
    // names are centred above their icon: iconHeight is the height of the
    // POI icons (0 without an icon sheet). With a label space, a name that
    // would overlap one drawn before is left out.
    void drawGrid(cPainter& painter, const TextStyle& font, int32_t iconHeight,
                  cLabelSpace* space = nullptr) const;

    // The label in a slot, or null.
    const Label* slot(int cell, int index) const;
    int count() const;
    const PixelRect& rect() const { return rect_; }

private:
    struct Slot {
        bool used = false;
        Label label;
    };
    using Cell = std::array<Slot, kSlots>;

    int cellOf(ScreenPoint p) const;
    bool nameElsewhere(const Label& label, int cell) const;
    static void insertAt(Cell& cell, int index, const Label& label);

    PixelRect rect_;
    float cellWidth_;
    float cellHeight_;
    std::array<Cell, kCells> cells_{};
};

} // namespace tevo
