#include "render/overlays/label_grid.hpp"

#include "render/overlays/label_space.hpp"

#include "render/raster/painter.hpp"
#include "render/raster/rotated_blit.hpp"
#include "ui/text_style.hpp"

#include <algorithm>

namespace tevo {

namespace {

// POI names stand this much wider than their text when centred.
constexpr int32_t kPoiNamePadding = 10;

} // namespace

cLabelGrid::cLabelGrid(const PixelRect& viewport)
    : rect_(viewport),
      cellWidth_(static_cast<float>(viewport.right - viewport.left + 1) / kColumns),
      cellHeight_(static_cast<float>(viewport.bottom - viewport.top + 1) / kRows) {}

void cLabelGrid::clear() {
    cells_ = {};
}

int cLabelGrid::cellOf(ScreenPoint p) const {
    const int column = static_cast<int>(static_cast<float>(p.x - rect_.left) / cellWidth_);
    const int row = static_cast<int>(static_cast<float>(p.y - rect_.top) / cellHeight_);
    return std::clamp(row, 0, kRows - 1) * kColumns + std::clamp(column, 0, kColumns - 1);
}

bool cLabelGrid::nameElsewhere(const Label& label, int cell) const {
    for (int c = 0; c < kCells; ++c) {
        if (c == cell) continue;
        for (const Slot& s : cells_[c]) {
            if (!s.used || s.label.name != label.name) continue;
            if (label.priority < s.label.priority && label.kind < s.label.kind) continue;
            return true;
        }
    }
    return false;
}

void cLabelGrid::insertAt(Cell& cell, int index, const Label& label) {
    for (int i = kSlots - 1; i > index; --i) cell[i] = cell[i - 1];
    cell[index] = Slot{true, label};
}

bool cLabelGrid::addLabel(const Label& label) {
    if (rect_.empty() || !rect_.contains(label.anchor.x, label.anchor.y) || label.priority < 0)
        return false;
    const int b = cellOf(label.anchor);
    if (nameElsewhere(label, b)) return false;

    Cell& cell = cells_[b];
    for (int i = 0; i < kSlots; ++i) {
        Slot& s = cell[i];
        if (!s.used) {
            s = Slot{true, label};
            return true;
        }
        const Label& stored = s.label;
        const int c = compareNames(label.name, stored.name);
        if (stored.kind == label.kind) {
            // A more important label takes the place of a same-named one and
            // goes before names that sort after it; an equal one only before.
            // A less important namesake would show the name twice in the cell.
            if (c == 0 && label.priority > stored.priority) return false;
            if (label.priority > stored.priority || c > 0) continue;
            if (c < 0) {
                insertAt(cell, i, label);
                return true;
            }
            if (label.priority == stored.priority) return false;
            s.label = label;
            return true;
        }
        // Of two kinds, the lower one wins the slot.
        if (c == 0) {
            if (label.kind >= stored.kind) return false;
            s.label = label;
            return true;
        }
        if (label.kind < stored.kind) {
            insertAt(cell, i, label);
            return true;
        }
    }
    return false;
}

const Label* cLabelGrid::slot(int cell, int index) const {
    if (cell < 0 || cell >= kCells || index < 0 || index >= kSlots) return nullptr;
    const Slot& s = cells_[cell][index];
    return s.used ? &s.label : nullptr;
}

int cLabelGrid::count() const {
    int n = 0;
    for (const Cell& cell : cells_)
        for (const Slot& s : cell) n += s.used;
    return n;
}

void cLabelGrid::drawGrid(cPainter& painter, const TextStyle& font, int32_t iconHeight,
                          cLabelSpace* space) const {
    const int32_t lift = iconHeight / 2 + font.size() / 2;
    for (const Cell& cell : cells_) {
        for (const Slot& s : cell) {
            if (!s.used || (space && space->shown(s.label.name))) continue;
            ScreenPoint at = s.label.anchor;
            if (s.label.kind == kLabelPoi) {
                int32_t w = 0;
                font.measureWithStrip(s.label.name, &w, nullptr);
                at.x -= (w + kPoiNamePadding) >> 1;
                at.y -= lift;
            }
            OwnedSurface text = font.renderWithStrip(s.label.name);
            if (!text) continue;
            // A name at the window's edge moves inside rather than being cut.
            if (!moveInside(at, text->w, text->h, painter.clip())) continue;
            if (space && !space->claim(labelBox(text->w, text->h, {0, 0}, at))) continue;
            blitToPainter(painter, text.get(), nullptr, at);
            if (space) space->markShown(s.label.name);
        }
    }
}

} // namespace tevo
