// The screen space that the names of one frame take. Every name drawn claims
// the box of its text; a name whose box would overlap a box claimed before it
// is left out, so that names never write over each other. Street names claim
// first, then the POI and area names, then the names of raised areas.
#pragma once

#include "render/raster/geometry.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tevo {

// A text rectangle on the screen, possibly turned: its four corners in order.
struct LabelBox {
    struct Corner {
        double x = 0;
        double y = 0;
    };
    std::array<Corner, 4> corners{};
};

// The box of a w x h text whose source point `pivot` is drawn at `at`,
// turned by `angleDegrees` the way rotatedBlit turns it (positive:
// counter-clockwise on the screen).
LabelBox labelBox(int32_t w, int32_t h, ScreenPoint pivot, ScreenPoint at, float angleDegrees = 0);

// True when the two boxes share more than their outlines.
bool overlaps(const LabelBox& a, const LabelBox& b);

// Names stay whole on the screen: true when every corner of the box lies in
// `r`; moveInside shifts an upright w x h text at `at` into `r`, false when
// it is larger than `r`.
bool insideRect(const LabelBox& box, const PixelRect& r);
bool moveInside(ScreenPoint& at, int32_t w, int32_t h, const PixelRect& r);

class cLabelSpace {
public:
    cLabelSpace() { boxes_.reserve(kInitialCapacity); }

    // At the start of every map frame.
    void clear() {
        boxes_.clear();
        names_.clear();
    }
    // The names drawn: the two label grids are filled apart, and a name of
    // both (a building and the POI inside it) is still shown only once.
    bool shown(std::u16string_view name) const {
        return std::find(names_.begin(), names_.end(), name) != names_.end();
    }
    void markShown(std::u16string_view name) { names_.push_back(name); }
    // True, and the box is kept, when it overlaps no box claimed before.
    bool claim(const LabelBox& box);
    int count() const { return static_cast<int>(boxes_.size()); }

private:
    static constexpr std::size_t kInitialCapacity = 64;
    std::vector<LabelBox> boxes_;
    std::vector<std::u16string_view> names_;
};

} // namespace tevo
