// screen.xml: the display layouts, one `resolution` element each.
#pragma once

#include "config/xml.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tevo {

// One layout. A default-constructed entry is the "no such layout" answer:
// all numbers 0, all texts empty, full screen false.
struct ResolutionEntry {
    // Set by the `resolution` start tag, cleared by a `windowMode` tag.
    bool fullScreen = false;
    // Window size in pixels; used only when both are non-zero.
    int32_t width = 0;
    int32_t height = 0;
    // Colour depth; 0 means the desktop's depth.
    int32_t bpp = 0;
    // File names relative to the program folder.
    std::u16string menu;
    // The value of the `resolution` element's first attribute.
    std::u16string name;
    std::u16string splash;
    std::u16string pointer;
    std::u16string compass;
    std::u16string poi;
    // Width and height of one POI icon; the last two stay 0.
    std::array<int32_t, 4> poisize{};
    // Top-left of the splash picture; the last two stay 0.
    std::array<int32_t, 4> coord{};
    // Progress messages: x is the text's centre, y its top; the last two stay 0.
    std::array<int32_t, 4> textcoord{};
    // Vehicle position in the flat and perspective views; (0, 0) is the centre.
    std::array<int32_t, 2> pointer2Dcoord{};
    std::array<int32_t, 2> pointer3Dcoord{};
    std::array<int32_t, 2> compascoord{};
    std::array<int32_t, 2> scalecoord{};
    // Scale bar length in pixels.
    int32_t scalelength = 0;

    bool operator==(const ResolutionEntry&) const = default;
};

class cScreenXML : public cXML {
public:
    // The first entry named exactly `name`, or the empty entry.
    ResolutionEntry lookup(std::u16string_view name) const;

    // Finished entries in file order.
    const std::vector<ResolutionEntry>& entries() const { return entries_; }

    void startElement(const char16_t* name, const char16_t** attributes) override;
    void endElement(const char16_t* name) override;
    void characterData(const char16_t* text, int length) override;

private:
    // The positions and sizes, each checked for kScreenLimit.
    void readPosition(std::u16string_view value);

    std::vector<ResolutionEntry> entries_;
    ResolutionEntry current_;
    int32_t kind_ = 0;
};

} // namespace tevo
