// A list of rows, each an icon from a sheet of equal cells, a title and a
// line of detail under it. A touch on a row runs the callback with the row's
// number; a list without rows shows one line of its own.
#pragma once

#include "ui/control.hpp"
#include "ui/sprite.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo {

class TextStyle;

struct ListRow {
    int32_t icon = -1; // the cell of the icon sheet; none when negative
    std::u16string title;
    std::u16string detail;
};

class cListView : public cControl {
public:
    // Rows of `rowHeight` pixels fill the rectangle from its top; the icons
    // are cells of `iconSize` x `iconSize` of the sheet at `iconPath`.
    cListView(const ControlRect& rect, SDL_Surface* target, int32_t rowHeight,
              const std::string& iconPath, int32_t iconSize);
    ~cListView() override;

    // The styles of titles and details (top-left aligned), owned elsewhere.
    void setFonts(TextStyle* title, TextStyle* detail) {
        titleFont_ = title;
        detailFont_ = detail;
    }
    // Rows beyond what the rectangle holds are not shown.
    void setRows(std::vector<ListRow> rows);
    void setEmptyText(std::u16string text) { emptyText_ = std::move(text); }
    std::size_t visibleRows() const;
    const std::vector<ListRow>& rows() const { return rows_; }

    // The row under the touch becomes the callback's argument, -1 below the
    // last row.
    void pressAt(int32_t x, int32_t y) override;
    void draw() override;

private:
    void drawRow(std::size_t i, const SDL_Rect& box);

    int32_t rowHeight_;
    int32_t iconSize_;
    Sprite icons_;
    TextStyle* titleFont_ = nullptr;
    TextStyle* detailFont_ = nullptr;
    std::vector<ListRow> rows_;
    std::u16string emptyText_;
    int32_t pressedRow_ = -1;
};

} // namespace tevo
