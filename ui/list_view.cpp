#include "ui/list_view.hpp"

#include "ui/text_style.hpp"

#include <algorithm>

namespace tevo {

namespace {

constexpr int32_t kMargin = 6;
// The rows' rules and the pressed row's shade (0xRRGGBB).
constexpr uint32_t kRuleColour = 0x4d6478;
constexpr uint32_t kPressedColour = 0x2c3e50;

Uint32 mapped(SDL_Surface* s, uint32_t rgb) {
    return SDL_MapRGB(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

cListView::cListView(const ControlRect& rect, SDL_Surface* target, int32_t rowHeight,
                     const std::string& iconPath, int32_t iconSize)
    : cControl(rect.left, rect.top, rect.right, rect.bottom, target),
      rowHeight_(std::max(1, rowHeight)), iconSize_(std::max(1, iconSize)) {
    icons_.load(target, iconPath, iconSize_, iconSize_);
}

cListView::~cListView() = default;

void cListView::setRows(std::vector<ListRow> rows) {
    rows_ = std::move(rows);
    pressedRow_ = -1;
}

std::size_t cListView::visibleRows() const {
    const auto fit = static_cast<std::size_t>(std::max(0, (rect_.bottom - rect_.top) / rowHeight_));
    return std::min(fit, rows_.size());
}

void cListView::pressAt(int32_t, int32_t y) {
    const int32_t row = (y - rect_.top) / rowHeight_;
    pressedRow_ = row >= 0 && row < static_cast<int32_t>(visibleRows()) ? row : -1;
    setCallback(callback(), pressedRow_);
}

void cListView::drawRow(std::size_t i, const SDL_Rect& box) {
    SDL_Surface* s = target();
    if (pressed() != 0 && static_cast<int32_t>(i) == pressedRow_)
        SDL_FillRect(s, const_cast<SDL_Rect*>(&box), mapped(s, kPressedColour));
    const ListRow& row = rows_[i];
    if (row.icon >= 0 && icons_.selectFrame(row.icon)) {
        icons_.x = box.x + kMargin;
        icons_.y = box.y + (box.h - iconSize_) / 2;
        icons_.draw();
    }
    const int32_t textX = box.x + 2 * kMargin + iconSize_;
    if (titleFont_) titleFont_->drawText(row.title, textX, box.y + kMargin);
    if (detailFont_) detailFont_->drawText(row.detail, textX, box.y + box.h / 2 + 2);
    SDL_Rect rule{box.x, static_cast<Sint16>(box.y + box.h - 1), box.w, 1};
    SDL_FillRect(s, &rule, mapped(s, kRuleColour));
}

void cListView::draw() {
    SDL_Surface* s = target();
    if (!active() || s == nullptr) return;
    // Long names stop at the list's edge.
    SDL_Rect clip;
    SDL_GetClipRect(s, &clip);
    SDL_Rect area{static_cast<Sint16>(rect_.left), static_cast<Sint16>(rect_.top),
                  static_cast<Uint16>(rect_.right - rect_.left),
                  static_cast<Uint16>(rect_.bottom - rect_.top)};
    SDL_SetClipRect(s, &area);
    const std::size_t shown = visibleRows();
    for (std::size_t i = 0; i < shown; ++i) {
        const SDL_Rect box{area.x, static_cast<Sint16>(area.y + i * rowHeight_), area.w,
                           static_cast<Uint16>(rowHeight_)};
        drawRow(i, box);
    }
    if (shown == 0 && titleFont_)
        titleFont_->drawText(emptyText_, area.x + kMargin, area.y + kMargin);
    SDL_SetClipRect(s, &clip);
}

} // namespace tevo
