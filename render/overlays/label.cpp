#include "render/overlays/label.hpp"

#include "ui/text_style.hpp"

namespace tevo {

int compareNames(std::u16string_view a, std::u16string_view b) {
    // char16_t is unsigned, so the view's comparison is the unsigned one.
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Label makePoiLabel(ScreenPoint at, std::u16string_view name, int32_t type, const TextStyle& font) {
    int32_t w = 0;
    int32_t h = 0;
    font.measureWithStrip(name, &w, &h);
    Label label;
    label.anchor = at;
    label.left = at.x - (w >> 1);
    label.top = at.y - h / 2 - font.size();
    label.right = label.left + w;
    label.bottom = label.top + h;
    label.name = name;
    label.priority = type;
    label.type = type;
    label.kind = kLabelPoi;
    return label;
}

Label makeAreaLabel(ScreenPoint anchor, std::u16string_view name, int32_t type) {
    Label label;
    label.anchor = anchor;
    label.name = name;
    label.priority = 1;
    label.type = type;
    label.kind = kLabelArea;
    return label;
}

} // namespace tevo
