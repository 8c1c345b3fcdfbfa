#include "render/overlays/street_labels.hpp"

#include "render/overlays/label_space.hpp"

#include "render/raster/painter.hpp"
#include "render/raster/rotated_blit.hpp"
#include "ui/text_style.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace tevo {

namespace {

// Segments closer than this to vertical keep their direction.
constexpr int32_t kNearVertical = 10;

int64_t squaredLength(ScreenPoint a, ScreenPoint b) {
    const int64_t dx = int64_t{b.x} - a.x;
    const int64_t dy = int64_t{b.y} - a.y;
    return dx * dx + dy * dy;
}

} // namespace

bool placeStreetLabel(const ScreenPoint* path, int count, std::u16string_view name,
                      const TextStyle& font, Label& label) {
    if (!path || count <= 1 || name.empty()) return false;
    int longest = 0;
    int64_t longest2 = -1;
    for (int i = 0; i + 1 < count; ++i) {
        const int64_t d2 = squaredLength(path[i], path[i + 1]);
        if (d2 >= longest2) {
            longest2 = d2;
            longest = i;
        }
    }

    int32_t w = 0;
    font.measureWithStrip(name, &w, nullptr);
    // The segment must be at least three quarters of the text's width.
    const int64_t c = ((int64_t{w} * 12) >> 4) + 1;
    if (longest2 < c * c) return false;

    ScreenPoint start = path[longest];
    double dx = static_cast<double>(path[longest + 1].x) - start.x;
    double dy = static_cast<double>(path[longest + 1].y) - start.y;
    const double len = std::sqrt(static_cast<double>(longest2));
    double angle = std::acos(std::clamp(dx / len, -1.0, 1.0)) * 180.0 / std::numbers::pi;
    if (dy > 0) angle = -angle;

    const int32_t whole = static_cast<int32_t>(angle);
    if (dx < 0 && std::abs(whole - 90) > kNearVertical && std::abs(whole + 90) > kNearVertical) {
        // Read from the other end, so that the text is never upside down.
        start = path[longest + 1];
        dx = -dx;
        dy = -dy;
        angle += 180.0;
    }

    const int64_t m = (static_cast<int64_t>(len) - w) >> 1;
    start.x += static_cast<int32_t>(dx * static_cast<double>(m) / len);
    start.y += static_cast<int32_t>(dy * static_cast<double>(m) / len);

    label = Label{};
    label.anchor = start;
    label.angle = static_cast<int32_t>(angle);
    label.name = name;
    return true;
}

bool cStreetLabels::offer(const ScreenPoint* path, int count, std::u16string_view name,
                          const TextStyle& font) {
    Label label;
    if (!placeStreetLabel(path, count, name, font, label)) return false;
    add(label);
    return true;
}

void cStreetLabels::drawStreetLabels(cPainter& painter, const TextStyle& font, cLabelSpace* space) {
    std::stable_sort(labels_.begin(), labels_.end(), [](const Label& a, const Label& b) {
        return compareNames(a.name, b.name) < 0;
    });
    const Label* previous = nullptr;
    for (const Label& label : labels_) {
        if (previous && previous->name == label.name) continue;
        OwnedSurface text = font.renderWithStrip(label.name);
        if (!text) continue;
        const ScreenPoint pivot{0, text->h};
        const float angle = static_cast<float>(label.angle);
        // A street name that the window's edge would cut is left out.
        const LabelBox box = labelBox(text->w, text->h, pivot, label.anchor, angle);
        if (!insideRect(box, painter.clip()) || (space && !space->claim(box))) continue;
        rotatedBlit(painter, text.get(), angle, label.anchor, pivot);
        // Drawn once: a later piece of the street may stand in for one left out.
        previous = &label;
    }
}

} // namespace tevo
