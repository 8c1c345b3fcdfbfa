// Street names along the drawn polylines. The polyline pass offers each
// visible line with placeStreetLabel and keeps the accepted labels in the
// frame's cStreetLabels; after the tracks, drawStreetLabels writes each
// street name once, turned along its segment, never upside down.
#pragma once

#include "render/overlays/label.hpp"
#include "render/raster/geometry.hpp"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tevo {

class cLabelSpace;
class cPainter;
class TextStyle;

// Places `name` on the longest segment of the drawn path (a later segment of
// equal length wins), centred on it and turned along it; near-vertical
// segments (within 10 degrees) keep their direction, others are read left to
// right. False for no path, fewer than 2 points, an empty name, or a segment
// shorter than three quarters of the name's width in `font`.
bool placeStreetLabel(const ScreenPoint* path, int count, std::u16string_view name,
                      const TextStyle& font, Label& label);

class cStreetLabels {
public:
    cStreetLabels() { labels_.reserve(kInitialCapacity); }

    // At the start of every map frame.
    void clear() { labels_.clear(); }
    void add(const Label& label) { labels_.push_back(label); }
    // placeStreetLabel and, when it accepts, add; true when added.
    bool offer(const ScreenPoint* path, int count, std::u16string_view name, const TextStyle& font);

    // Sorts the labels by name and draws each name once, with the text's
    // bottom-left corner on the anchor, turned by the label's angle. With a
    // label space, a name that would overlap one drawn before is left out.
    void drawStreetLabels(cPainter& painter, const TextStyle& font, cLabelSpace* space = nullptr);

    const std::vector<Label>& labels() const { return labels_; }

private:
    static constexpr std::size_t kInitialCapacity = 32;
    std::vector<Label> labels_;
};

} // namespace tevo
